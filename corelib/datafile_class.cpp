// The DataFile class: save, load and remove INI files of script values
// (the format is value_serialise.cpp's). DataFile instances carry no data:
// the methods behave the same on them and on the class object.
#include "corelib/classes.h"

#include <string>

#include "corelib/value_serialise.h"
#include "platform/profile.h"
#include "runtime/atoms.h"
#include "runtime/convert.h"
#include "runtime/native.h"
#include "runtime/strings.h"

namespace kelpo {
namespace {

enum Member { kLoad, kSave, kRemove, kMemberCount };
const char* const kNames[kMemberCount] = {"load", "save", "remove"};

int MemberOf(NativeClass* klass, Atom atom) {
    const Atom* atoms = static_cast<const Atom*>(klass->data);
    for (int i = 0; i < kMemberCount; ++i) {
        if (atoms[i] == atom) return i;
    }
    return -1;
}

std::string AnsiOf(ScriptContext* context, const Value& string) {
    char* text = StringToAnsi(context, string);
    std::string copy(text);
    ContextFree(text);
    return copy;
}

// save(file, name, ...): nothing unless there are two or more arguments and
// every one is a String; empty names are passed over.
void Save(ScriptContext* context, Value* args) {
    const int64_t count = ArgCount(args);
    if (count < 2) return;
    for (int64_t k = 1; k <= count; ++k) {
        if (args[k].tag != ValueTag::String) return;
    }
    ProfileFile file(AnsiOf(context, args[1]).c_str());
    for (int64_t k = 2; k <= count; ++k) {
        std::string name = AnsiOf(context, args[k]);
        if (!name.empty()) SaveGlobal(context, &file, name.c_str());
    }
}

Value Load(ScriptContext* context, Value* args) {
    if (!HasArg(args, 1) || args[1].tag != ValueTag::String) return MakeBoolean(false);
    ProfileFile file(AnsiOf(context, args[1]).c_str());
    return MakeBoolean(LoadSections(context, &file));
}

void Remove(ScriptContext* context, Value* args) {
    if (!HasArg(args, 1) || args[1].tag != ValueTag::String) return;
    DeleteProfileFile(AnsiOf(context, args[1]).c_str());
}

int DataFileInvoke(ScriptContext* context, NativeClass* klass, void*, Atom method, Value* out,
                   Value* args) {
    *out = MakeUndefined();
    if (method == kAtomToString) {
        *out = StaticText(context, u"[object DataFile]");
        return 1;
    }
    if (method == kAtomValueOf) {
        *out = context->atomValues[InternAtom(context, "DataFile")];
        return 1;
    }
    switch (MemberOf(klass, method)) {
        case kLoad: *out = Load(context, args); return 1;
        case kSave: Save(context, args); return 1;
        case kRemove: Remove(context, args); return 1;
        default: return 0;
    }
}

void ConstructDataFile(ScriptContext* context, NativeClass* klass, Value*, Value* out) {
    *out = BindNative(context, klass, nullptr);
}

void CallDataFile(ScriptContext* context, NativeClass* klass, void*, Value* out, Value* args) {
    ConstructDataFile(context, klass, args, out);
}

void FreeMemberAtoms(void* data) { ContextFree(data); }

}  // namespace

void RegisterDataFileClass(ScriptContext* context) {
    NativeClass* klass = NewNativeClass(context);
    auto* atoms = static_cast<Atom*>(ContextCalloc(context, kMemberCount, sizeof(Atom)));
    klass->data = atoms;
    klass->freeData = FreeMemberAtoms;
    for (int i = 0; i < kMemberCount; ++i) atoms[i] = InternAtom(context, kNames[i]);
    klass->call = CallDataFile;
    klass->construct = ConstructDataFile;
    klass->invoke = DataFileInvoke;
    BindGlobalClass(context, "DataFile", klass);
}

}  // namespace kelpo
