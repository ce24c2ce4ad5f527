// The DataFile class: save, load and remove INI files of script values
// (the format is value_serialise.cpp's). DataFile instances carry no data:
// the methods behave the same on them and on the class object.
#include "corelib/classes.h"

#include <string>

#include "corelib/value_serialise.h"
#include "platform/profile.h"
#include "runtime/class_kit.h"
#include "runtime/native_args.h"

namespace kelpo {
namespace {

enum Method { kLoad, kSave, kRemove };
const MemberRow kMethodNames[] = {
    {"load",
     "load(file) -> Boolean: stores every value saved in the INI file at its path; false "
     "only when file is not a String (a missing file loads nothing)"},
    {"save",
     "save(file, name, ...) -> nothing: writes the named globals, with all they reach, "
     "to the INI file; nothing unless every argument is a String"},
    {"remove", "remove(file) -> nothing: deletes the file"},
};

// save(file, name, ...): nothing unless there are two or more arguments and
// every one is a String; empty names are passed over.
void Save(ScriptContext* context, Value* args) {
    const int64_t count = ArgCount(args);
    if (count < 2) return;
    for (int64_t k = 1; k <= count; ++k) {
        if (args[k].tag != ValueTag::String) return;
    }
    ProfileFile file(StringArg(context, args, 1).c_str());
    for (int64_t k = 2; k <= count; ++k) {
        std::string name = StringArg(context, args, k);
        if (!name.empty()) SaveGlobal(context, &file, name.c_str());
    }
}

Value Load(ScriptContext* context, Value* args) {
    if (!IsStringArg(args, 1)) return MakeBoolean(false);
    ProfileFile file(StringArg(context, args, 1).c_str());
    return MakeBoolean(LoadSections(context, &file));
}

void Remove(ScriptContext* context, Value* args) {
    if (!IsStringArg(args, 1)) return;
    DeleteProfileFile(StringArg(context, args, 1).c_str());
}

int DataFileMethod(ScriptContext* context, NativeClass*, void*, int member, Value* out,
                   Value* args) {
    switch (member) {
        case kLoad: *out = Load(context, args); break;
        case kSave: Save(context, args); break;
        case kRemove: Remove(context, args); break;
    }
    return 1;
}

void ConstructDataFile(ScriptContext* context, NativeClass* klass, Value*, Value* out) {
    *out = BindNative(context, klass, nullptr);
}

void CallDataFile(ScriptContext* context, NativeClass* klass, void*, Value* out, Value* args) {
    ConstructDataFile(context, klass, args, out);
}

const ClassSpec kDataFileClass = {
    .name = "DataFile",
    .text = u"[object DataFile]",
    .about =
        "Saves named global variables, with the objects and arrays they hold, in an INI "
        "file and loads them back; the methods work on the class and on new DataFile()",
    .methods = kMethodNames,
    .method = DataFileMethod,
    .call = CallDataFile,
    .construct = ConstructDataFile,
};

}  // namespace

void RegisterDataFileClass(ScriptContext* context) { DefineClass(context, kDataFileClass); }

}  // namespace kelpo
