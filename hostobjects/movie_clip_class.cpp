// MovieClip: one dotted target path inside the movie. Its properties are
// the bound variables and clip paths below that path; it has no methods of
// its own besides toString.
#include <string>

#include "hostobjects/flash_player_classes.h"
#include "hostobjects/flash_player_data.h"
#include "hostobjects/movie_text.h"
#include "runtime/atoms.h"
#include "runtime/convert.h"
#include "runtime/gc.h"

namespace kelpo {
namespace {

// The MovieClip class data: the FlashPlayer class object whose bindings
// clips read, kept alive from here.
struct MovieClipData {
    Value flashPlayer;
};

FlashPlayerData* BindingsOf(NativeClass* klass) {
    const Value& player = static_cast<MovieClipData*>(klass->data)->flashPlayer;
    if (player.tag != ValueTag::Native) return nullptr;
    return FlashPlayerDataOf(player.native->klass);
}

std::u16string FullName(ScriptContext* context, void* data, Atom atom) {
    return *static_cast<std::u16string*>(data) + u'.' + AtomText(context, atom);
}

int MovieClipProperty(ScriptContext* context, NativeClass* klass, void* data, Atom atom, int isSet, Value* io) {
    FlashPlayerData* bindings = BindingsOf(klass);
    if (data == nullptr || bindings == nullptr) return 0;
    const std::u16string name = FullName(context, data, atom);
    if (isSet) return WriteBinding(bindings, name, *io) ? 1 : 0;
    return ReadBinding(context, bindings, name, io) ? 1 : 0;
}

int MovieClipInvoke(ScriptContext* context, NativeClass* klass, void* data, Atom method, Value* out, Value*) {
    if (method == kAtomToString) {
        *out = StaticText(context, u"[object MovieClip]");
        return 1;
    }
    if (method == kAtomValueOf) {
        FlashPlayerData* bindings = BindingsOf(klass);
        *out = data != nullptr && bindings != nullptr
                   ? NewMovieClip(context, bindings, *static_cast<std::u16string*>(data))
                   : context->atomValues[InternAtom(context, "MovieClip")];
        return 1;
    }
    return 0;
}

Value MakeClip(ScriptContext* context, NativeClass* klass, const std::u16string& path) {
    return BindNative(context, klass, new std::u16string(path));
}

// new MovieClip("a.b") stands for that path; without a path it is the
// class object, as a call is.
void ConstructMovieClip(ScriptContext* context, NativeClass* klass, Value* args, Value* out) {
    if (HasArg(args, 1) && args[1].tag == ValueTag::String) {
        *out = MakeClip(context, klass, TextOf(args[1]));
        return;
    }
    *out = BindNative(context, klass, nullptr);
}

void CallMovieClip(ScriptContext* context, NativeClass* klass, void*, Value* out, Value*) {
    *out = BindNative(context, klass, nullptr);
}

void FinalizeMovieClip(NativeClass*, void* data) { delete static_cast<std::u16string*>(data); }

void MarkMovieClipClass(NativeClass* klass, void*) {
    GcMarkValue(static_cast<MovieClipData*>(klass->data)->flashPlayer);
}

void FreeMovieClipData(void* data) {
    auto* clipData = static_cast<MovieClipData*>(data);
    delete clipData;
}

}  // namespace

Value NewMovieClip(ScriptContext* context, FlashPlayerData* data, const std::u16string& path) {
    const Value& clipClass = data->movieClipClass;
    if (clipClass.tag != ValueTag::Native || clipClass.native->klass == nullptr) return MakeUndefined();
    return MakeClip(context, clipClass.native->klass, path);
}

void RegisterMovieClipClass(ScriptContext* context) {
    NativeClass* klass = NewNativeClass(context);
    auto* data = new MovieClipData{context->atomValues[InternAtom(context, "FlashPlayer")]};
    klass->data = data;
    klass->freeData = FreeMovieClipData;
    klass->call = CallMovieClip;
    klass->construct = ConstructMovieClip;
    klass->invoke = MovieClipInvoke;
    klass->property = MovieClipProperty;
    klass->finalize = FinalizeMovieClip;
    klass->mark = MarkMovieClipClass;
    BindGlobalClass(context, "MovieClip", klass);
    if (FlashPlayerData* bindings = BindingsOf(klass)) {
        bindings->movieClipClass = context->atomValues[InternAtom(context, "MovieClip")];
    }
}

}  // namespace kelpo
