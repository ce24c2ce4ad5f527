// KS1b images: the written layout, constant sharing, loading several images
// into one context, "#" first lines, and broken images.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "compiler/assembler.h"
#include "compiler/disassembler.h"
#include "compiler/image.h"
#include "compiler/image_writer.h"
#include "compiler/opcodes.h"
#include "runtime/atoms.h"
#include "runtime/function.h"
#include "tests/unit/machine/machine_support.h"

namespace kelpo {
namespace {

using test::MachineTest;

uint32_t Le(const std::vector<uint8_t>& b, size_t at) { return ReadU32LE(b.data() + at); }

TEST(ImageWriter, HeaderHasFourDescriptorsInKindOrder) {
    ImageWriter w;
    BeginImage(&w, false, "");
    BeginUnit(&w, ".main");
    WriteInstruction(&w, OP_PUSHCONST, PoolInteger(&w, 5), 0);
    WriteInstruction(&w, OP_SETGLOBAL, PoolName(&w, "x"), 0);
    std::vector<uint8_t> image = FinishImage(&w);

    ASSERT_GE(image.size(), 56u);
    EXPECT_EQ(memcmp(image.data(), "KS1b", 4), 0);
    for (uint32_t k = 0; k < 4; ++k) EXPECT_EQ(Le(image, 4 + 12 * k) & 0xFF, k);
    EXPECT_EQ(Le(image, 8), 56u);          // code offset
    EXPECT_EQ(Le(image, 12), 10u);         // two 5-byte instructions
    EXPECT_EQ(Le(image, 4 + 36 + 8), 0u);  // no line table
    EXPECT_EQ(Le(image, 52), 0xFFFFFFFFu);
    // The sections follow back to back.
    EXPECT_EQ(Le(image, 20), 56u + 10);
    EXPECT_EQ(Le(image, 32), Le(image, 20) + Le(image, 24));
    EXPECT_EQ(image.size(), Le(image, 44) + Le(image, 48));
}

TEST(ImageWriter, ConstantsAreSharedByKindAndKey) {
    ImageWriter w;
    BeginImage(&w, false, "");
    uint32_t s1 = PoolString(&w, "abc");
    uint32_t s2 = PoolString(&w, "abc");
    uint32_t n = PoolName(&w, "abc");
    uint32_t i1 = PoolInteger(&w, 12);
    uint32_t i2 = PoolInteger(&w, 12);
    uint32_t f1 = PoolFloat(&w, 0.5);
    uint32_t f2 = PoolFloat(&w, 0.5);
    uint32_t z1 = PoolFloat(&w, 0.0);
    uint32_t z2 = PoolFloat(&w, -0.0);
    uint32_t r1 = PoolRegExp(&w, "a+", 1);
    uint32_t r2 = PoolRegExp(&w, "a+", 3);
    EXPECT_EQ(s1, s2);
    EXPECT_NE(s1, n);
    EXPECT_EQ(i1, i2);
    EXPECT_EQ(f1, f2);
    EXPECT_NE(z1, z2);  // only identical values share
    EXPECT_NE(r1, r2);
    EXPECT_EQ(w.poolCount, 8u);
}

TEST_F(MachineTest, ImagesDefiningTheSameAnonymousNameAreRenumbered) {
    // Each image defines "@F_0" and stores it in a global.
    auto image = [&](const char* global, int value) {
        return Assemble(std::string(R"(
function @F_0
    GETARG 1
    ADD2
    ARGPAD 2
    PUSHCONST )") + std::to_string(value) +
                        R"(
    RETURN
function .main
    GETGLOBAL @F_0
    SETGLOBAL )" + global +
                        "\n    PUSHUNDEF\n");
    };
    for (auto [global, value] : {std::pair{"first", 1}, std::pair{"second", 2}}) {
        std::vector<uint8_t> bytes = image(global, value);
        SectionList* list = ReadImage(bytes.data(), bytes.size());
        ASSERT_EQ(RunImage(ctx, list), 1) << ctx->errorText;
        FreeSectionList(list);
    }
    EXPECT_EQ(ctx->anonymousFunctionCount, 2);
    EXPECT_EQ(Global("first").function, Global("@F_0").function);
    EXPECT_EQ(Global("second").function, Global("@F_1").function);
    EXPECT_STREQ(Global("@F_1").function->code->name, "@F_1");
}

TEST_F(MachineTest, RerunningAListKeepsItsBases) {
    std::vector<uint8_t> bytes = Assemble(R"(
function @F_0
    GETARG 1
    ADD2
    ARGPAD 2
    PUSHCONST "result"
    RETURN
function .main
    PUSH0
    GETGLOBAL @F_0
    CALL
    SLIDE 2
)");
    SectionList* list = ReadImage(bytes.data(), bytes.size());
    ASSERT_EQ(RunImage(ctx, list), 1) << ctx->errorText;
    uint32_t constants = ctx->constantCount;
    ASSERT_EQ(RunImage(ctx, list), 1) << ctx->errorText;
    EXPECT_EQ(ctx->constantCount, constants);  // nothing appended twice
    EXPECT_EQ(test::Utf8(ctx->result), "result");
    EXPECT_EQ(Global("@F_0").tag, ValueTag::Function);
    FreeSectionList(list);
}

TEST_F(MachineTest, ImageWithoutMainOnlyDefinesFunctions) {
    std::vector<uint8_t> bytes = Assemble("function lonely\n PUSHUNDEF\n RETURN\n");
    SectionList* list = ReadImage(bytes.data(), bytes.size());
    ASSERT_EQ(RunImage(ctx, list), 1);
    EXPECT_EQ(Global("lonely").tag, ValueTag::Function);
    EXPECT_EQ(ctx->result.tag, ValueTag::Undefined);
    FreeSectionList(list);
}

TEST_F(MachineTest, HashFirstLineIsSkippedInMemoryAndInFiles) {
    std::vector<uint8_t> bytes = Assemble("function .main\n PUSHCONST 41\n PUSH1\n ADD\n");
    std::string prefixed = "#!run\n" + std::string(bytes.begin(), bytes.end());
    SectionList* list =
        ReadImage(reinterpret_cast<const uint8_t*>(prefixed.data()), prefixed.size());
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(RunImage(ctx, list), 1);
    EXPECT_EQ(ctx->result.integer, 42);
    FreeSectionList(list);

    FILE* file = tmpfile();
    ASSERT_NE(file, nullptr);
    fwrite(prefixed.data(), 1, prefixed.size(), file);
    rewind(file);
    list = ReadImageFile(file);
    fclose(file);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(RunImage(ctx, list), 1);
    EXPECT_EQ(ctx->result.integer, 42);
    FreeSectionList(list);

    // A "#" line that never ends is no image.
    const char unterminated[] = "#!run without a line feed";
    EXPECT_EQ(ReadImage(reinterpret_cast<const uint8_t*>(unterminated), sizeof unterminated - 1),
              nullptr);
}

TEST_F(MachineTest, BrokenImagesAreRefusedWithoutHarm) {
    std::vector<uint8_t> good = Assemble(R"(
function f
    GETARG 1
    ADD2
    ARGPAD 2
    PUSHCONST "text"
    RETURN
function .main
    PUSH0
    GETGLOBAL f
    CALL
    SLIDE 2
)");
    ASSERT_EQ(good.size() > 56, true);
    // Code: f = GETARG 1, ADD2, ARGPAD 2, PUSHCONST, RETURN; .main = PUSH0 at 11,
    // GETGLOBAL f at 12.
    uint32_t codeOffset = Le(good, 8);
    uint32_t poolOffset = Le(good, 20);

    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        bool readable;  // ReadImage accepts it (RunImage then fails)
    };
    auto patched = [&](size_t at, std::vector<uint8_t> with) {
        std::vector<uint8_t> b = good;
        for (size_t i = 0; i < with.size(); ++i) b[at + i] = with[i];
        return b;
    };
    std::vector<Case> cases = {
        {"empty", {}, false},
        {"magic only", {'K', 'S', '1', 'b'}, false},
        {"bad magic", patched(0, {'K', 'S', '2', 'b'}), false},
        {"section beyond the end", patched(12, {0xFF, 0xFF, 0, 0}), false},
        {"offset beyond the end", patched(8, {0xFF, 0xFF, 0xFF, 0x7F}), false},
        {"truncated", std::vector<uint8_t>(good.begin(), good.begin() + 40), false},
        {"unknown constant kind", patched(poolOffset, {99}), true},
        {"name index out of range", patched(codeOffset + 13, {0x7F, 0xFF, 0xFF, 0xFF}), true},
        {"jump into an operand", patched(codeOffset, {OP_JMP, 0, 0, 0, 1}), true},
        {"function offset beyond code", patched(Le(good, 32) + 4 + 2, {0x7F, 0xFF, 0xFF, 0xFF}),
         true},
    };
    for (const Case& c : cases) {
        SectionList* list = ReadImage(c.bytes.data(), c.bytes.size());
        EXPECT_EQ(list != nullptr, c.readable) << c.what;
        if (list != nullptr) {
            EXPECT_EQ(RunImage(ctx, list), 0) << c.what;
            EXPECT_STREQ(ctx->errorText, "Runtime error: Unimplemented Kelpo Script bytecode")
                << c.what;
            FreeSectionList(list);
        }
    }
    // The context is still usable.
    SectionList* list = ReadImage(good.data(), good.size());
    ASSERT_EQ(RunImage(ctx, list), 1) << ctx->errorText;
    EXPECT_EQ(test::Utf8(ctx->result), "text");
    FreeSectionList(list);
}

}  // namespace
}  // namespace kelpo

