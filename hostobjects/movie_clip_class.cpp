// MovieClip: one dotted target path inside the movie. Its properties are
// the bound variables and clip paths below that path; its only methods are
// toString and valueOf.
#include <string>

#include "hostobjects/flash_player_classes.h"
#include "hostobjects/flash_player_data.h"
#include "hostobjects/movie_text.h"
#include "runtime/class_kit.h"
#include "runtime/gc.h"
#include "runtime/native_args.h"

namespace kelpo {
namespace {

// The MovieClip class data: the FlashPlayer class object whose bindings
// clips read, kept alive from here.
struct MovieClipData {
    Value flashPlayer;
};

// The one method of the table: valueOf does not answer the clip itself.
const MemberRow kMethodNames[] = {
    {"valueOf", "valueOf() -> MovieClip: a new clip of the same path"},
};
const MemberRow kOtherMembers[] = {
    {"(a bound variable below the path)",
     "any: the cached value of FlashPlayer's bound variable "
     "path.name"},
};

FlashPlayerData* BindingsOf(NativeClass* klass) {
    const Value& player = static_cast<MovieClipData*>(ClassData(klass))->flashPlayer;
    if (player.tag != ValueTag::Native) return nullptr;
    return FlashPlayerDataOf(player.native->klass);
}

// A clip's data is its path; a class object's is null.
const std::u16string* PathOf(void* data) { return static_cast<std::u16string*>(data); }

int MovieClipProperty(ScriptContext* context, NativeClass* klass, void* data, Atom atom, int isSet,
                      Value* io) {
    FlashPlayerData* bindings = BindingsOf(klass);
    if (data == nullptr || bindings == nullptr) return 0;
    const std::u16string name = *PathOf(data) + u'.' + AtomText(context, atom);
    if (isSet) return WriteBinding(bindings, name, *io) ? 1 : 0;
    return ReadBinding(context, bindings, name, io) ? 1 : 0;
}

// valueOf of a clip is a new clip of the same path (so never the clip
// itself); of a class object, the global MovieClip.
int MovieClipMethod(ScriptContext* context, NativeClass* klass, void* data, int, Value* out,
                    Value*) {
    FlashPlayerData* bindings = BindingsOf(klass);
    *out = data != nullptr && bindings != nullptr ? NewMovieClip(context, bindings, *PathOf(data))
                                                  : GetGlobal(context, "MovieClip");
    return 1;
}

Value MakeClip(ScriptContext* context, NativeClass* klass, const std::u16string& path) {
    return BindNative(context, klass, new std::u16string(path));
}

// new MovieClip("a.b") stands for that path; without a path it is the
// class object, as a call is.
void ConstructMovieClip(ScriptContext* context, NativeClass* klass, Value* args, Value* out) {
    *out = IsStringArg(args, 1) ? MakeClip(context, klass, TextOf(args[1]))
                                : BindNative(context, klass, nullptr);
}

void CallMovieClip(ScriptContext* context, NativeClass* klass, void*, Value* out, Value*) {
    *out = BindNative(context, klass, nullptr);
}

void FinalizeMovieClip(NativeClass*, void* data) { delete PathOf(data); }

void MarkMovieClipClass(NativeClass* klass, void*) {
    GcMarkValue(static_cast<MovieClipData*>(ClassData(klass))->flashPlayer);
}

void FreeMovieClipData(void* data) { delete static_cast<MovieClipData*>(data); }

const ClassSpec kMovieClipClass = {
    .name = "MovieClip",
    .text = u"[object MovieClip]",
    .about =
        "A dotted target path inside the movie (new MovieClip(\"a.b\")), through which the "
        "variables bound below that path read and write as properties",
    .methods = kMethodNames,
    .method = MovieClipMethod,
    .otherProperties = MovieClipProperty,
    .call = CallMovieClip,
    .construct = ConstructMovieClip,
    .finalize = FinalizeMovieClip,
    .mark = MarkMovieClipClass,
    .otherMembers = kOtherMembers,
};

}  // namespace

Value NewMovieClip(ScriptContext* context, FlashPlayerData* data, const std::u16string& path) {
    const Value& clipClass = data->movieClipClass;
    if (clipClass.tag != ValueTag::Native || clipClass.native->klass == nullptr)
        return MakeUndefined();
    return MakeClip(context, clipClass.native->klass, path);
}

void RegisterMovieClipClass(ScriptContext* context) {
    auto* data = new MovieClipData{GetGlobal(context, "FlashPlayer")};
    NativeClass* klass = DefineClass(context, kMovieClipClass, data, FreeMovieClipData);
    if (FlashPlayerData* bindings = BindingsOf(klass)) {
        bindings->movieClipClass = GetGlobal(context, "MovieClip");
    }
}

}  // namespace kelpo
