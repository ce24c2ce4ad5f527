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

// One row per member: its name and what it does, for the class's pages.
struct Member {
    const char* name;
    const char* text;
};

enum Method { kMsgBox, kFileOpen, kFileSave, kChooseColor, kChooseFont, kBrowse };
const Member kMethods[] = {
    {"msgBox",
     "msgBox([text [, caption [, type]]]): shows a message box (caption \"Qantor\" by default, "
     "type the MB_ flags, default 0) and answers the id of the button pressed"},
    {"fileOpen",
     "fileOpen([filter [, title [, file [, multiSelect]]]]): the File Open dialog; filter "
     "\"Name|pattern|Name|pattern\"; answers the path, with multiSelect true an Array (the "
     "folder, then the names; or one full path), false when cancelled"},
    {"fileSave",
     "fileSave([filter [, title [, file [, flags]]]]): the Save As dialog, the OFN_ flags added "
     "to its own; answers the path, false when cancelled"},
    {"chooseColor",
     "chooseColor([colour]): the colour dialog, starting at the 0xRRGGBB colour; answers the "
     "chosen colour as 0xRRGGBB, false when cancelled"},
    {"chooseFont",
     "chooseFont([font]): the font dialog, starting at the FontObject; answers a new "
     "FontObject, Null when cancelled"},
    {"browse",
     "browse([title [, folder [, computers]]]): the folder browser, starting at the folder "
     "(computers true: browses for a computer); answers the chosen folder's path, false when "
     "cancelled or when the choice has no path"},
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
    .methods = kMethods,
    .method = DialogsMethod,
};

}  // namespace

void RegisterDialogsClass(ScriptContext* context) { DefineClass(context, kDialogsClass); }

}  // namespace kelpo
