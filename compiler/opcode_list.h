// The instruction set, listed once. The Opcode enum and the opcode table
// (opcodes.h, opcodes.cpp), the fused opcode numbers (fused_instructions.h)
// and the interpreter's dispatch table (interpreter.cpp) are all expanded
// from these lists, so they cannot drift apart.
#pragma once

// Opcodes of images, in number order (opcodes.cpp checks the order):
//   X(name, number, operand kind, operand bytes, stack effect)
// The operand kind is an OperandKind enumerator; the stack effect is pushed
// minus popped, 0 for the variable ones (LOCALS pushes n, SLIDE n and
// POPN n pop n). HALT has no handler: the verifier refuses it.
// clang-format off
#define KELPO_OPCODES(X)                                    \
    X(WITHCALL, 33, Name, 4, 1)        /* f -> t r */       \
    X(WITHGET, 34, Name, 4, 1)                              \
    X(ADD2, 35, None, 0, 0)                                 \
    X(INC1, 36, None, 0, 0)                                 \
    X(JTRUEB, 37, Jump, 4, -1)                              \
    X(JFALSEB, 38, Jump, 4, -1)                             \
    X(THROW, 39, None, 0, -1)                               \
    X(LEAVETRY, 40, Unsigned8, 1, 0)                        \
    X(TRY, 41, Jump, 4, 0)                                  \
    X(LEAVEWITH, 42, Unsigned8, 1, 0)                       \
    X(WITH, 43, None, 0, -1)                                \
    X(ARGAT, 44, None, 0, 0)                                \
    X(ARGPAD, 45, Unsigned8, 1, -1)                         \
    X(LOCALS, 46, Unsigned16, 2, 0)    /* pushes n */       \
    X(DELELEM, 47, None, 0, -1)                             \
    X(DELMEMBER, 48, Name, 4, 0)                            \
    X(NEW, 49, None, 0, 1)             /* f -> t r */       \
    X(TYPEOF, 50, None, 0, 0)                               \
    X(RETURN, 51, None, 0, -1)                              \
    X(CALL, 52, None, 0, 1)            /* f -> t r */       \
    X(JMP, 53, Jump, 4, 0)                                  \
    X(CALLMETHOD, 54, Name, 4, 1)      /* o -> o r */       \
    X(JTRUE, 55, Jump, 4, -1)                               \
    X(JFALSE, 56, Jump, 4, -1)                              \
    X(USHR, 57, None, 0, -1)                                \
    X(SHR, 58, None, 0, -1)                                 \
    X(SHL, 59, None, 0, -1)                                 \
    X(BITXOR, 60, None, 0, -1)                              \
    X(BITOR, 61, None, 0, -1)                               \
    X(NOT, 62, None, 0, 0)                                  \
    X(BITAND, 63, None, 0, -1)                              \
    X(NEG, 64, None, 0, 0)                                  \
    X(MOD, 65, None, 0, -1)                                 \
    X(DIV, 66, None, 0, -1)                                 \
    X(MUL, 67, None, 0, -1)                                 \
    X(ADD, 68, None, 0, -1)                                 \
    X(SUB, 69, None, 0, -1)                                 \
    X(STRICTNE, 70, None, 0, -1)                            \
    X(STRICTEQ, 71, None, 0, -1)                            \
    X(GE, 72, None, 0, -1)                                  \
    X(LE, 73, None, 0, -1)                                  \
    X(GT, 74, None, 0, -1)                                  \
    X(LT, 75, None, 0, -1)                                  \
    X(NE, 76, None, 0, -1)                                  \
    X(EQ, 77, None, 0, -1)                                  \
    X(FORINSTEP, 78, None, 0, 0)       /* o i -> item more */\
    X(SETELEM, 79, None, 0, -3)                             \
    X(GETELEM, 80, None, 0, -1)                             \
    X(SETMEMBER, 81, Name, 4, -2)                           \
    X(GETMEMBER, 82, Name, 4, 0)                            \
    X(SETLOCAL, 83, Unsigned16, 2, -1)                      \
    X(GETLOCAL, 84, Unsigned16, 2, 1)                       \
    X(SETARG, 85, Unsigned8, 1, -1)                         \
    X(GETARG, 86, Unsigned8, 1, 1)                          \
    X(SETGLOBAL, 87, Name, 4, -1)                           \
    X(GETGLOBAL, 88, Name, 4, 1)                            \
    X(PUSHINT, 89, Signed32, 4, 1)                          \
    X(PUSH3, 90, None, 0, 1)                                \
    X(PUSH2, 91, None, 0, 1)                                \
    X(PUSH1, 92, None, 0, 1)                                \
    X(PUSH0, 93, None, 0, 1)                                \
    X(PUSHUNDEF, 94, None, 0, 1)                            \
    X(PUSHFALSE, 95, None, 0, 1)                            \
    X(PUSHTRUE, 96, None, 0, 1)                             \
    X(PUSHNULL, 97, None, 0, 1)                             \
    X(PUSHCONST, 98, Constant, 4, 1)                        \
    X(ROT, 99, Signed8, 1, 0)                               \
    X(SWAP, 100, None, 0, 0)                                \
    X(SLIDE, 101, Unsigned8, 1, 0)     /* pops n */         \
    X(POPN, 102, Unsigned8, 1, 0)      /* pops n */         \
    X(POP, 103, None, 0, -1)                                \
    X(DUP, 104, None, 0, 1)                                 \
    X(NOP, 105, None, 0, 0)                                 \
    X(END, 106, None, 0, -1)                                \
    X(HALT, 107, None, 0, 0)                                \
    X(WITHSET, 108, Name, 4, -1)                            \
    X(WITHDELETE, 109, Name, 4, 0)                          \
    X(DELGLOBAL, 110, Name, 4, 0)                           \
    X(DELLOCAL, 111, Unsigned16, 2, 0)                      \
    X(DELARG, 112, Unsigned8, 1, 0)
// clang-format on

// Internal opcodes the loader writes over the first word of instruction
// runs (fused_instructions.h). They lie above every image opcode, so image
// bytes can never produce them; the dispatch table has room up to 255.
//   F(name, number)
// clang-format off
#define KELPO_FUSED_OPCODES(F)                                    \
    F(FUSED_LOCAL, 200)    /* run starting with GETLOCAL */       \
    F(FUSED_ARG, 201)      /* run starting with GETARG */         \
    F(FUSED_PROLOGUE, 202) /* prologue "GETARG 1; ADD2; ARGPAD n" */
// clang-format on
