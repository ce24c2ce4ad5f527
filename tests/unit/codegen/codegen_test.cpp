// The code generator and optimizer on the examples that pin their output.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "compiler/compile_state.h"
#include "compiler/diagnostics.h"
#include "compiler/generator.h"
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
            } catch (const CompileAbort&) {
            }
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
                    snprintf(buffer, sizeof buffer, " %lld", static_cast<long long>(i->operand.integer));
                    text += buffer;
                    break;
                case OperandType::Text: text += std::string(" ") + i->operand.text; break;
                case OperandType::ConstInteger:
                    snprintf(buffer, sizeof buffer, " int:%lld", static_cast<long long>(i->operand.integer));
                    text += buffer;
                    break;
                case OperandType::ConstString: text += std::string(" str:") + i->operand.text; break;
                default: break;
            }
            out.push_back(text);
        }
        return out;
    }
    using Code = std::vector<std::string>;
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
        {"if (a) b;", ".main",
         {"GETGLOBAL a", "JFALSE", "GETGLOBAL b", "POP", "JMP", "L:", "L:", "PUSHUNDEF"}},
        {"function f(a) { return a; }", "f", {"GETARG 1", "ADD2", "ARGPAD 3", "GETARG 2", "RETURN"}},
        {"x + 1", ".main", {"GETGLOBAL x", "PUSH1", "ADD"}},
        {"o.n += 1; 0", ".main",
         {"GETGLOBAL o", "GETMEMBER n", "PUSH1", "ADD", "GETGLOBAL o", "SETMEMBER n", "PUSH0"}},
        {"f(1, 2); 0", ".main", {"PUSH2", "PUSH1", "PUSH2", "GETGLOBAL f", "CALL", "POPN 5", "PUSH0"}},
        // The old value of a postfix increment is dropped with its DUP.
        {"i++; 0", ".main", {"GETGLOBAL i", "PUSH1", "ADD", "SETGLOBAL i", "PUSH0"}},
        {"a.m(x); 0", ".main", {"GETGLOBAL x", "PUSH1", "GETGLOBAL a", "CALLMETHOD m", "POPN 4", "PUSH0"}},
        {"function g() { var v = 1; return v; }", "g",
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
    Code inner = Unit("function outer(a) { function inner() { return a; } return outer.inner(); }",
                      "@F_0");
    EXPECT_NE(std::find(inner.begin(), inner.end(), "GETGLOBAL a"), inner.end());
    Code outer = Unit("function outer(a) { function inner() { return a; } return outer.inner(); }",
                      "outer");
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

}  // namespace
}  // namespace kelpo
