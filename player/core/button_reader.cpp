// Button records and button actions; see button_reader.h.
#include "player/core/button_reader.h"

#include <algorithm>

#include "player/core/record_reader.h"

namespace kelpo::player {

namespace {

void ReadRecords(ByteReader& reader, bool second, ButtonDefinition& button) {
    while (!reader.failed) {
        uint8_t flags = ReadU8(reader);
        if (flags == 0 || reader.failed) break;
        ButtonRecord record;
        record.states = flags & 0x0F;
        record.character = ReadU16(reader);
        record.depth = ReadU16(reader);
        record.matrix = ReadMatrix(reader);
        if (second) {
            record.color = ReadColorTransform(reader, true);
            // Filter lists are not read: nothing after them can be trusted.
            if (flags & 0x10) {
                if (!reader.failed) button.records.push_back(record);
                reader.failed = true;
                break;
            }
            if (flags & 0x20) ReadU8(reader);  // blend mode
        }
        if (reader.failed) break;
        button.records.push_back(record);
    }
    std::stable_sort(
        button.records.begin(), button.records.end(),
        [](const ButtonRecord& l, const ButtonRecord& r) { return l.depth < r.depth; });
}

}  // namespace

ButtonDefinition ReadButton(ByteReader& reader, int tagCode, const MovieBytes& bytes,
                            size_t bodyOffset) {
    ButtonDefinition button;
    if (tagCode == 7) {
        ReadRecords(reader, false, button);
        if (reader.failed) return button;
        ButtonAction action;
        action.conditions = kOverDownToOverUp;
        action.actions = ActionBlock{bytes, bodyOffset + reader.position, Remaining(reader)};
        button.actions.push_back(action);
        return button;
    }
    button.trackAsMenu = (ReadU8(reader) & 1) != 0;
    size_t offsetField = reader.position;
    uint16_t actionOffset = ReadU16(reader);
    ReadRecords(reader, true, button);
    if (actionOffset == 0) return button;
    // Each condition record: u16 size to the next (0 for the last), u16 conditions, actions.
    size_t at = offsetField + actionOffset;
    while (at + 4 <= reader.length) {
        ByteReader record = MakeReader(reader.bytes, reader.length);
        record.position = at;
        uint16_t size = ReadU16(record);
        uint16_t conditions = ReadU16(record);
        size_t end = size == 0 ? reader.length : std::min(reader.length, at + size);
        if (end < record.position) break;
        button.actions.push_back(ButtonAction{
            conditions, ActionBlock{bytes, bodyOffset + record.position, end - record.position}});
        if (size == 0) break;
        at += size;
    }
    return button;
}

}  // namespace kelpo::player
