// The URLShortcut class (Windows only): an Internet shortcut file (.url)
// read and written through the shell's Internet shortcut object.
// `new URLShortcut(path)` loads the file when it exists; `url` reads and
// changes the address, and save() writes it back to the same file.
#include <windows.h>
// windows.h first: the COM headers build on it.
#include <objbase.h>
// intshcut.h uses objbase.h's interface macros.
#include <intshcut.h>

#include <string>

#include "runtime/class_kit.h"
#include "runtime/convert.h"
#include "runtime/native_args.h"
#include "runtime/strings.h"
#include "syslib/classes.h"
#include "syslib/shell_link_win32.h"

namespace kelpo {
namespace {

enum Method { kSave };
const MemberRow kMethods[] = {
    {"save", "save() -> Boolean: writes the shortcut to its file; whether it was written"},
};
enum Property { kUrl };
const MemberRow kProperties[] = {
    {"url", "String: the address the shortcut opens; undefined while it has none"},
};

const CLSID kInternetShortcutClass = {
    0xFBF23B40, 0xE3F0, 0x101B, {0x84, 0x88, 0x00, 0xAA, 0x00, 0x3E, 0x56, 0xF8}};
const IID kUniformResourceLocatorA = {
    0xFBF23B80, 0xE3F0, 0x101B, {0x84, 0x88, 0x00, 0xAA, 0x00, 0x3E, 0x56, 0xF8}};

// Addresses longer than this are refused (browsers stop near it too).
constexpr size_t kMaxUrl = 65535;

IUniformResourceLocatorA* LocatorOf(void* data) {
    auto* record = static_cast<ShellLinkRecord*>(data);
    return record != nullptr ? static_cast<IUniformResourceLocatorA*>(record->object) : nullptr;
}

Value ReadUrl(ScriptContext* context, IUniformResourceLocatorA* locator) {
    char* url = nullptr;
    // S_FALSE and no text: the shortcut has no address yet.
    if (locator->GetURL(&url) != S_OK || url == nullptr) {
        if (url != nullptr) CoTaskMemFree(url);
        return MakeUndefined();
    }
    const Value text = NewStringFromCString(context, url);
    CoTaskMemFree(url);
    return text;
}

int UrlShortcutProperty(ScriptContext* context, NativeClass*, void* data, int member, int isSet,
                        Value* io) {
    IUniformResourceLocatorA* locator = LocatorOf(data);
    if (locator == nullptr) return 0;
    if (member != kUrl) return 1;
    if (!isSet) {
        *io = ReadUrl(context, locator);
        return 1;
    }
    std::string url;
    // A text without a scheme gets the default one ("http://").
    if (BoundedAnsi(context, ToString(context, *io), kMaxUrl, url))
        locator->SetURL(url.c_str(), IURL_SETURL_FL_USE_DEFAULT_PROTOCOL);
    return 1;
}

int UrlShortcutMethod(ScriptContext*, NativeClass*, void* data, int member, Value* out, Value*) {
    if (LocatorOf(data) == nullptr) return 0;  // not on the class object
    if (member == kSave) *out = MakeBoolean(SaveShellLink(static_cast<ShellLinkRecord*>(data)));
    return 1;
}

// new URLShortcut(path): Null for a missing or non-String path or when the
// shell's Internet shortcut object cannot be made.
void ConstructUrlShortcut(ScriptContext* context, NativeClass* klass, Value* args, Value* out) {
    bool loaded = false;
    NewShellLink(context, klass, args, kInternetShortcutClass, kUniformResourceLocatorA, out,
                 &loaded);
}

const ClassSpec kUrlShortcutClass = {
    .name = "URLShortcut",
    .text = u"[object URLShortcut]",
    .about =
        "An Internet shortcut (.url) file: new URLShortcut(path) loads it (empty when the "
        "file does not exist yet); set url and save()",
    .methods = kMethods,
    .method = UrlShortcutMethod,
    .properties = kProperties,
    .property = UrlShortcutProperty,
    .construct = ConstructUrlShortcut,
    .finalize = FinalizeShellLink,
    .instanceSize = sizeof(ShellLinkRecord),
};

}  // namespace

void RegisterUrlShortcutClass(ScriptContext* context) { DefineClass(context, kUrlShortcutClass); }

}  // namespace kelpo
