// The code generator and optimizer on the examples that pin their output.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "compiler/compile_state.h"
#include "compiler/diagnostics.h"
#include "compiler/generator.h"
#include "compiler/instruction_listing.h"
#include "compiler/instructions.h"
#include "compiler/opcodes.h"
#include "compiler/optimizer.h"
#include "compiler/parser.h"
#include "compiler/script_stream.h"
#include "runtime/errors.h"
#include "tests/unit/test_support.h"

namespace kelpo {
namespace {

class CodegenTest : public test::ContextTest {
protected:
    // The optimized instructions of one unit, as "NAME operand" texts; labels
    // appear as "L:" and jumps name no label (only the opcode), which is
    // enough to pin the shape.
    std::vector<std::string> Unit(const std::string& source, const std::string& unit,
                                  std::string* messages = nullptr) {
        std::vector<std::string> out;
        CompileState* state = nullptr;
        bool ok = false;
        CatchRaise(ctx, [&] {
            state = NewCompileState(ctx);
            ScriptStream* stream = OpenScriptStream(ctx, source.c_str(), TextSourceStream);
            PrepareCompileState(ctx, state, stream, 0);
            try {
                ParseProgram(ctx, state);
                GenerateProgram(ctx, state);
                OptimizeProgram(ctx, state, kAllPasses);
                ok = true;
            } catch (const CompileAbort&) {}
        });
        if (messages != nullptr && state != nullptr && state->messages != nullptr &&
            MemoryStreamBytes(state->messages) != nullptr) {
            messages->assign(reinterpret_cast<const char*>(MemoryStreamBytes(state->messages)),
                             MemoryStreamSize(state->messages));
        }
        if (!ok) return {"<compile failed>"};
        bool inside = false;
        for (Instruction* i = state->firstInstruction; i != nullptr; i = i->next) {
            if (i->opcode == kFunctionStartRecord) {
                inside = unit == i->operand.text;
                continue;
            }
            if (!inside) continue;
            if (i->opcode == kLabelRecord) {
                out.push_back("L:");
                continue;
            }
            std::string text = OpcodeInfoOf(i->opcode).name;
            char buffer[64];
            switch (i->operandType) {
                case OperandType::Immediate:
                    snprintf(buffer, sizeof buffer, " %lld",
                             static_cast<long long>(i->operand.integer));
                    text += buffer;
                    break;
                case OperandType::Text: text += std::string(" ") + i->operand.text; break;
                case OperandType::ConstInteger:
                    snprintf(buffer, sizeof buffer, " int:%lld",
                             static_cast<long long>(i->operand.integer));
                    text += buffer;
                    break;
                case OperandType::ConstString:
                    text += std::string(" str:") + i->operand.text;
                    break;
                default: break;
            }
            out.push_back(text);
        }
        return out;
    }
    using Code = std::vector<std::string>;

