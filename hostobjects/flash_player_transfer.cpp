// FlashPlayer's data members: bound names, updateData, arrays and objects
// through movie variables, movie-to-window coordinates and movie file
// information.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "host/movie_info.h"
#include "hostobjects/flash_player_data.h"
#include "hostobjects/movie_text.h"
#include "hostobjects/movie_to_window.h"
#include "platform/ansi.h"
#include "platform/files.h"
#include "runtime/array.h"
#include "runtime/atoms.h"
#include "runtime/convert.h"
#include "runtime/native_args.h"
#include "runtime/object.h"
#include "runtime/strings.h"

namespace kelpo {
namespace {

// Movie arrays longer than this arrive as their comma-joined text.
constexpr int64_t kLargestReadArray = 5000;
// Indexes of a script array written into the movie stop here: a sparse
// array with an absurd length must not keep the projector busy for hours.
constexpr uint64_t kLargestWrittenArray = uint64_t(1) << 24;

std::u16string Concat(const std::u16string& a, const char16_t* b, const std::u16string& c = u"") {
    std::u16string text = a;
    text += b;
    text += c;
    return text;
}

std::u16string DecimalText(uint64_t value) {
    std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

Atom AtomOfString(ScriptContext* context, const Value& string) {
    char* name = StringToAnsi(context, string);
    Atom atom = InternAtom(context, name);
    ContextFree(name);
    return atom;
}

void PutInteger(ScriptContext* context, ScriptObject* object, const char* name, int64_t value) {
    PutProperty(context, object, InternAtom(context, name), MakeInteger(value));
}

bool HasMovieExtension(const std::string& path) {
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || path.find_first_of("\\/", dot) != std::string::npos)
        return false;
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(c | 0x20); });
    return extension == "swf" || extension == "spl" || extension == "exe";
}

}  // namespace

std::u16string AtomText(ScriptContext* context, Atom atom) {
    const char* name = AtomName(context, atom);
    const size_t length = strlen(name);
    std::u16string text(length, u'\0');
    text.resize(AnsiToUtf16(name, length, &text[0], length));
    return text;
}

bool ReadBinding(ScriptContext* context, FlashPlayerData* data, const std::u16string& name,
                 Value* out) {
    if (BindingTable::Entry* variable = data->bindings.variables.Find(name)) {
        *out = variable->value;
        return true;
    }
    if (data->bindings.clipPaths.Find(name) != nullptr) {
        *out = NewMovieClip(context, data, name);
        return true;
    }
    return false;
}

bool WriteBinding(FlashPlayerData* data, const std::u16string& name, const Value& value) {
    BindingTable::Entry* variable = data->bindings.variables.Find(name);
    if (variable == nullptr) return false;
    variable->value = value;
    return true;
}

Value ScriptValueOf(ScriptContext* context, const ControlValue& value) {
    switch (value.kind) {
        case ControlValue::Kind::Boolean: return MakeBoolean(value.boolean);
        case ControlValue::Kind::Integer: return MakeInteger(value.integer);
        case ControlValue::Kind::Float: return MakeFloat(value.number);
        case ControlValue::Kind::Text: return NewText(context, value.text);
        default: return MakeUndefined();
    }
}

bool ReadMovieVariable(const PlayerPort& port, const std::u16string& name, std::u16string& text) {
    if (port.call == nullptr) return false;
    ControlValue argument = ControlValue::OfText(name), result;
    if (!port.call(port.user, "GetVariable", &argument, 1, result)) return false;
    if (result.kind != ControlValue::Kind::Text) return false;
    text = result.text;
    return true;
}

bool WriteMovieVariable(const PlayerPort& port, const std::u16string& name,
                        const std::u16string& text) {
    if (port.call == nullptr) return false;
    ControlValue arguments[2] = {ControlValue::OfText(name), ControlValue::OfText(text)};
    ControlValue result;
    return port.call(port.user, "SetVariable", arguments, 2, result);
}

void UpdateData(ScriptContext* context, const PlayerPort& port, FlashPlayerData* data, Value* args,
                Value*) {
    const bool toScript = !HasArg(args, 1) || ToBoolean(context, args[1]);
    // Conversions may run script code that binds or unbinds names, so the
    // names are taken first and looked up again one by one.
    std::vector<std::u16string> names;
    data->bindings.variables.ForEach(
        [&](BindingTable::Entry& entry) { names.push_back(entry.name); });
    for (const std::u16string& name : names) {
        BindingTable::Entry* entry = data->bindings.variables.Find(name);
        if (entry == nullptr) continue;
        if (toScript) {
            std::u16string text;
            if (ReadMovieVariable(port, name, text)) entry->value = MovieTextToValue(context, text);
        } else {
            const Value cached = entry->value;
            WriteMovieVariable(port, name, TextOfValue(context, cached));
        }
    }
}

void GetArray(ScriptContext* context, const PlayerPort& port, Value* args, Value* out) {
    if (!IsStringArg(args, 1)) return;
    const std::u16string name = TextOf(args[1]);
    std::u16string text;
    if (ReadMovieVariable(port, Concat(name, u".length"), text)) {
        const Value length = MovieTextToValue(context, text);
        if (length.tag == ValueTag::Integer && length.integer >= 0 &&
            length.integer <= kLargestReadArray) {
            *out = NewArray(context, static_cast<uint64_t>(length.integer));
            for (int64_t i = 0; i < length.integer; ++i) {
                if (ReadMovieVariable(port, Concat(name, u"[", DecimalText(i) + u"]"), text)) {
                    ArraySet(context, *out, MovieTextToValue(context, text),
                             static_cast<uint64_t>(i));
                }
            }
            return;
        }
    }
    std::vector<std::u16string> items;
    if (ReadMovieVariable(port, name, text) && !text.empty()) {
        size_t start = 0;
        for (size_t comma; (comma = text.find(u',', start)) != std::u16string::npos;
             start = comma + 1) {
            items.push_back(text.substr(start, comma - start));
        }
        items.push_back(text.substr(start));
    }
    *out = NewArray(context, items.size());
    for (size_t i = 0; i < items.size(); ++i)
        ArraySet(context, *out, NewText(context, items[i]), i);
}

