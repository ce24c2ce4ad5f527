// Reading and writing stored menus.
#include "host/stored_menu.h"

#include "host/byte_stream.h"
#include "host/counted_text.h"
#include "host/host_exceptions.h"

namespace kelpo {

namespace {

// The smallest item: three words and three empty counted texts.
constexpr size_t kMinItemSize = 3 * 4 + 3 * 4;

void ReadItems(ByteReader& reader, std::vector<StoredMenuItem>& items, int depth) {
    if (depth > kMaxMenuDepth) throw CTopBaseException("Menu nested too deeply");
    uint32_t count = ReadU32(reader);
    if (count > RemainingBytes(reader) / kMinItemSize)
        throw CTopBaseException("Unexpected end of data");
    items.resize(count);
    for (StoredMenuItem& item : items) {
        item.flags = ReadU32(reader);
        ReadU32(reader);
        ReadU32(reader);
        item.name = ReadCountedText(reader);
        item.caption = ReadCountedText(reader);
        item.iconPath = ReadCountedText(reader);
        if (item.flags & kMenuItemPopup) ReadItems(reader, item.children, depth + 1);
    }
}

void WriteItems(ByteWriter& writer, const std::vector<StoredMenuItem>& items) {
    WriteU32(writer, static_cast<uint32_t>(items.size()));
    for (const StoredMenuItem& item : items) {
        WriteU32(writer, item.flags);
        WriteU32(writer, 0);
        WriteU32(writer, 0);
        WriteCountedText(writer, item.name);
        WriteCountedText(writer, item.caption);
        WriteCountedText(writer, item.iconPath);
        if (item.flags & kMenuItemPopup) WriteItems(writer, item.children);
    }
}

}  // namespace

bool ReadStoredMenu(const uint8_t* bytes, size_t length, std::vector<StoredMenuItem>& items) {
    ByteReader reader = MakeByteReader(bytes, length);
    try {
        for (int i = 0; i < 3; ++i) ReadU32(reader);
        for (int i = 0; i < 3; ++i) ReadCountedText(reader);
        ReadItems(reader, items, 0);
        return true;
    } catch (const CTopBaseException&) {
        items.clear();
        return false;
    }
}

std::vector<uint8_t> WriteStoredMenu(const std::vector<StoredMenuItem>& items) {
    ByteWriter writer;
    for (int i = 0; i < 3; ++i) WriteU32(writer, 0);
    for (int i = 0; i < 3; ++i) WriteCountedText(writer, std::string());
    WriteItems(writer, items);
    return writer;
}

}  // namespace kelpo
