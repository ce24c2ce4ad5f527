// Project folders and inputs for the builder tests.
#include "tests/unit/builder/builder_test_support.h"

#include <filesystem>

#include "host/byte_stream.h"
#include "platform/files.h"
#include "tools/kelpo-build/project_error.h"
#include "tools/kelpo-build/project_reader.h"

namespace kelpo::test {

void ProjectFolderTest::WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::filesystem::path path(folder + name);
    std::filesystem::create_directories(path.parent_path());
    ASSERT_TRUE(WriteWholeFile(path.string(), bytes.data(), bytes.size())) << path.string();
}

build::BuildInput ProjectFolderTest::Read(const std::string& json) {
    return build::ReadProjectText(json, folder, "Sample");
}

std::string ProjectFolderTest::ErrorOf(const std::string& json) {
    try {
        Read(json);
    } catch (const build::ProjectError& error) {
        return error.what();
    }
    return "";
}

std::vector<uint8_t> MakeIcoFile(const std::vector<uint8_t>& sizes) {
    ByteWriter ico;
    WriteU16(ico, 0);
    WriteU16(ico, 1);
    WriteU16(ico, static_cast<uint16_t>(sizes.size()));
    uint32_t offset = static_cast<uint32_t>(6 + 16 * sizes.size());
    for (size_t i = 0; i < sizes.size(); ++i) {
        const uint8_t fields[8] = {static_cast<uint8_t>(16 * (i + 1)),
                                   static_cast<uint8_t>(16 * (i + 1)),
                                   0,
                                   0,
                                   1,
                                   0,
                                   32,
                                   0};
        WriteBytes(ico, fields, sizeof fields);
        WriteU32(ico, sizes[i]);
        WriteU32(ico, offset);
        offset += sizes[i];
    }
    for (size_t i = 0; i < sizes.size(); ++i)
        ico.insert(ico.end(), sizes[i], static_cast<uint8_t>(i + 1));
    return ico;
}

}  // namespace kelpo::test
