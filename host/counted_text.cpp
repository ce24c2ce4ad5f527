// CountedText reading and writing, with the UTF-16 / ANSI conversion.
#include "host/counted_text.h"

#include <cstring>
#include <vector>

#include "host/host_exceptions.h"
#include "platform/ansi.h"

namespace kelpo {

std::string ReadCountedText(ByteReader& reader) {
    uint32_t count = ReadU32(reader);
    if (count > RemainingBytes(reader) / 2) throw CTopBaseException("Unexpected end of data");
    const uint8_t* bytes = ReadBytes(reader, static_cast<size_t>(count) * 2);
    std::vector<char16_t> units;
    units.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        char16_t unit = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
        if (unit == 0) break;
        units.push_back(unit);
    }
    if (units.empty()) return std::string();
    std::string text(units.size() * 2, '\0');
    size_t length = Utf16ToAnsi(units.data(), units.size(), &text[0], text.size());
    text.resize(length);
    return text;
}

void CopyToTextBuffer(char* buffer, size_t capacity, const std::string& text) {
    if (capacity == 0) return;
    size_t length = text.size() < capacity - 1 ? text.size() : capacity - 1;
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

void ReadCountedTextInto(ByteReader& reader, char* buffer, size_t capacity) {
    CopyToTextBuffer(buffer, capacity, ReadCountedText(reader));
}

void WriteCountedText(ByteWriter& writer, const std::string& ansiText) {
    std::vector<char16_t> units(ansiText.size() + 1);
    size_t length = ansiText.empty()
                        ? 0
                        : AnsiToUtf16(ansiText.data(), ansiText.size(), units.data(), units.size());
    WriteU32(writer, static_cast<uint32_t>(length + 1));
    for (size_t i = 0; i < length; ++i) WriteU16(writer, static_cast<uint16_t>(units[i]));
    WriteU16(writer, 0);
}

}  // namespace kelpo
