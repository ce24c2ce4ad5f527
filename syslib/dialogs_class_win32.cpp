// The Dialogs class (Windows only): the message box and the common dialogs,
// used through the class object. Every dialog is owned by the host's main
// window (none in the command-line tool); the dialogs themselves are in
// common_dialogs_win32.cpp and folder_browse_win32.cpp.
#include <windows.h>

#include <string>

#include "runtime/class_kit.h"
#include "runtime/native_args.h"
#include "syslib/classes.h"
#include "syslib/dialogs_win32.h"
#include "syslib/host_window_win32.h"

namespace kelpo {
namespace {

enum Method { kMsgBox, kFileOpen, kFileSave, kChooseColor, kChooseFont, kBrowse };
const MemberRow kMethods[] = {
    {"msgBox",
     "msgBox([text [, caption [, type]]]) -> Integer: shows a message box (type the MB_ "
     "flags; the projector's caption when none is given); the id of the button pressed"},
    {"fileOpen",
     "fileOpen([filter [, title [, file [, multiSelect]]]]) -> String: the File Open "
     "dialog (filter \"Name|pattern|...\"); the path, with multiSelect an Array "
     "(folder, then names); false when cancelled"},
    {"fileSave",
     "fileSave([filter [, title [, file [, flags]]]]) -> String: the Save As dialog, "
     "with extra OFN_ flags; the path, false when cancelled"},
    {"chooseColor",
     "chooseColor([colour]) -> Integer: the colour dialog starting at 0xRRGGBB; the "
     "chosen colour, false when cancelled"},
    {"chooseFont",
     "chooseFont([font]) -> FontObject: the font dialog starting at the FontObject; "
     "a new FontObject, null when cancelled"},
    {"browse",
     "browse([title [, folder [, computers]]]) -> String: the folder browser (for "
     "computers when true); the chosen path, false when cancelled or without a path"},
};

// Message texts are cut at 64 KB, captions at 1 KB: longer ones show no
// more and would only cost the conversion.
constexpr size_t kMaxMessageText = 65535;
constexpr size_t kMaxCaptionText = 1024;

// An argument given as Undefined counts as missing.
bool Given(const Value* args, int k) {
    return HasArg(args, k) && args[k].tag != ValueTag::Undefined;
}

Value MessageBoxOf(ScriptContext* context, Value* args) {
    const std::string text = Given(args, 1) ? AnsiOfValue(context, args[1], kMaxMessageText) : "";
    const std::string caption =
        Given(args, 2) ? AnsiOfValue(context, args[2], kMaxCaptionText) : "Qantor";
    const UINT type = static_cast<UINT>(IntegerArg(args, 3, 0));
    return MakeInteger(MessageBoxA(SyslibMainWindow(), text.c_str(), caption.c_str(), type));
}

int DialogsMethod(ScriptContext* context, NativeClass*, void*, int member, Value* out,
                  Value* args) {
    switch (member) {
        case kMsgBox: *out = MessageBoxOf(context, args); break;
        case kFileOpen: *out = FileOpenDialog(context, args); break;
        case kFileSave: *out = FileSaveDialog(context, args); break;
        case kChooseColor: *out = ColorDialog(context, args); break;
        case kChooseFont: *out = FontDialog(context, args); break;
        case kBrowse: *out = BrowseForFolder(context, args); break;
    }
    return 1;
}

const ClassSpec kDialogsClass = {
    .name = "Dialogs",
    .text = u"[object Dialogs]",
    .about =
        "The message box and the common dialogs (open, save, colour, font, folder), owned by "
        "the main window; the methods are the class's own",
    .methods = kMethods,
    .method = DialogsMethod,
};

}  // namespace

void RegisterDialogsClass(ScriptContext* context) { DefineClass(context, kDialogsClass); }

}  // namespace kelpo
