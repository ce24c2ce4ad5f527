// Helpers for the builder tests: a scratch project folder with files written
// into it, small valid inputs (icon files, script sources) and readers of
// project text that report the error message instead of throwing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/unit/host/host_test_support.h"
#include "tools/kelpo-build/build_input.h"

namespace kelpo::test {

class ProjectFolderTest : public ScratchFolderTest {
protected:
    // Writes a file (creating its folders) below the scratch folder.
    void WriteFile(const std::string& name, const std::vector<uint8_t>& bytes);
    void WriteFile(const std::string& name, const std::string& text) {
        WriteFile(name, Bytes(text));
    }

    build::BuildInput Read(const std::string& json);
    // The ProjectError text of reading `json`, "" when it reads.
    std::string ErrorOf(const std::string& json);
};

// An .ico file with one image per size; image i holds `size` bytes of i + 1.
std::vector<uint8_t> MakeIcoFile(const std::vector<uint8_t>& sizes);

}  // namespace kelpo::test
