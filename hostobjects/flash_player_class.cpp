// The FlashPlayer class object: the control's properties and methods by
// table, the data-binding members, and bound names read as properties.
// While the main frame has no control every method answers Undefined,
// without effect.
#include "hostobjects/flash_player_classes.h"

#include <vector>

#include "hostobjects/flash_player_data.h"
#include "hostobjects/movie_text.h"
#include "runtime/atoms.h"
#include "runtime/convert.h"
#include "runtime/gc.h"

namespace kelpo {
namespace {

enum class Kind { Integer, Boolean, Text };

struct ControlProperty {
    const char* script;
    const char* control;
    Kind kind;
    bool readOnly;
};

const ControlProperty kProperties[] = {
    {"totalFrames", "TotalFrames", Kind::Integer, true},
    {"playing", "Playing", Kind::Boolean, false},
    {"quality", "Quality", Kind::Integer, false},
    {"scaleMode", "ScaleMode", Kind::Integer, false},
    {"alignMode", "AlignMode", Kind::Integer, false},
    {"backgroundColor", "BackgroundColor", Kind::Integer, false},
    {"loop", "Loop", Kind::Boolean, false},
    {"movie", "Movie", Kind::Text, false},
    {"frameNum", "FrameNum", Kind::Integer, false},
    {"wmode", "WMode", Kind::Text, false},
    {"salign", "SAlign", Kind::Text, false},
    {"menu", "Menu", Kind::Boolean, false},
    {"base", "Base", Kind::Text, false},
    {"scale", "Scale", Kind::Text, false},
    {"deviceFont", "DeviceFont", Kind::Boolean, false},
    {"embedMovie", "EmbedMovie", Kind::Boolean, false},
    {"bgColor", "BGColor", Kind::Text, false},
    {"quality2", "Quality2", Kind::Text, false},
    {"SWRemote", "SWRemote", Kind::Text, false},
    {"flashVars", "FlashVars", Kind::Text, false},
};
constexpr size_t kPropertyCount = sizeof kProperties / sizeof kProperties[0];

// What a control method's result becomes.
enum class Result {
    Succeeded,       // Boolean: the call succeeded
    Integer,         // the returned number
    FrameOrMinusOne, // the returned number, -1 when the call failed
    Boolean,         // the returned truth value
    Float,
    Text,
};

// Argument kinds, one letter each: i Integer, s String, n Integer or Float.
struct ControlMethod {
    const char* script;
    const char* control;
    const char* arguments;
    Result result;
};

const ControlMethod kControlMethods[] = {
    {"play", "Play", "", Result::Succeeded},
    {"stop", "Stop", "", Result::Succeeded},
    {"back", "Back", "", Result::Succeeded},
    {"forward", "Forward", "", Result::Succeeded},
    {"rewind", "Rewind", "", Result::Succeeded},
    {"stopPlay", "StopPlay", "", Result::Succeeded},
    {"zoom", "Zoom", "i", Result::Succeeded},
    {"pan", "Pan", "iii", Result::Succeeded},
    {"setZoomRect", "SetZoomRect", "iiii", Result::Succeeded},
    {"gotoFrame", "GotoFrame", "i", Result::Succeeded},
    {"currentFrame", "CurrentFrame", "", Result::FrameOrMinusOne},
    {"isPlaying", "IsPlaying", "", Result::Boolean},
    {"percentLoaded", "PercentLoaded", "", Result::Integer},
    {"frameLoaded", "FrameLoaded", "i", Result::Boolean},
    {"flashVersion", "FlashVersion", "", Result::Integer},
    {"loadMovie", "LoadMovie", "is", Result::Succeeded},
    {"setVariable", "SetVariable", "ss", Result::Succeeded},
    {"getVariable", "GetVariable", "s", Result::Text},
    {"targetGotoFrame", "TGotoFrame", "si", Result::Succeeded},
    {"targetGotoLabel", "TGotoLabel", "ss", Result::Succeeded},
    {"targetCurrentFrame", "TCurrentFrame", "s", Result::Integer},
    {"targetCurrentLabel", "TCurrentLabel", "s", Result::Text},
    {"targetPlay", "TPlay", "s", Result::Succeeded},
    {"targetStopPlay", "TStopPlay", "s", Result::Succeeded},
    {"targetGetProperty", "TGetProperty", "si", Result::Text},
    {"targetSetProperty", "TSetProperty", "sis", Result::Succeeded},
    {"targetCallFrame", "TCallFrame", "si", Result::Succeeded},
    {"targetCallLabel", "TCallLabel", "ss", Result::Succeeded},
    {"targetGetPropertyNum", "TGetPropertyNum", "si", Result::Float},
    {"targetSetPropertyNum", "TSetPropertyNum", "sin", Result::Succeeded},
};
constexpr size_t kControlMethodCount = sizeof kControlMethods / sizeof kControlMethods[0];

// The members that are not control methods, numbered after them.
enum DataMethod {
    kBindData = kControlMethodCount,
    kUnbindData,
    kUnbindAll,
    kUpdateData,
    kGetArray,
    kPutArray,
    kGetObject,
    kPutObject,
    kMovieToWindow,
    kGetMovieInfo,
    kMethodLimit
};
const char* const kDataMethodNames[] = {"bindData",  "unbindData", "unbindAll",     "updateData",
                                        "getArray",  "putArray",   "getObject",     "putObject",
                                        "movieToWindow", "getMovieInfo"};

// The properties that are not the control's, numbered after them.
enum ExtraProperty { kWindow = kPropertyCount, kOnContextMenu, kPropertyLimit };
const char* const kExtraPropertyNames[] = {"window", "onContextMenu"};

int IndexOf(const std::vector<Atom>& atoms, Atom atom) {
    for (size_t i = 0; i < atoms.size(); ++i) {
        if (atoms[i] == atom) return static_cast<int>(i);
    }
    return -1;
}

// A script argument as the control's value of a kind letter; false when the
// argument has the wrong type.
bool ControlArgument(char kind, const Value& value, ControlValue& out) {
    switch (kind) {
        case 'i':
            if (value.tag != ValueTag::Integer) return false;
            out = ControlValue::OfInteger(static_cast<int32_t>(value.integer));
            return true;
        case 'n':
            if (value.tag == ValueTag::Integer) {
                out = ControlValue::OfFloat(static_cast<double>(value.integer));
                return true;
            }
            if (value.tag != ValueTag::Float) return false;
            out = ControlValue::OfFloat(value.number);
            return true;
        case 's':
            if (value.tag != ValueTag::String) return false;
            out = ControlValue::OfText(TextOf(value));
            return true;
        default:
            return false;
    }
}

Value MethodResult(ScriptContext* context, Result kind, bool succeeded, const ControlValue& value) {
    if (kind == Result::Succeeded) return MakeBoolean(succeeded);
    if (kind == Result::FrameOrMinusOne && !succeeded) return MakeInteger(-1);
    if (!succeeded) return MakeUndefined();
    switch (kind) {
        case Result::Integer:
        case Result::FrameOrMinusOne:
            if (value.kind == ControlValue::Kind::Float) return MakeInteger(static_cast<int64_t>(value.number));
            if (value.kind == ControlValue::Kind::Boolean) return MakeInteger(value.boolean ? 1 : 0);
            return MakeInteger(value.integer);
        case Result::Boolean:
            return MakeBoolean(value.kind == ControlValue::Kind::Integer ? value.integer != 0 : value.boolean);
        case Result::Float:
            if (value.kind == ControlValue::Kind::Integer) return MakeFloat(value.integer);
            return MakeFloat(value.number);
        case Result::Text:
            return NewText(context, value.text);
        default:
            return MakeUndefined();
    }
}

void CallControlMethod(ScriptContext* context, const PlayerPort& port, const ControlMethod& method,
                       Value* args, Value* out) {
    std::vector<ControlValue> arguments;
    for (int k = 0; method.arguments[k] != '\0'; ++k) {
        ControlValue argument;
        if (!HasArg(args, k + 1) || !ControlArgument(method.arguments[k], args[k + 1], argument)) return;
        arguments.push_back(argument);
    }
    ControlValue result;
    bool succeeded = port.call != nullptr &&
                     port.call(port.user, method.control, arguments.data(),
                               static_cast<int>(arguments.size()), result);
    *out = MethodResult(context, method.result, succeeded, result);
}

// A script value for a control property of the given kind; false when the
// value cannot be one (the assignment is then ignored).
bool PropertyValue(ScriptContext* context, Kind kind, const Value& value, ControlValue& out) {
    switch (kind) {
        case Kind::Integer:
            if (value.tag == ValueTag::Integer) out = ControlValue::OfInteger(static_cast<int32_t>(value.integer));
            else if (value.tag == ValueTag::Boolean) out = ControlValue::OfInteger(value.boolean);
            else return false;
            return true;
        case Kind::Boolean:
            if (value.tag == ValueTag::Boolean) out = ControlValue::OfBoolean(value.boolean != 0);
            else if (value.tag == ValueTag::Integer) out = ControlValue::OfBoolean(value.integer != 0);
            else return false;
            return true;
        case Kind::Text:
            out = ControlValue::OfText(TextOfValue(context, value));
            return true;
    }
    return false;
}

Value PropertyResult(ScriptContext* context, Kind kind, const ControlValue& value) {
    switch (kind) {
        case Kind::Integer: return MethodResult(context, Result::Integer, true, value);
        case Kind::Boolean: return MethodResult(context, Result::Boolean, true, value);
        case Kind::Text: return NewText(context, value.text);
    }
    return MakeUndefined();
}

void AccessControlProperty(ScriptContext* context, const ControlProperty& property, int isSet, Value* io) {
    const PlayerPort* port = CurrentPlayerPort();
    if (isSet) {
        ControlValue value;
        if (port == nullptr || property.readOnly || port->put == nullptr ||
            !PropertyValue(context, property.kind, *io, value)) {
            return;
        }
        port->put(port->user, property.control, value);
        return;
    }
    *io = MakeUndefined();
    ControlValue value;
    if (port != nullptr && port->get != nullptr && port->get(port->user, property.control, value)) {
        *io = PropertyResult(context, property.kind, value);
    }
}

int FlashPlayerProperty(ScriptContext* context, NativeClass* klass, void*, Atom atom, int isSet, Value* io) {
    auto* data = static_cast<FlashPlayerData*>(klass->data);
    const int index = IndexOf(data->propertyAtoms, atom);
    if (index >= 0 && index < static_cast<int>(kPropertyCount)) {
        AccessControlProperty(context, kProperties[index], isSet, io);
        return 1;
    }
    if (index == kWindow) {
        // The control's window as a Window object arrives with the Window
        // class; until then the property reads Null.
        if (!isSet) *io = MakeNull();
        return 1;
    }
    if (index == kOnContextMenu) {
        // Forwarded to the Window object's onContextMenu once Window exists.
        if (!isSet) *io = MakeUndefined();
        return 1;
    }
    const std::u16string name = AtomText(context, atom);
    if (isSet) return WriteBinding(data, name, *io) ? 1 : 0;
    return ReadBinding(context, data, name, io) ? 1 : 0;
}

void BindEach(ScriptContext* context, FlashPlayerData* data, Value* args, bool bind) {
    for (int64_t k = 1; k <= ArgCount(args); ++k) {
        if (args[k].tag != ValueTag::String) continue;
        if (bind) BindName(data->bindings, TextOf(args[k]));
        else UnbindName(data->bindings, TextOf(args[k]));
    }
    (void)context;
}

int FlashPlayerInvoke(ScriptContext* context, NativeClass* klass, void*, Atom method, Value* out, Value* args) {
    *out = MakeUndefined();
    if (method == kAtomToString) {
        *out = StaticText(context, u"[object FlashPlayer]");
        return 1;
    }
    if (method == kAtomValueOf) {
        *out = context->atomValues[InternAtom(context, "FlashPlayer")];
        return 1;
    }
    auto* data = static_cast<FlashPlayerData*>(klass->data);
    const int index = IndexOf(data->methodAtoms, method);
    if (index < 0) return 0;
    const PlayerPort* port = CurrentPlayerPort();
    if (port == nullptr) return 1;
    switch (index) {
        case kBindData: BindEach(context, data, args, true); break;
        case kUnbindData: BindEach(context, data, args, false); break;
        case kUnbindAll: UnbindAll(data->bindings); break;
        case kGetMovieInfo: GetMovieInfo(context, args, out); break;
        case kUpdateData: UpdateData(context, *port, data, args, out); break;
        case kGetArray: GetArray(context, *port, args, out); break;
        case kPutArray: PutArray(context, *port, args, out); break;
        case kGetObject: GetObject(context, *port, args, out); break;
        case kPutObject: PutObject(context, *port, args, out); break;
        case kMovieToWindow: MovieToWindow(context, *port, args, out); break;
        default: CallControlMethod(context, *port, kControlMethods[index], args, out); break;
    }
    return 1;
}

void CallFlashPlayer(ScriptContext* context, NativeClass* klass, void*, Value* out, Value*) {
    *out = BindNative(context, klass, nullptr);
}

void ConstructFlashPlayer(ScriptContext* context, NativeClass* klass, Value*, Value* out) {
    *out = BindNative(context, klass, nullptr);
}

void MarkFlashPlayer(NativeClass* klass, void*) {
    FlashPlayerData* data = static_cast<FlashPlayerData*>(klass->data);
    MarkBindings(data->bindings);
    GcMarkValue(data->movieClipClass);
}

void FreeFlashPlayerData(void* data) { delete static_cast<FlashPlayerData*>(data); }

}  // namespace

FlashPlayerData* FlashPlayerDataOf(NativeClass* klass) {
    if (klass == nullptr || klass->invoke != FlashPlayerInvoke) return nullptr;
    return static_cast<FlashPlayerData*>(klass->data);
}

void RegisterFlashPlayerClass(ScriptContext* context) {
    NativeClass* klass = NewNativeClass(context);
    auto* data = new FlashPlayerData;
    klass->data = data;
    klass->freeData = FreeFlashPlayerData;
    for (const ControlProperty& property : kProperties) {
        data->propertyAtoms.push_back(InternAtom(context, property.script));
    }
    for (const char* name : kExtraPropertyNames) data->propertyAtoms.push_back(InternAtom(context, name));
    for (const ControlMethod& method : kControlMethods) {
        data->methodAtoms.push_back(InternAtom(context, method.script));
    }
    for (const char* name : kDataMethodNames) data->methodAtoms.push_back(InternAtom(context, name));
    klass->call = CallFlashPlayer;
    klass->construct = ConstructFlashPlayer;
    klass->invoke = FlashPlayerInvoke;
    klass->property = FlashPlayerProperty;
    klass->mark = MarkFlashPlayer;
    BindGlobalClass(context, "FlashPlayer", klass);
}

}  // namespace kelpo
