// Embedded files inside the settings stream.
#include "host/embedded_file.h"

#include <vector>

#include "host/counted_text.h"
#include "host/failure_report.h"
#include "host/host_exceptions.h"
#include "host/safe_names.h"
#include "platform/files.h"

namespace kelpo {

void ReadEmbeddedFile(ByteReader& reader, const std::string& instanceFolder, char* path) {
    path[0] = '\0';
    std::string name = ReadCountedText(reader);
    uint32_t length = ReadU32(reader);
    const uint8_t* content = ReadBytes(reader, length);
    if (length == 0) return;
    std::string target = instanceFolder + name;
    if (!IsBareFileName(name) || target.size() >= kPathTextSize) {
        ReportFailure(("Refused the embedded file name \"" + name + "\"").c_str());
        return;
    }
    if (!WriteWholeFile(target, content, length)) {
        ReportFailure(LastErrorException().what());
        return;
    }
    CopyToTextBuffer(path, kPathTextSize, target);
}

void WriteEmbeddedFile(ByteWriter& writer, const char* path) {
    std::vector<uint8_t> content;
    if (path[0] == '\0' || !ReadWholeFile(path, content)) {
        WriteCountedText(writer, std::string());
        WriteU32(writer, 0);
        return;
    }
    std::string full = path;
    size_t slash = full.find_last_of("\\/");
    WriteCountedText(writer, slash == std::string::npos ? full : full.substr(slash + 1));
    WriteU32(writer, static_cast<uint32_t>(content.size()));
    WriteBytes(writer, content.data(), content.size());
}

}  // namespace kelpo
