// Helpers for the project-data tests: a scratch folder per test and a
// recorder of reported failures.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kelpo::test {

// A fresh, empty folder (path ending in the separator), removed afterwards.
class ScratchFolderTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::string Path(const std::string& name) const { return folder + name; }
    std::string folder;
};

// Collects the messages of ReportFailure while alive.
class FailureCapture {
public:
    FailureCapture();
    ~FailureCapture();
    const std::vector<std::string>& messages() const;
};

std::vector<uint8_t> Bytes(const std::string& text);
std::string Text(const std::vector<uint8_t>& bytes);

}  // namespace kelpo::test