    // The listing of the whole program after the given optimizer passes.
    std::string Listing(const std::string& source, uint32_t passes) {
        std::string listing;
        CatchRaise(ctx, [&] {
            CompileState* state = NewCompileState(ctx);
            PrepareCompileState(ctx, state, OpenScriptStream(ctx, source.c_str(), TextSourceStream),
                                0);
            try {
                ParseProgram(ctx, state);
                GenerateProgram(ctx, state);
                OptimizeProgram(ctx, state, passes);
                listing = ListInstructions(state);
            } catch (const CompileAbort&) {
                listing = "<compile error>";
            }
        });
        return listing;
    }
};

TEST_F(CodegenTest, PinnedExamples) {
    struct Case {
        const char* source;
        const char* unit;
        Code expected;
    } cases[] = {
        // A trailing "0" keeps the statement under test from being the last
        // expression statement, whose value becomes the result of the run.
        {"x = 5; 0", ".main", {"PUSHCONST int:5", "SETGLOBAL x", "PUSH0"}},
        {"a = b = 0; 0", ".main", {"PUSH0", "DUP", "SETGLOBAL b", "SETGLOBAL a", "PUSH0"}},
        {"x = 5", ".main", {"PUSHCONST int:5", "DUP", "SETGLOBAL x"}},
        {"while (true) {}", ".main", {"L:", "JMP"}},
        // The jump over the missing else stays: its label is not the next record.
        {"if (a) b;",
         ".main",
         {"GETGLOBAL a", "JFALSE", "GETGLOBAL b", "POP", "JMP", "L:", "L:", "PUSHUNDEF"}},
        {"function f(a) { return a; }",
         "f",
         {"GETARG 1", "ADD2", "ARGPAD 3", "GETARG 2", "RETURN"}},
        {"x + 1", ".main", {"GETGLOBAL x", "PUSH1", "ADD"}},
        {"o.n += 1; 0",
         ".main",
         {"GETGLOBAL o", "GETMEMBER n", "PUSH1", "ADD", "GETGLOBAL o", "SETMEMBER n", "PUSH0"}},
        {"f(1, 2); 0",
         ".main",
         {"PUSH2", "PUSH1", "PUSH2", "GETGLOBAL f", "CALL", "POPN 5", "PUSH0"}},
        // The old value of a postfix increment is dropped with its DUP.
        {"i++; 0", ".main", {"GETGLOBAL i", "PUSH1", "ADD", "SETGLOBAL i", "PUSH0"}},
        {"a.m(x); 0",
         ".main",
         {"GETGLOBAL x", "PUSH1", "GETGLOBAL a", "CALLMETHOD m", "POPN 4", "PUSH0"}},
        {"function g() { var v = 1; return v; }",
         "g",
         {"GETARG 1", "ADD2", "ARGPAD 2", "LOCALS 1", "PUSH1", "RETURN"}},
    };
    for (const Case& c : cases) EXPECT_EQ(Unit(c.source, c.unit), c.expected) << c.source;
}

TEST_F(CodegenTest, DeclarationsTakeEffectInSourceOrder) {
    // x = 1 comes before "var x": it assigns the global.
    Code f = Unit("function f() { x = 1; var x; }", "f");
    EXPECT_NE(std::find(f.begin(), f.end(), "SETGLOBAL x"), f.end());
    // The block's x is gone after the block: "return x" reads the global.
    Code g = Unit("function g(c) { if (c) { var x = 1; } return x; }", "g");
    EXPECT_NE(std::find(g.begin(), g.end(), "GETGLOBAL x"), g.end());
    EXPECT_EQ(g[3], "LOCALS 1");
    // No closures: inner's "a" is a global.
    Code inner =
        Unit("function outer(a) { function inner() { return a; } return outer.inner(); }", "@F_0");
    EXPECT_NE(std::find(inner.begin(), inner.end(), "GETGLOBAL a"), inner.end());
    Code outer =
        Unit("function outer(a) { function inner() { return a; } return outer.inner(); }", "outer");
    EXPECT_NE(std::find(outer.begin(), outer.end(), "SETMEMBER inner"), outer.end());
}

TEST_F(CodegenTest, JumpsOutOfConstructsCleanUpAfterThemselves) {
    auto joined = [&](const char* source) {
        std::string text;
        for (const std::string& s : Unit(source, ".main")) text += s + "; ";
        return text;
    };
    struct Case {
        const char* source;
        const char* cleanup;  // what the jump out emits before its JMP
    } cases[] = {
        // Out of a for-in to an outer loop: the for-in's object and index.
        {"L: for (;;) { for (k in o) { break L; } }", "POPN 2; JMP"},
        // Out of a switch inside a loop: the discriminant.
        {"for (;;) { switch (x) { case 1: continue; } }", "POP; JMP"},
        // Out of a with inside a try: the scope and the handler.
        {"for (;;) { try { with (o) { break; } } catch (e) {} }", "LEAVEWITH 1; LEAVETRY 1; JMP"},
        // Out of a catch clause: its handler and the flag and exception.
        {"for (;;) { try { x(); } catch (e) { break; } }", "LEAVETRY 1; POPN 2; JMP"},
    };
    for (const Case& c : cases) {
        std::string code = joined(c.source);
        EXPECT_NE(code.find(c.cleanup), std::string::npos) << c.source << "\n" << code;
    }
}

// Each pass on its own input: what it removes and what it must keep.
TEST_F(CodegenTest, OptimizerPasses) {
    struct Case {
        const char* what;
        const char* source;
        uint32_t passes;
        const char* expected;
    } cases[] = {
        {"unoptimized assignment statement", "x = 5; 0", 0,
         "function .main\n  PUSHCONST 5\n  DUP\n  SETGLOBAL x\n  POP\n  PUSH0\n"},
        {"peephole drops the DUP whose copy is popped", "x = 5; 0", kPeepholePass,
         "function .main\n  PUSHCONST 5\n  SETGLOBAL x\n  PUSH0\n"},
        {"peephole keeps a DUP whose copy is used", "a = b = 0; 0", kPeepholePass,
         "function .main\n  PUSH0\n  DUP\n  SETGLOBAL b\n  SETGLOBAL a\n  PUSH0\n"},
        {"peephole merges SLIDE and POP", "f(); 0", kPeepholePass,
         "function .main\n  PUSH0\n  GETGLOBAL f\n  CALL\n  POPN 3\n  PUSH0\n"},
        {"peephole: a condition that never jumps disappears, one that always jumps is a JMP",
         "do {} while (false); while (false) {}", kPeepholePass,
         "function .main\nL1:\nL2:\nL3:\nL4:\n  JMP L5\n  JMP L4\nL5:\n  PUSHUNDEF\n"},
        {"jump threading: a jump to a JMP takes its target", "for (;;) { if (a) continue; b(); }",
         kPeepholePass | kJumpThreadingPass,
         "function .main\nL1:\n  GETGLOBAL a\n  JFALSE L4\n  JMP L1\n  JMP L5\nL4:\nL5:\n"
         "  PUSH0\n  GETGLOBAL b\n  CALL\n  POPN 3\nL2:\n  JMP L1\nL3:\n  PUSHUNDEF\n"},
        {"dead stores: a store read once right away stays on the stack",
         "function f() { var v = 1; return v; }", kDeadStorePass,
         "function f\n  GETARG 1\n  ADD2\n  ARGPAD 2\n  LOCALS 1\n  PUSH1\n  RETURN\n"
         "  PUSHUNDEF\n  RETURN\nfunction .main\n  PUSHUNDEF\n"},
        {"dead stores: a slot read again later keeps its store",
         "function f() { var v = 1; g(v); return v; }", kDeadStorePass | kCleanupPass,
         "function f\n  GETARG 1\n  ADD2\n  ARGPAD 2\n  LOCALS 1\n  PUSH1\n  SETLOCAL 0\n"
         "  GETLOCAL 0\n  PUSH1\n  GETGLOBAL g\n  CALL\n  SLIDE 3\n  POP\n  GETLOCAL 0\n"
         "  RETURN\nfunction .main\n  PUSHUNDEF\n"},
        {"cleanup: unused labels, code after JMP and RETURN, jumps to the next label",
         "for (;;) { if (a) continue; b(); }", kAllPasses,
         "function .main\nL1:\n  GETGLOBAL a\n  JFALSE L4\n  JMP L1\nL4:\n  PUSH0\n"
         "  GETGLOBAL b\n  CALL\n  POPN 3\n  JMP L1\n"},
        {"cleanup: a label whose only jump was unreachable goes, and the code it kept",
         "function f() { return 1; if (a) b(); else c(); }", kAllPasses,
         "function f\n  GETARG 1\n  ADD2\n  ARGPAD 2\n  PUSH1\n  RETURN\nfunction .main\n  PUSHUNDEF\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(Listing(c.source, c.passes), c.expected) << c.what;

    // A unit with a try statement keeps its stores: the handler may read
    // the local after any instruction of the protected code.
    std::string guarded =
        Listing("function f() { try { var v = 1; return v; } catch (e) {} }", kAllPasses);
    EXPECT_NE(guarded.find("  SETLOCAL 0\n  LEAVETRY 1\n  GETLOCAL 0\n"), std::string::npos)
        << guarded;
}

TEST_F(CodegenTest, InvalidJumpsAreCompileErrors) {
    struct Case {
        const char* source;
        const char* message;
    } cases[] = {
        {"break;", "error: line 0: invalid break\r\n"},
        {"\nswitch (1) { case 1: continue; }", "error: line 1: invalid continue\r\n"},
        {"while (1) { break nowhere; }", "error: line 0: invalid break\r\n"},
    };
    for (const Case& c : cases) {
        std::string messages;
        EXPECT_EQ(Unit(c.source, ".main", &messages), Code{"<compile failed>"}) << c.source;
        EXPECT_EQ(messages, c.message) << c.source;
    }
}

// Counts and slots travel in one-byte operands: beyond 125 the program is
// refused instead of silently wrapping.
TEST_F(CodegenTest, CountsBeyondOneByteAreRefused) {
    auto list = [](const char* item, int n) {
        std::string s;
        for (int i = 0; i < n; ++i) s += (i ? ", " : "") + std::string(item) + std::to_string(i);
        return s;
    };
    struct Case {
        std::string source;
        const char* message;  // null: compiles
    } cases[] = {
        {"f(" + list("a", 125) + ");", nullptr},
        {"f(" + list("a", 126) + ");", "error: line 0: too many arguments\r\n"},
        {"new F(" + list("a", 126) + ");", "error: line 0: too many arguments\r\n"},
        {"x = [" + list("", 126) + "];", "error: line 0: too many elements\r\n"},
        {"function f(" + list("p", 125) + ") {}", nullptr},
        {"function f(" + list("p", 126) + ") {}", "error: line 0: too many parameters\r\n"},
    };
    for (const Case& c : cases) {
        std::string messages;
        Code code = Unit(c.source, ".main", &messages);
        if (c.message == nullptr) {
            EXPECT_NE(code, Code{"<compile failed>"}) << messages;
        } else {
            EXPECT_EQ(messages, c.message) << c.source.substr(0, 20);
        }
    }
}

}  // namespace
}  // namespace kelpo
