// The Shortcut class (Windows only): a shell link file (.lnk) read and
// written through the shell's link object. `new Shortcut(path)` loads the
// file when it exists (a new file starts as an empty link); the properties
// read and change the link, and save() writes it back to the same file.
#include <windows.h>
// windows.h first: the shell headers build on it.
#include <shlobj.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "runtime/class_kit.h"
#include "runtime/convert.h"
#include "runtime/native_args.h"
#include "runtime/strings.h"
#include "syslib/classes.h"
#include "syslib/hot_key_text_win32.h"
#include "syslib/shell_link_win32.h"

namespace kelpo {
namespace {

enum Method { kSave };
const MemberRow kMethods[] = {
    {"save", "save() -> Boolean: writes the link to its file; whether it was written"},
};

enum Property {
    kArguments,
    kDescription,
    kFullName,
    kHotKey,
    kIconLocation,
    kTargetPath,
    kWindowStyle,
    kWorkingDirectory
};
const MemberRow kProperties[] = {
    {"arguments", "String: the command-line arguments given to the target"},
    {"description", "String: the link's comment"},
    {"fullName", "String, read-only: the full path of the link file"},
    {"hotKey", "String: the hot key as text, \"CTRL+ALT+F5\"; \"None\" when it has none"},
    {"iconLocation", "String: the icon file, a comma and the icon's index, \"app.exe,0\""},
    {"targetPath", "String: the path of the file or folder the link points at"},
    {"windowStyle", "Integer: how the target's window is shown (an SW_ value)"},
    {"workingDirectory", "String: the folder the target starts in"},
};

const CLSID kShellLinkClass = {
    0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kShellLinkA = {
    0x000214EE, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// Arguments are long command lines; the other texts of a link are paths
// or comments the shell keeps to about MAX_PATH.
constexpr int kArgumentsBuffer = 4096;
constexpr size_t kMaxArguments = kArgumentsBuffer - 1;
constexpr size_t kMaxLinkText = 1023;

IShellLinkA* LinkOf(void* data) {
    auto* record = static_cast<ShellLinkRecord*>(data);
    return record != nullptr ? static_cast<IShellLinkA*>(record->object) : nullptr;
}

// A text the link answers into a buffer of `size` bytes; empty on failure.
template <class Get>
Value LinkText(ScriptContext* context, int size, Get get) {
    std::vector<char> text(static_cast<size_t>(size) + 1, '\0');
    if (FAILED(get(text.data(), size))) return AnsiString(context, std::string());
    text[static_cast<size_t>(size)] = '\0';
    return NewStringFromCString(context, text.data());
}

Value TargetPath(ScriptContext* context, IShellLinkA* link) {
    LPITEMIDLIST list = nullptr;
    char path[MAX_PATH] = {};
    if (SUCCEEDED(link->GetIDList(&list)) && list != nullptr) {
        if (!SHGetPathFromIDListA(list, path)) path[0] = '\0';
        CoTaskMemFree(list);
    }
    return NewStringFromCString(context, path);
}

Value IconLocation(ScriptContext* context, IShellLinkA* link) {
    char path[MAX_PATH + 1] = {};
    int index = 0;
    if (FAILED(link->GetIconLocation(path, MAX_PATH, &index))) path[0] = '\0';
    return AnsiString(context, std::string(path) + "," + std::to_string(index));
}

// "path,index". Split at the last comma, so that a path holding commas
// comes back as it was read; a text without a comma is a path with index 0.
void SetIconLocation(IShellLinkA* link, const std::string& text) {
    const size_t comma = text.rfind(',');
    if (comma == std::string::npos) {
        link->SetIconLocation(text.c_str(), 0);
        return;
    }
    const std::string path = text.substr(0, comma);
    const int index = static_cast<int>(std::strtol(text.c_str() + comma + 1, nullptr, 10));
    link->SetIconLocation(path.c_str(), index);
}

Value ReadLink(ScriptContext* context, ShellLinkRecord* record, IShellLinkA* link, int member) {
    switch (member) {
        case kArguments:
            return LinkText(context, kArgumentsBuffer,
                            [&](char* text, int size) { return link->GetArguments(text, size); });
        case kDescription:
            return LinkText(context, INFOTIPSIZE,
                            [&](char* text, int size) { return link->GetDescription(text, size); });
        case kFullName: return AnsiString(context, *record->path);
        case kHotKey: {
            WORD hotKey = 0;
            if (FAILED(link->GetHotkey(&hotKey))) hotKey = 0;
            return AnsiString(context, HotKeyText(hotKey));
        }
        case kIconLocation: return IconLocation(context, link);
        case kTargetPath: return TargetPath(context, link);
        case kWindowStyle: {
            int show = 0;
            if (FAILED(link->GetShowCmd(&show))) show = 0;
            return MakeInteger(show);
        }
        case kWorkingDirectory:
            return LinkText(context, MAX_PATH, [&](char* text, int size) {
                return link->GetWorkingDirectory(text, size);
            });
    }
    return MakeUndefined();
}

// A written value as text; false when it is longer than the link keeps
// (the write is then ignored rather than stored cut short).
bool TextOf(ScriptContext* context, const Value& value, size_t limit, std::string* text) {
    return BoundedAnsi(context, ToString(context, value), limit, *text);
}

void WriteLink(ScriptContext* context, IShellLinkA* link, int member, const Value& value) {
    std::string text;
    switch (member) {
        case kArguments:
            if (TextOf(context, value, kMaxArguments, &text)) link->SetArguments(text.c_str());
            break;
        case kDescription:
            if (TextOf(context, value, kMaxLinkText, &text)) link->SetDescription(text.c_str());
            break;
        case kFullName: break;
        case kHotKey: {
            WORD hotKey = 0;
            if (TextOf(context, value, kMaxLinkText, &text) && ParseHotKeyText(text, &hotKey))
                link->SetHotkey(hotKey);
            break;
        }
        case kIconLocation:
            if (TextOf(context, value, kMaxLinkText, &text)) SetIconLocation(link, text);
            break;
        case kTargetPath:
            if (TextOf(context, value, kMaxPathText, &text)) link->SetPath(text.c_str());
            break;
        case kWindowStyle:
            if (value.tag == ValueTag::Integer && value.integer >= INT32_MIN &&
                value.integer <= INT32_MAX)
                link->SetShowCmd(static_cast<int>(value.integer));
            break;
        case kWorkingDirectory:
            if (TextOf(context, value, kMaxPathText, &text))
                link->SetWorkingDirectory(text.c_str());
            break;
    }
}

int ShortcutProperty(ScriptContext* context, NativeClass*, void* data, int member, int isSet,
                     Value* io) {
    IShellLinkA* link = LinkOf(data);
    if (link == nullptr) return 0;
    if (isSet)
        WriteLink(context, link, member, *io);
    else
        *io = ReadLink(context, static_cast<ShellLinkRecord*>(data), link, member);
    return 1;
}

int ShortcutMethod(ScriptContext*, NativeClass*, void* data, int member, Value* out, Value*) {
    if (LinkOf(data) == nullptr) return 0;  // not on the class object
    if (member == kSave) *out = MakeBoolean(SaveShellLink(static_cast<ShellLinkRecord*>(data)));
    return 1;
}

// new Shortcut(path): Null for a missing or non-String path or when the
// shell's link object cannot be made.
void ConstructShortcut(ScriptContext* context, NativeClass* klass, Value* args, Value* out) {
    bool loaded = false;
    ShellLinkRecord* record =
        NewShellLink(context, klass, args, kShellLinkClass, kShellLinkA, out, &loaded);
    if (record == nullptr || !loaded) return;
    // Finds the target again when it has moved, without asking the user
    // (no window exists to ask from; the search gives up after a second)
    // and without rewriting the file.
    LinkOf(record)->Resolve(nullptr, SLR_ANY_MATCH | SLR_NO_UI | (1000u << 16));
}

const ClassSpec kShortcutClass = {
    .name = "Shortcut",
    .text = u"[object Shortcut]",
    .about =
        "A shell link (.lnk) file: new Shortcut(path) loads it (an empty link when the file "
        "does not exist yet; null without a String path); set its properties and save()",
    .methods = kMethods,
    .method = ShortcutMethod,
    .properties = kProperties,
    .property = ShortcutProperty,
    .construct = ConstructShortcut,
    .finalize = FinalizeShellLink,
    .instanceSize = sizeof(ShellLinkRecord),
};

}  // namespace

void RegisterShortcutClass(ScriptContext* context) { DefineClass(context, kShortcutClass); }

}  // namespace kelpo
