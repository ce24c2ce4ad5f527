#include "tests/unit/machine/machine_support.h"

#include "compiler/assembler.h"
#include "compiler/interpreter.h"
#include "runtime/atoms.h"

namespace kelpo::test {

void MachineTest::SetUp() {
    InstallInterpreter();
    ContextTest::SetUp();
}

std::vector<uint8_t> MachineTest::Assemble(const std::string& text) {
    std::vector<uint8_t> image;
    std::string error;
    EXPECT_TRUE(AssembleText(text, &image, &error)) << error;
    return image;
}

int MachineTest::RunAsm(const std::string& text) {
    std::vector<uint8_t> image = Assemble(text);
    SectionList* list = ReadImage(image.data(), image.size());
    EXPECT_NE(list, nullptr);
    int ok = RunImage(ctx, list);
    FreeSectionList(list);
    return ok;
}

Value MachineTest::Global(const char* name) { return GetGlobal(ctx, name); }

}  // namespace kelpo::test
