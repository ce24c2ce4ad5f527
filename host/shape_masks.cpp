// Reading and writing the shape-mask list.
#include "host/shape_masks.h"

#include "host/byte_stream.h"
#include "host/counted_text.h"
#include "host/failure_report.h"
#include "host/host_exceptions.h"
#include "host/safe_names.h"
#include "platform/files.h"

namespace kelpo {

void ReadShapeMasks(const uint8_t* bytes, size_t length, const std::string& instanceFolder,
                    std::vector<std::string>& names) {
    ByteReader reader = MakeByteReader(bytes, length);
    try {
        uint32_t count = ReadU32(reader);
        for (uint32_t i = 0; i < count; ++i) {
            std::string name = ReadCountedText(reader);
            uint32_t size = ReadU32(reader);
            const uint8_t* content = ReadBytes(reader, size);
            if (!IsBareFileName(name + ".msk"))
                throw CTopBaseException("Refused the mask name \"" + name + "\"");
            names.push_back(name);
            if (size > 0 && !WriteWholeFile(instanceFolder + name + ".msk", content, size))
                throw LastErrorException();
        }
    } catch (const CTopBaseException& failure) {
        ReportFailure(failure.what());
    }
}

std::vector<uint8_t> WriteShapeMasks(const std::vector<ShapeMask>& masks) {
    ByteWriter writer;
    WriteU32(writer, static_cast<uint32_t>(masks.size()));
    for (const ShapeMask& mask : masks) {
        WriteCountedText(writer, mask.name);
        WriteU32(writer, static_cast<uint32_t>(mask.content.size()));
        WriteBytes(writer, mask.content.data(), mask.content.size());
    }
    return writer;
}

}  // namespace kelpo