void PutArray(ScriptContext* context, const PlayerPort& port, Value* args, Value*) {
    if (!IsStringArg(args, 1) || !HasArg(args, 2) || args[2].tag != ValueTag::Array) return;
    const std::u16string name = TextOf(args[1]);
    const Value array = args[2];
    const uint64_t length = std::min(array.array->length, kLargestWrittenArray);
    for (uint64_t i = 0; i < length && i < array.array->length; ++i) {
        Value* element = ArrayGet(context, array, i);
        if (element == nullptr) continue;
        const Value item = *element;
        WriteMovieVariable(port, Concat(name, u"[", DecimalText(i) + u"]"),
                           TextOfValue(context, item));
    }
}

void GetObject(ScriptContext* context, const PlayerPort& port, Value* args, Value* out) {
    if (!IsStringArg(args, 1)) return;
    const std::u16string name = TextOf(args[1]);
    ScriptObject* object = NewObject(context);
    *out = MakeObject(object);
    auto readMember = [&](const Value& member) {
        if (member.tag != ValueTag::String) return;
        std::u16string text;
        if (!ReadMovieVariable(port, Concat(name, u".", TextOf(member)), text)) return;
        const Value value = MovieTextToValue(context, text);
        PutProperty(context, object, AtomOfString(context, member), value);
    };
    for (int64_t k = 2; k <= ArgCount(args); ++k) {
        if (args[k].tag == ValueTag::Array) {
            const uint64_t length = std::min(args[k].array->length, kLargestWrittenArray);
            for (uint64_t i = 0; i < length; ++i) {
                if (Value* element = ArrayGet(context, args[k], i)) readMember(*element);
            }
        } else {
            readMember(args[k]);
        }
    }
}

void PutObject(ScriptContext* context, const PlayerPort& port, Value* args, Value*) {
    if (!IsStringArg(args, 1) || !HasArg(args, 2) || args[2].tag != ValueTag::Object) return;
    const std::u16string name = TextOf(args[1]);
    ScriptObject* object = args[2].object;
    // Converting an Array runs its elements' toString, which may add or
    // delete members: the slot array is read afresh for every member.
    for (uint32_t i = 0; i < object->slotCount; ++i) {
        const PropertySlot slot = object->slots[i];
        if (slot.atom == kFreeSlotAtom) continue;
        switch (slot.value.tag) {
            case ValueTag::Boolean:
            case ValueTag::Integer:
            case ValueTag::String:
            case ValueTag::Array:
            case ValueTag::Float:
                WriteMovieVariable(port, Concat(name, u".", AtomText(context, slot.atom)),
                                   TextOfValue(context, slot.value));
                break;
            default: break;
        }
    }
}

void MovieToWindow(ScriptContext* context, const PlayerPort& port, Value* args, Value* out) {
    for (int k = 1; k <= 4; ++k) {
        if (!IsNumberArg(args, k)) return;
    }
    MovieLayout layout;
    if (port.movieSize == nullptr || port.clientSize == nullptr ||
        !port.movieSize(port.user, layout.movieWidth, layout.movieHeight) ||
        !port.clientSize(port.user, layout.clientWidth, layout.clientHeight)) {
        return;
    }
    ControlValue mode;
    if (port.get != nullptr && port.get(port.user, "ScaleMode", mode)) {
        layout.scaleMode =
            mode.kind == ControlValue::Kind::Float ? static_cast<int>(mode.number) : mode.integer;
    }
    WindowRect rect;
    if (!kelpo::MovieToWindow(layout, NumberArg(args, 1, 0), NumberArg(args, 2, 0),
                              NumberArg(args, 3, 0), NumberArg(args, 4, 0), rect)) {
        return;
    }
    ScriptObject* object = NewObject(context);
    *out = MakeObject(object);
    PutInteger(context, object, "left", rect.left);
    PutInteger(context, object, "right", rect.right);
    PutInteger(context, object, "top", rect.top);
    PutInteger(context, object, "bottom", rect.bottom);
}

void GetMovieInfo(ScriptContext* context, Value* args, Value* out) {
    if (!IsStringArg(args, 1)) return;
    const std::string path = StringArg(context, args, 1);
    *out = MakeNull();
    MovieInfo info;
    if (!HasMovieExtension(path) || !FileExists(path) || !ReadMovieInfoFromFile(path, info)) return;
    ScriptObject* object = NewObject(context);
    *out = MakeObject(object);
    ScriptObject* frame = NewObject(context);
    PutProperty(context, object, InternAtom(context, "frameSize"), MakeObject(frame));
    PutInteger(context, frame, "xMin", info.left);
    PutInteger(context, frame, "xMax", info.right);
    PutInteger(context, frame, "yMin", info.top);
    PutInteger(context, frame, "yMax", info.bottom);
    PutInteger(context, object, "rate", info.frameRate);
    PutInteger(context, object, "frameCount", info.frameCount);
    PutInteger(context, object, "size", info.fileLength);
    // The movie's version byte, under the name older scripts read it by and
    // under the one that says what it is.
    PutInteger(context, object, "frameNum", info.version);
    PutInteger(context, object, "version", info.version);
}

}  // namespace kelpo