namespace kelpo {
namespace {

TEST(Disassembler, ListsConstantsUnitsAndJumps) {
    std::vector<uint8_t> image;
    std::string error;
    ASSERT_TRUE(AssembleText(R"(
function f
    GETARG 1
    ADD2
    ARGPAD 2
    PUSHCONST "a\"b"
    RETURN
function .main
.line 2
top:
    PUSHCONST 1.5
    PUSHCONST /x+/gi
    SETGLOBAL g
    JMP top
)",
                             &image, &error, true, "demo.kls"))
        << error;
    SectionList* list = ReadImage(image.data(), image.size());
    ASSERT_NE(list, nullptr);
    std::string listing;
    EXPECT_TRUE(DisassembleImage(list, &listing));
    FreeSectionList(list);
    for (const char* expected : {
             "function f (offset 0, 11 bytes)",
             "  0005  PUSHCONST  #0 string    \"a\\\"b\"",
             "function .main (offset 11, 20 bytes)",
             "  0015  SETGLOBAL  g",
             "  001a  JMP        -> 000b",
             "  000a  RETURN\n",
             "regexp    /x+/gi",
             "  source \"demo.kls\"",
             "  0010  line 2",
         }) {
        EXPECT_NE(listing.find(expected), std::string::npos) << expected << "\n" << listing;
    }
}

}  // namespace
}  // namespace kelpo

