// The FontObject class (Windows only): a font description that scripts
// fill and read, and that Dialogs.chooseFont takes and gives back; and the
// list of installed fonts (getFonts, on instances and the class object).
// The face name is kept NUL-terminated inside LOGFONT's 32 bytes: a longer
// name is cut to 31 bytes, never at half a double-byte character.
#include <cstring>
#include <string>
#include <unordered_set>
#include <vector>

#include "runtime/array.h"
#include "runtime/atoms.h"
#include "runtime/class_kit.h"
#include "runtime/convert.h"
#include "runtime/native_args.h"
#include "runtime/strings.h"
#include "syslib/classes.h"
#include "syslib/font_object_win32.h"

namespace kelpo {
namespace {

enum Method { kGetFonts };
const MemberRow kMethods[] = {
    {"getFonts",
     "getFonts([charset [, face]]) -> Array: the full names of the installed fonts of "
     "the character set (1) and face (all); null when none; also on the class"},
};
enum Property { kName, kSize, kColor, kBold, kItalic, kUnderline };
const MemberRow kProperties[] = {
    {"name", "String: the face name, at most 31 characters (longer names are cut)"},
    {"size", "Integer: the size in points"},
    {"color", "Integer: the colour as 0xRRGGBB"},
    {"bold", "Boolean: whether the weight is bold (700 or more); writing sets 700 or 400"},
    {"italic", "Boolean: whether the font is italic"},
    {"underline", "Boolean: whether the font is underlined"},
};

// The class under a name scripts cannot reach, so that chooseFont makes
// FontObjects even when a script has reused the global.
const char kClassGlobal[] = "FontObject class";

constexpr size_t kFaceBytes = LF_FACESIZE - 1;

// `name` as a face name: at most 31 bytes, cut before a lead byte whose
// trail byte would not fit.
void SetFaceName(LOGFONTA* logFont, const std::string& name) {
    size_t length = 0;
    while (length < name.size() && length < kFaceBytes) {
        const size_t step = IsDBCSLeadByte(static_cast<BYTE>(name[length])) ? 2 : 1;
        if (length + step > kFaceBytes || length + step > name.size()) break;
        length += step;
    }
    std::memset(logFont->lfFaceName, 0, sizeof logFont->lfFaceName);
    std::memcpy(logFont->lfFaceName, name.data(), length);
}

struct FontList {
    std::vector<std::string> names;
    std::unordered_set<std::string> seen;
};

// Called for every font and character set: the same family comes once per
// script it covers, so a name already listed is not listed again.
int CALLBACK CollectFont(const LOGFONTA* logFont, const TEXTMETRICA*, DWORD, LPARAM user) {
    auto* list = reinterpret_cast<FontList*>(user);
    const auto* full = reinterpret_cast<const ENUMLOGFONTEXA*>(logFont);
    const char* text = reinterpret_cast<const char*>(full->elfFullName);
    // Nothing may throw back through the system's enumeration: running out
    // of memory ends the list where it is.
    try {
        std::string name(text, strnlen(text, sizeof full->elfFullName));
        if (name.empty() || !list->seen.insert(name).second) return 1;
        // No enumeration runs away: a machine has some thousands of fonts.
        if (list->names.size() >= 65536) return 0;
        list->names.push_back(std::move(name));
    } catch (...) {
        return 0;
    }
    return 1;
}

Value GetFonts(ScriptContext* context, Value* args) {
    LOGFONTA query = {};
    const int64_t charset = IntegerArg(args, 1, DEFAULT_CHARSET);
    if (charset < 0 || charset > 255) return MakeNull();
    query.lfCharSet = static_cast<BYTE>(charset);
    if (IsStringArg(args, 2)) {
        std::string face;
        // No installed face has a name longer than LOGFONT holds.
        if (!BoundedAnsi(context, args[2], kFaceBytes, face)) return MakeNull();
        std::memcpy(query.lfFaceName, face.data(), face.size());
    }
    FontList list;
    HDC screen = GetDC(nullptr);
    if (screen == nullptr) return MakeNull();
    EnumFontFamiliesExA(screen, &query, CollectFont, reinterpret_cast<LPARAM>(&list), 0);
    ReleaseDC(nullptr, screen);
    if (list.names.empty()) return MakeNull();
    Value result = NewArray(context, 0);
    for (size_t i = 0; i < list.names.size(); ++i) {
        ArraySet(context, result, AnsiString(context, list.names[i]), i);
        result.array->length = i + 1;
    }
    return result;
}

int FontObjectMethod(ScriptContext* context, NativeClass*, void*, int member, Value* out,
                     Value* args) {
    switch (member) {
        case kGetFonts: *out = GetFonts(context, args); break;
    }
    return 1;
}

// A number written to an Integer property: Integers and Floats count,
// other kinds leave the property as it is.
bool NumberValue(ScriptContext* context, const Value& value, int32_t* out) {
    if (!IsNumberTag(value.tag) && value.tag != ValueTag::NaN) return false;
    *out = ToInt32(context, value);
    return true;
}

void ReadProperty(ScriptContext* context, const FontRecord& font, int member, Value* io) {
    const LOGFONTA& logFont = font.logFont;
    switch (member) {
        case kName:
            *io = NewStringFromAnsi(context, logFont.lfFaceName,
                                    strnlen(logFont.lfFaceName, sizeof logFont.lfFaceName));
            break;
        case kSize: *io = MakeInteger(font.size); break;
        case kColor: *io = MakeInteger(font.color); break;
        case kBold: *io = MakeBoolean(logFont.lfWeight >= FW_BOLD); break;
        case kItalic: *io = MakeBoolean(logFont.lfItalic != 0); break;
        case kUnderline: *io = MakeBoolean(logFont.lfUnderline != 0); break;
    }
}

void WriteProperty(ScriptContext* context, FontRecord* font, int member, const Value& value) {
    LOGFONTA& logFont = font->logFont;
    int32_t number = 0;
    switch (member) {
        case kName:
            if (value.tag == ValueTag::String) {
                // Cut in UTF-16 units first so that a huge text is never
                // converted whole.
                SetFaceName(&logFont, AnsiOfValue(context, value, kFaceBytes));
            }
            break;
        case kSize:
            if (NumberValue(context, value, &number)) font->size = number;
            break;
        case kColor:
            if (NumberValue(context, value, &number)) font->color = number & 0xFFFFFF;
            break;
        case kBold: logFont.lfWeight = ToBoolean(context, value) ? FW_BOLD : FW_NORMAL; break;
        case kItalic: logFont.lfItalic = ToBoolean(context, value) ? 1 : 0; break;
        case kUnderline: logFont.lfUnderline = ToBoolean(context, value) ? 1 : 0; break;
    }
}

int FontObjectProperty(ScriptContext* context, NativeClass*, void* data, int member, int isSet,
                       Value* io) {
    auto* font = static_cast<FontRecord*>(data);
    if (font == nullptr) return 0;  // the class object has no font
    if (isSet)
        WriteProperty(context, font, member, *io);
    else
        ReadProperty(context, *font, member, io);
    return 1;
}

// new FontObject(): everything zero but the character set, which is the
// default one.
void ConstructFontObject(ScriptContext* context, NativeClass* klass, Value*, Value* out) {
    NewInstanceOf<FontRecord>(context, klass, out)->logFont.lfCharSet = DEFAULT_CHARSET;
}

const ClassSpec kFontObjectClass = {
    .name = "FontObject",
    .text = u"[object FontObject]",
    .about =
        "A font description, exchanged with Dialogs.chooseFont: new FontObject() is empty "
        "(default character set); getFonts lists the installed fonts",
    .methods = kMethods,
    .method = FontObjectMethod,
    .properties = kProperties,
    .property = FontObjectProperty,
    .construct = ConstructFontObject,
    .instanceSize = sizeof(FontRecord),
};

}  // namespace

FontRecord* FontRecordOf(const Value& value) {
    if (value.tag != ValueTag::Native || value.native->data == nullptr ||
        ClassSpecOf(value.native->klass) != &kFontObjectClass) {
        return nullptr;
    }
    return static_cast<FontRecord*>(value.native->data);
}

Value NewFontObject(ScriptContext* context, const FontRecord& record) {
    Value holder = GetGlobal(context, kClassGlobal);
    if (holder.tag != ValueTag::Native || ClassSpecOf(holder.native->klass) != &kFontObjectClass)
        return MakeNull();
    Value out;
    auto* font = NewInstanceOf<FontRecord>(context, holder.native->klass, &out);
    *font = record;
    font->logFont.lfFaceName[kFaceBytes] = '\0';
    return out;
}

void RegisterFontObjectClass(ScriptContext* context) {
    DefineClass(context, kFontObjectClass);
    SetGlobal(context, kClassGlobal, GetGlobal(context, kFontObjectClass.name));
}

}  // namespace kelpo
