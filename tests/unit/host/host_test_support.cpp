// Scratch folders and failure capture for the project-data tests.
#include "tests/unit/host/host_test_support.h"

#include <atomic>
#include <chrono>
#include <filesystem>

#include "host/failure_report.h"
#include "platform/files.h"

namespace kelpo::test {

namespace {
std::vector<std::string> captured;
void Capture(const char* message) { captured.push_back(message); }
}  // namespace

void ScratchFolderTest::SetUp() {
    static std::atomic<int> serial{0};
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    std::filesystem::path base =
        std::filesystem::temp_directory_path() /
        ("kelpo-test-" + std::to_string(stamp) + "-" + std::to_string(serial++));
    std::filesystem::create_directories(base);
    folder = base.string() + kPathSeparator;
}

void ScratchFolderTest::TearDown() { RemoveFolderTree(folder); }

FailureCapture::FailureCapture() {
    captured.clear();
    SetFailureReporter(Capture);
}

FailureCapture::~FailureCapture() { SetFailureReporter(nullptr); }

const std::vector<std::string>& FailureCapture::messages() const { return captured; }

std::vector<uint8_t> Bytes(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

std::string Text(const std::vector<uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace kelpo::test