namespace kelpo {
namespace {

// Operand bytes each operand kind takes in an image.
int WidthOf(OperandKind kind) {
    switch (kind) {
        case OperandKind::None: return 0;
        case OperandKind::Signed8:
        case OperandKind::Unsigned8: return 1;
        case OperandKind::Unsigned16: return 2;
        case OperandKind::Name:
        case OperandKind::Constant:
        case OperandKind::Jump:
        case OperandKind::Signed32: return 4;
    }
    return -1;
}

TEST(OpcodeTable, NamesAndOperandWidthsAgreeWithTheNumbers) {
    for (int op = 0; op < 256; ++op) {
        const OpcodeInfo& info = OpcodeInfoOf(op);
        if (!IsOpcode(op)) {
            EXPECT_STREQ(info.name, "") << op;
            continue;
        }
        EXPECT_EQ(OpcodeByName(info.name), op) << info.name;
        EXPECT_EQ(info.width, WidthOf(info.operand)) << info.name;
    }
    // Images written earlier keep their meaning.
    const struct {
        const char* name;
        int number;
    } pinned[] = {{"WITHCALL", 33}, {"JMP", 53}, {"PUSHINT", 89}, {"HALT", 107}, {"DELARG", 112}};
    for (const auto& p : pinned) EXPECT_EQ(OpcodeByName(p.name), p.number) << p.name;
    EXPECT_EQ(kFirstOpcode, 33);
    EXPECT_EQ(kLastOpcode, 112);
    EXPECT_EQ(OpcodeByName("FUSED_LOCAL"), -1);
}

}  // namespace
}  // namespace kelpo
