// Shell link objects bound to files. COM is started on the calling thread
// when a link is made before anyone started it; a thread that already runs
// COM keeps its apartment model (the shell's link objects live in either).
#include "syslib/shell_link_win32.h"

#include <new>

#include "runtime/native_args.h"

namespace kelpo {
namespace {

// Makes the object; when COM has not been started on this thread yet, it
// is started (apartment-threaded, as the shell's objects want) and the
// call repeated. COM stays started for the rest of the thread's life.
HRESULT CreateObject(REFCLSID clsid, REFIID iid, IUnknown** object) {
    HRESULT result = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid,
                                      reinterpret_cast<void**>(object));
    if (result != CO_E_NOTINITIALIZED) return result;
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return result;
    return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid,
                            reinterpret_cast<void**>(object));
}

bool LoadFrom(IUnknown* object, const std::string& path) {
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
    IPersistFile* file = nullptr;
    if (FAILED(object->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))))
        return false;
    const std::wstring wide = WideOfAnsi(path);
    const bool loaded = SUCCEEDED(file->Load(wide.c_str(), STGM_READ));
    file->Release();
    return loaded;
}

}  // namespace

std::wstring WideOfAnsi(const std::string& text) {
    if (text.empty()) return std::wstring();
    const int size =
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (size <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], size);
    return wide;
}

ShellLinkRecord* NewShellLink(ScriptContext* context, NativeClass* klass, Value* args,
                              REFCLSID clsid, REFIID iid, Value* out, bool* loaded) {
    *out = MakeNull();
    *loaded = false;
    std::string path;
    if (!HasArg(args, 1) || !BoundedAnsi(context, args[1], kMaxPathText, path) || path.empty())
        return nullptr;
    char full[MAX_PATH];
    const DWORD size = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    if (size == 0 || size >= MAX_PATH) return nullptr;
    // The instance first: making it may raise (out of memory), which must
    // not leave a COM object or a path behind. Its finalize takes the
    // empty record too.
    Value made;
    auto* record = NewInstanceOf<ShellLinkRecord>(context, klass, &made);
    record->path = new (std::nothrow) std::string(full, size);
    if (record->path == nullptr || FAILED(CreateObject(clsid, iid, &record->object)) ||
        record->object == nullptr) {
        record->object = nullptr;
        return nullptr;
    }
    // A file that does not exist yet (or cannot be read) leaves an empty
    // link, which save then writes.
    *loaded = LoadFrom(record->object, *record->path);
    *out = made;
    return record;
}

bool SaveShellLink(ShellLinkRecord* record) {
    IPersistFile* file = nullptr;
    if (FAILED(record->object->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))))
        return false;
    const std::wstring wide = WideOfAnsi(*record->path);
    const bool saved = SUCCEEDED(file->Save(wide.c_str(), TRUE));
    file->Release();
    return saved;
}

void FinalizeShellLink(NativeClass*, void* data) {
    auto* record = static_cast<ShellLinkRecord*>(data);
    if (record == nullptr) return;
    if (record->object != nullptr) record->object->Release();
    record->object = nullptr;
    delete record->path;
    record->path = nullptr;
}

}  // namespace kelpo
