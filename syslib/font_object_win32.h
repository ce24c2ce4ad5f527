// What Dialogs.chooseFont shares with the FontObject class (Windows only):
// the record behind a FontObject and the way to make one or read one.
#pragma once

#include <windows.h>

#include <cstdint>

#include "runtime/context.h"
#include "runtime/value.h"

namespace kelpo {

// A font description: the system's LOGFONT, the colour as 0xRRGGBB and the
// size in points. The face name always ends in a NUL inside its 32 bytes.
struct FontRecord {
    LOGFONTA logFont;
    int32_t color;
    int32_t size;
};

// The FontRecord of a FontObject value; null for anything else.
FontRecord* FontRecordOf(const Value& value);

// A new FontObject holding `record`; Null when the FontObject class is not
// registered.
Value NewFontObject(ScriptContext* context, const FontRecord& record);

}  // namespace kelpo
