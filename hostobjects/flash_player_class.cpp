// The FlashPlayer class object: the control's properties and methods by
// table, the data-binding members, and bound names read as properties.
// While the main frame has no control every method answers Undefined,
// without effect.
#include "hostobjects/flash_player_classes.h"

#include <string>
#include <vector>

#include "hostobjects/flash_player_data.h"
#include "hostobjects/movie_text.h"
#include "hostobjects/player_window.h"
#include "runtime/atoms.h"
#include "runtime/member.h"
#include "runtime/class_kit.h"
#include "runtime/gc.h"
#include "runtime/native_args.h"

namespace kelpo {
namespace {

enum class Kind { Integer, Boolean, Text };

struct ControlProperty {
    const char* control;
    Kind kind;
    bool readOnly;
};

// The script's property names: the control's, in the order of
// kControlProperties, then the window's.
const MemberRow kPropertyNames[] = {
    {"totalFrames", "Integer, read-only: the movie's number of frames"},
    {"playing", "Boolean: whether the movie is playing"},
    {"quality", "Integer: the rendering quality (0 low, 1 high, ...)"},
    {"scaleMode", "Integer: 0 show all, 1 no border, 2 exact fit, 3 no scale"},
    {"alignMode", "Integer: the alignment bits of the movie in the window"},
    {"backgroundColor", "Integer: the background colour (RGB as a number)"},
    {"loop", "Boolean: whether the movie loops"},
    {"movie", "String: the URL or path of the movie; setting it loads another"},
    {"frameNum", "Integer: the current frame; setting it goes there"},
    {"wmode", "String: the window mode (\"Window\", \"Opaque\", \"Transparent\")"},
    {"salign", "String: the alignment as letters (\"LT\", \"RB\" ...)"},
    {"menu", "Boolean: whether the player's context menu is complete"},
    {"base", "String: the base URL for relative paths of the movie"},
    {"scale", "String: the scale mode as text (\"ShowAll\", \"NoBorder\", \"ExactFit\")"},
    {"deviceFont", "Boolean: whether device fonts replace missing ones"},
    {"embedMovie", "Boolean: the control's EmbedMovie property"},
    {"bgColor", "String: the background colour as text"},
    {"quality2", "String: the quality as text (\"Low\", \"High\", \"AutoLow\" ...)"},
    {"SWRemote", "String: the control's SWRemote property"},
    {"flashVars", "String: the variables passed to the movie at start (\"a=1&b=2\")"},
    {"window", "Window, read-only: the player control's window, the same object each time"},
    {"onContextMenu", "Function, write-only: passed on to onContextMenu of the control's window"},
};

const ControlProperty kControlProperties[] = {
    {"TotalFrames", Kind::Integer, true}, {"Playing", Kind::Boolean, false},
    {"Quality", Kind::Integer, false},    {"ScaleMode", Kind::Integer, false},
    {"AlignMode", Kind::Integer, false},  {"BackgroundColor", Kind::Integer, false},
    {"Loop", Kind::Boolean, false},       {"Movie", Kind::Text, false},
    {"FrameNum", Kind::Integer, false},   {"WMode", Kind::Text, false},
    {"SAlign", Kind::Text, false},        {"Menu", Kind::Boolean, false},
    {"Base", Kind::Text, false},          {"Scale", Kind::Text, false},
    {"DeviceFont", Kind::Boolean, false}, {"EmbedMovie", Kind::Boolean, false},
    {"BGColor", Kind::Text, false},       {"Quality2", Kind::Text, false},
    {"SWRemote", Kind::Text, false},      {"FlashVars", Kind::Text, false},
};
constexpr int kControlPropertyCount = sizeof kControlProperties / sizeof kControlProperties[0];

enum WindowProperty { kWindow = kControlPropertyCount, kOnContextMenu, kPropertyCount };
static_assert(kPropertyCount == sizeof kPropertyNames / sizeof kPropertyNames[0],
              "one name per property");

// What a control method's result becomes.
enum class Result {
    Succeeded,        // Boolean: the call succeeded
    Integer,          // the returned number
    FrameOrMinusOne,  // the returned number, -1 when the call failed
    Boolean,          // the returned truth value
    Float,
    Text,
};

// Argument kinds, one letter each: i Integer, s String, n Integer or Float.
struct ControlMethod {
    const char* control;
    const char* arguments;
    Result result;
};

// The script's method names: the control's, in the order of
// kControlMethods, then the data methods.
const MemberRow kMethodNames[] = {
    {"play", "play() -> Boolean: plays the movie; whether the control call succeeded"},
    {"stop", "stop() -> Boolean: stops the movie"},
    {"back", "back() -> Boolean: goes one frame back"},
    {"forward", "forward() -> Boolean: goes one frame forward"},
    {"rewind", "rewind() -> Boolean: goes to the first frame"},
    {"stopPlay", "stopPlay() -> Boolean: stops playing"},
    {"zoom", "zoom(percent) -> Boolean: zooms the view by percent (0: the whole movie)"},
    {"pan", "pan(x, y, mode) -> Boolean: moves a zoomed view by x, y (mode 0 pixels, 1 percent)"},
    {"setZoomRect",
     "setZoomRect(left, top, right, bottom) -> Boolean: zooms to the rectangle, in "
     "twips"},
    {"gotoFrame", "gotoFrame(frame) -> Boolean: goes to the frame (counted from 0)"},
    {"currentFrame", "currentFrame() -> Integer: the current frame; -1 when the call fails"},
    {"isPlaying", "isPlaying() -> Boolean: whether the movie is playing"},
    {"percentLoaded", "percentLoaded() -> Integer: how much of the movie has loaded, 0-100"},
    {"frameLoaded", "frameLoaded(frame) -> Boolean: whether the frame has loaded"},
    {"flashVersion", "flashVersion() -> Integer: the control's version number"},
    {"loadMovie", "loadMovie(layer, url) -> Boolean: loads the movie at url into the layer"},
    {"setVariable",
     "setVariable(name, value) -> Boolean: sets the movie variable name to the text "
     "value"},
    {"getVariable", "getVariable(name) -> String: the text of the movie variable"},
    {"targetGotoFrame",
     "targetGotoFrame(target, frame) -> Boolean: the clip target goes to the "
     "frame"},
    {"targetGotoLabel",
     "targetGotoLabel(target, label) -> Boolean: the clip target goes to the "
     "frame label"},
    {"targetCurrentFrame",
     "targetCurrentFrame(target) -> Integer: the current frame of the clip "
     "target"},
    {"targetCurrentLabel",
     "targetCurrentLabel(target) -> String: the current frame label of the "
     "clip target"},
    {"targetPlay", "targetPlay(target) -> Boolean: plays the clip target"},
    {"targetStopPlay", "targetStopPlay(target) -> Boolean: stops the clip target"},
    {"targetGetProperty",
     "targetGetProperty(target, property) -> String: the clip's property by "
     "number"},
    {"targetSetProperty",
     "targetSetProperty(target, property, value) -> Boolean: sets the clip's "
     "property by number to the text value"},
    {"targetCallFrame",
     "targetCallFrame(target, frame) -> Boolean: runs the actions of the clip's "
     "frame"},
    {"targetCallLabel",
     "targetCallLabel(target, label) -> Boolean: runs the actions of the clip's "
     "labelled frame"},
    {"targetGetPropertyNum",
     "targetGetPropertyNum(target, property) -> Float: the clip's property "
     "by number"},
    {"targetSetPropertyNum",
     "targetSetPropertyNum(target, property, value) -> Boolean: sets the "
     "clip's property by number to the number value"},
    {"bindData",
     "bindData(name, ...) -> nothing: binds the dotted movie variables, which then "
     "read and write as properties here"},
    {"unbindData", "unbindData(name, ...) -> nothing: unbinds the variables"},
    {"unbindAll", "unbindAll() -> nothing: unbinds every variable"},
    {"updateData",
     "updateData([toScript]) -> nothing: reads every bound variable from the movie, "
     "or with a false argument writes them to it"},
    {"getArray",
     "getArray(name) -> Array: the movie array (name.length and name[i]; over 5000 "
     "elements, its text split at commas)"},
    {"putArray", "putArray(name, array) -> nothing: writes each element as name[i] in the movie"},
    {"getObject",
     "getObject(name, member, ...) -> Object: the named members (Strings or Arrays of "
     "them) of the movie object"},
    {"putObject",
     "putObject(name, object) -> nothing: writes the object's Boolean, number, String "
     "and Array properties as name.member"},
    {"movieToWindow",
     "movieToWindow(xMin, xMax, yMin, yMax) -> Object: the movie rectangle as "
     "left, right, top, bottom in client pixels"},
    {"getMovieInfo",
     "getMovieInfo(path) -> Object: frameSize, rate, frameCount and size of a "
     "movie file (or projector); null for other files"},
};

const ControlMethod kControlMethods[] = {
    {"Play", "", Result::Succeeded},
    {"Stop", "", Result::Succeeded},
    {"Back", "", Result::Succeeded},
    {"Forward", "", Result::Succeeded},
    {"Rewind", "", Result::Succeeded},
    {"StopPlay", "", Result::Succeeded},
    {"Zoom", "i", Result::Succeeded},
    {"Pan", "iii", Result::Succeeded},
    {"SetZoomRect", "iiii", Result::Succeeded},
    {"GotoFrame", "i", Result::Succeeded},
    {"CurrentFrame", "", Result::FrameOrMinusOne},
    {"IsPlaying", "", Result::Boolean},
    {"PercentLoaded", "", Result::Integer},
    {"FrameLoaded", "i", Result::Boolean},
    {"FlashVersion", "", Result::Integer},
    {"LoadMovie", "is", Result::Succeeded},
    {"SetVariable", "ss", Result::Succeeded},
    {"GetVariable", "s", Result::Text},
    {"TGotoFrame", "si", Result::Succeeded},
    {"TGotoLabel", "ss", Result::Succeeded},
    {"TCurrentFrame", "s", Result::Integer},
    {"TCurrentLabel", "s", Result::Text},
    {"TPlay", "s", Result::Succeeded},
    {"TStopPlay", "s", Result::Succeeded},
    {"TGetProperty", "si", Result::Text},
    {"TSetProperty", "sis", Result::Succeeded},
    {"TCallFrame", "si", Result::Succeeded},
    {"TCallLabel", "ss", Result::Succeeded},
    {"TGetPropertyNum", "si", Result::Float},
    {"TSetPropertyNum", "sin", Result::Succeeded},
};
constexpr int kControlMethodCount = sizeof kControlMethods / sizeof kControlMethods[0];

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
    kMethodCount
};
static_assert(kMethodCount == sizeof kMethodNames / sizeof kMethodNames[0], "one name per method");

FlashPlayerData* DataOf(NativeClass* klass) {
    return static_cast<FlashPlayerData*>(ClassData(klass));
}

// Argument k as the control's value of a kind letter; false when it is
// missing or has the wrong type.
bool ControlArgument(char kind, const Value* args, int k, ControlValue& out) {
    switch (kind) {
        case 'i':
            if (!IsIntegerArg(args, k)) return false;
            out = ControlValue::OfInteger(static_cast<int32_t>(args[k].integer));
            return true;
        case 'n':
            if (!IsNumberArg(args, k)) return false;
            out = ControlValue::OfFloat(NumberArg(args, k, 0));
            return true;
        case 's':
            if (!IsStringArg(args, k)) return false;
            out = ControlValue::OfText(TextOf(args[k]));
            return true;
        default: return false;
    }
}

Value MethodResult(ScriptContext* context, Result kind, bool succeeded, const ControlValue& value) {
    if (kind == Result::Succeeded) return MakeBoolean(succeeded);
    if (kind == Result::FrameOrMinusOne && !succeeded) return MakeInteger(-1);
    if (!succeeded) return MakeUndefined();
    switch (kind) {
        case Result::Integer:
        case Result::FrameOrMinusOne:
            if (value.kind == ControlValue::Kind::Float)
                return MakeInteger(static_cast<int64_t>(value.number));
            if (value.kind == ControlValue::Kind::Boolean)
                return MakeInteger(value.boolean ? 1 : 0);
            return MakeInteger(value.integer);
        case Result::Boolean:
            return MakeBoolean(value.kind == ControlValue::Kind::Integer ? value.integer != 0
                                                                         : value.boolean);
        case Result::Float:
            if (value.kind == ControlValue::Kind::Integer) return MakeFloat(value.integer);
            return MakeFloat(value.number);
        case Result::Text: return NewText(context, value.text);
        default: return MakeUndefined();
    }
}

void CallControlMethod(ScriptContext* context, const PlayerPort& port, const ControlMethod& method,
                       Value* args, Value* out) {
    std::vector<ControlValue> arguments;
    for (int k = 0; method.arguments[k] != '\0'; ++k) {
        ControlValue argument;
        if (!ControlArgument(method.arguments[k], args, k + 1, argument)) return;
        arguments.push_back(argument);
    }
    ControlValue result;
    bool succeeded = port.call != nullptr && port.call(port.user, method.control, arguments.data(),
                                                       static_cast<int>(arguments.size()), result);
    *out = MethodResult(context, method.result, succeeded, result);
}

// A script value for a control property of the given kind; false when the
// value cannot be one (the assignment is then ignored).
bool PropertyValue(ScriptContext* context, Kind kind, const Value& value, ControlValue& out) {
    switch (kind) {
        case Kind::Integer:
            if (value.tag == ValueTag::Integer)
                out = ControlValue::OfInteger(static_cast<int32_t>(value.integer));
            else if (value.tag == ValueTag::Boolean)
                out = ControlValue::OfInteger(value.boolean);
            else
                return false;
            return true;
        case Kind::Boolean:
            if (value.tag == ValueTag::Boolean)
                out = ControlValue::OfBoolean(value.boolean != 0);
            else if (value.tag == ValueTag::Integer)
                out = ControlValue::OfBoolean(value.integer != 0);
            else
                return false;
            return true;
        case Kind::Text: out = ControlValue::OfText(TextOfValue(context, value)); return true;
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

void AccessControlProperty(ScriptContext* context, const ControlProperty& property, int isSet,
                           Value* io) {
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

int FlashPlayerProperty(ScriptContext* context, NativeClass*, void*, int member, int isSet,
                        Value* io) {
    if (member < kControlPropertyCount) {
        AccessControlProperty(context, kControlProperties[member], isSet, io);
    } else if (member == kWindow) {
        if (!isSet) *io = PlayerWindowValue(context);
    } else if (isSet) {
        // onContextMenu is the player window's own handler.
        Value window = PlayerWindowValue(context);
        if (window.tag == ValueTag::Native)
            WriteMember(context, window, InternAtom(context, "onContextMenu"), *io);
    } else {
        *io = MakeUndefined();
    }
    return 1;
}

// Any other name is a bound variable or a clip path.
int BoundNameProperty(ScriptContext* context, NativeClass* klass, void*, Atom atom, int isSet,
                      Value* io) {
    const std::u16string name = AtomText(context, atom);
    if (isSet) return WriteBinding(DataOf(klass), name, *io) ? 1 : 0;
    return ReadBinding(context, DataOf(klass), name, io) ? 1 : 0;
}

void BindEach(FlashPlayerData* data, Value* args, bool bind) {
    for (int64_t k = 1; k <= ArgCount(args); ++k) {
        if (args[k].tag != ValueTag::String) continue;
        if (bind)
            BindName(data->bindings, TextOf(args[k]));
        else
            UnbindName(data->bindings, TextOf(args[k]));
    }
}

int FlashPlayerMethod(ScriptContext* context, NativeClass* klass, void*, int member, Value* out,
                      Value* args) {
    const PlayerPort* port = CurrentPlayerPort();
    if (port == nullptr) return 1;
    FlashPlayerData* data = DataOf(klass);
    switch (member) {
        case kBindData: BindEach(data, args, true); break;
        case kUnbindData: BindEach(data, args, false); break;
        case kUnbindAll: UnbindAll(data->bindings); break;
        case kGetMovieInfo: GetMovieInfo(context, args, out); break;
        case kUpdateData: UpdateData(context, *port, data, args, out); break;
        case kGetArray: GetArray(context, *port, args, out); break;
        case kPutArray: PutArray(context, *port, args, out); break;
        case kGetObject: GetObject(context, *port, args, out); break;
        case kPutObject: PutObject(context, *port, args, out); break;
        case kMovieToWindow: MovieToWindow(context, *port, args, out); break;
        default: CallControlMethod(context, *port, kControlMethods[member], args, out); break;
    }
    return 1;
}

// Calling or constructing gives a class object.
void CallFlashPlayer(ScriptContext* context, NativeClass* klass, void*, Value* out, Value*) {
    *out = BindNative(context, klass, nullptr);
}

void ConstructFlashPlayer(ScriptContext* context, NativeClass* klass, Value*, Value* out) {
    *out = BindNative(context, klass, nullptr);
}

void MarkFlashPlayer(NativeClass* klass, void*) {
    FlashPlayerData* data = DataOf(klass);
    MarkBindings(data->bindings);
    GcMarkValue(data->movieClipClass);
}

void FreeFlashPlayerData(void* data) { delete static_cast<FlashPlayerData*>(data); }

const MemberRow kBoundNames[] = {
    {"(a bound variable)", "any: the value cached for a variable bound with bindData"},
    {"(a bound clip path)", "MovieClip, read-only: a clip for a path above a bound variable"},
};

const ClassSpec kFlashPlayerClass = {
    .name = "FlashPlayer",
    .text = u"[object FlashPlayer]",
    .about =
        "The main window's Flash Player control: its properties and methods, variables of "
        "the movie bound as properties, and transfers of arrays and objects; without a "
        "control every method does nothing",
    .methods = kMethodNames,
    .method = FlashPlayerMethod,
    .properties = kPropertyNames,
    .property = FlashPlayerProperty,
    .otherProperties = BoundNameProperty,
    .call = CallFlashPlayer,
    .construct = ConstructFlashPlayer,
    .mark = MarkFlashPlayer,
    .otherMembers = kBoundNames,
};

}  // namespace

bool CallPlayerMethodByName(ScriptContext* context, const PlayerPort& port, const char* name,
                            Value* args, Value* out) {
    for (int i = 0; i < kControlMethodCount; ++i) {
        if (std::string(kMethodNames[i].name) != name) continue;
        CallControlMethod(context, port, kControlMethods[i], args, out);
        return true;
    }
    return false;
}

FlashPlayerData* FlashPlayerDataOf(NativeClass* klass) {
    return static_cast<FlashPlayerData*>(ClassDataOf(klass, kFlashPlayerClass));
}

void RegisterFlashPlayerClass(ScriptContext* context) {
    DefineClass(context, kFlashPlayerClass, new FlashPlayerData, FreeFlashPlayerData);
}

}  // namespace kelpo
