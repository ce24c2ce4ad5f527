// Helpers for tests of the machine: assemble text, run it in a context.
#pragma once

#include <string>
#include <vector>

#include "compiler/image.h"
#include "tests/unit/test_support.h"

namespace kelpo::test {

class MachineTest : public ContextTest {
protected:
    void SetUp() override;

    // Assembles and runs; returns RunImage's answer.
    int RunAsm(const std::string& text);
    std::vector<uint8_t> Assemble(const std::string& text);
    Value Global(const char* name);

    TraceCapture trace;
};

}  // namespace kelpo::test
