// The test container: the DLL loader, the site, the event sink and the
// dispatch helpers.
#include "tests/unit/player_control/control_harness.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace kelpo::test {

const CLSID kControlClassId = {
    0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const IID kEventsInterfaceId = {
    0xD27CDB6D, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

namespace {

bool scratchUsed = false;         // the scratch folder exists
ControlDll* loadedDll = nullptr;  // freed before the folder goes
void RemoveScratchFolder();

// OLE for the whole test program, on its one thread; the scratch folder
// goes when the tests end.
class OleEnvironment : public testing::Environment {
public:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
    void TearDown() override {
        OleUninitialize();
        RemoveScratchFolder();
    }
};
testing::Environment* const kOle = testing::AddGlobalTestEnvironment(new OleEnvironment);

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

const wchar_t kHostClass[] = L"KelpoControlTestHost";

// One host window serves every control, resized for each: destroying a
// window under Wine's X11 driver waits seconds for the display server.
HWND HostWindow(int width, int height) {
    static HWND window = nullptr;
    if (!window) {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kHostClass;
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        RegisterClassW(&windowClass);
        window = CreateWindowW(kHostClass, L"control test", WS_POPUP | WS_CLIPCHILDREN, 0, 0, width,
                               height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ShowWindow(window, SW_SHOW);
    }
    SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    UpdateWindow(window);
    return window;
}

}  // namespace

// ---- Variant --------------------------------------------------------------

Variant::Variant(const wchar_t* text) {
    VariantInit(&value_);
    value_.vt = VT_BSTR;
    value_.bstrVal = SysAllocString(text);
}

Variant::Variant(long number) {
    VariantInit(&value_);
    value_.vt = VT_I4;
    value_.lVal = number;
}

Variant::Variant(double number) {
    VariantInit(&value_);
    value_.vt = VT_R8;
    value_.dblVal = number;
}

Variant Variant::Bool(bool flag) {
    Variant v;
    v.value_.vt = VT_BOOL;
    v.value_.boolVal = flag ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

Variant::Variant(const Variant& other) {
    VariantInit(&value_);
    VariantCopy(&value_, const_cast<VARIANT*>(&other.value_));
}

Variant& Variant::operator=(const Variant& other) {
    if (this != &other) {
        VariantClear(&value_);
        VariantCopy(&value_, const_cast<VARIANT*>(&other.value_));
    }
    return *this;
}

std::wstring Variant::Text() const {
    VARIANT text;
    VariantInit(&text);
    if (FAILED(VariantChangeType(&text, const_cast<VARIANT*>(&value_), VARIANT_ALPHABOOL, VT_BSTR)))
        return L"<not text>";
    std::wstring out(text.bstrVal ? text.bstrVal : L"",
                     text.bstrVal ? SysStringLen(text.bstrVal) : 0);
    VariantClear(&text);
    return out;
}

std::string Narrow(const std::wstring& text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                   0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(),
                            size, nullptr, nullptr);
    return out;
}

// ---- Files ------------------------------------------------------------------

std::wstring BuiltDllPath() { return ProgramFolder() + L"kelpo-player.dll"; }

std::wstring OutputFolder() { return ProgramFolder(); }

std::wstring ScratchFolder() {
    static const std::wstring folder = [] {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        std::wstring path = std::wstring(temp) + L"kelpo-control-test-" +
                            std::to_wstring(GetCurrentProcessId()) + L"\\";
        CreateDirectoryW(path.c_str(), nullptr);
        scratchUsed = true;
        return path;
    }();
    return folder;
}

std::wstring WriteScratchFile(const std::wstring& name, const std::vector<uint8_t>& bytes) {
    std::wstring path = ScratchFolder() + name;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot write a scratch file");
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    if (written != bytes.size()) throw std::runtime_error("short write of a scratch file");
    return path;
}

namespace {

void RemoveScratchFolder() {
    if (loadedDll && loadedDll->module) FreeLibrary(loadedDll->module);
    if (!scratchUsed) return;
    std::wstring folder = ScratchFolder();
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileW((folder + found.cFileName).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

}  // namespace

const ControlDll& LoadControlDll() {
    static ControlDll dll = [] {
        ControlDll loaded;
        loaded.path = ScratchFolder() + L"flash.ocx";
        if (!CopyFileW(BuiltDllPath().c_str(), loaded.path.c_str(), FALSE))
            throw std::runtime_error("cannot copy the control DLL");
        loaded.module = LoadLibraryW(loaded.path.c_str());
        if (!loaded.module) throw std::runtime_error("cannot load the control DLL");
        loaded.getClassObject = reinterpret_cast<decltype(loaded.getClassObject)>(
            reinterpret_cast<void*>(GetProcAddress(loaded.module, "DllGetClassObject")));
        loaded.canUnloadNow = reinterpret_cast<decltype(loaded.canUnloadNow)>(
            reinterpret_cast<void*>(GetProcAddress(loaded.module, "DllCanUnloadNow")));
        return loaded;
    }();
    loadedDll = &dll;
    return dll;
}

// ---- The site -----------------------------------------------------------------

// Client site, in-place site and frame in one; the test owns it, so its
// reference counts only guard against over-release.
class HostedControl::Site final : public IOleClientSite,
                                  public IOleInPlaceSite,
                                  public IOleInPlaceFrame {
public:
    explicit Site(HWND window) : window_(window) {}
    LONG references() const { return refs_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IOleClientSite))
            *object = static_cast<IOleClientSite*>(this);
        else if (IsEqualIID(id, IID_IOleInPlaceSite) || IsEqualIID(id, IID_IOleWindow))
            *object = static_cast<IOleInPlaceSite*>(this);
        else if (IsEqualIID(id, IID_IOleInPlaceFrame) || IsEqualIID(id, IID_IOleInPlaceUIWindow))
            *object = static_cast<IOleInPlaceFrame*>(this);
        if (!*object) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs_); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--refs_); }

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
        *moniker = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override {
        *container = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        *window = window_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override {
        ++activations;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame,
                                               IOleInPlaceUIWindow** document, LPRECT position,
                                               LPRECT clip, LPOLEINPLACEFRAMEINFO info) override {
        *frame = this;
        AddRef();
        *document = nullptr;
        GetClientRect(window_, position);
        GetClientRect(window_, clip);
        info->fMDIApp = FALSE;
        info->hwndFrame = window_;
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override {
        ++deactivations;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }

    // IOleInPlaceUIWindow and IOleInPlaceFrame
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override {
        return INPLACE_E_NOTOOLSPACE;
    }
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    int activations = 0;
    int deactivations = 0;

private:
    HWND window_;
    LONG refs_ = 0;
};

// ---- The event sink -------------------------------------------------------------

class HostedControl::Sink final : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (!object) return E_POINTER;
        if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDispatch) ||
            IsEqualIID(id, kEventsInterfaceId)) {
            *object = this;
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs_); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--refs_); }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                     EXCEPINFO*, UINT*) override {
        ReceivedEvent event{id, {}};
        for (UINT i = params ? params->cArgs : 0; i-- > 0;) {
            Variant copy;
            VariantCopy(copy.get(), &params->rgvarg[i]);
            event.arguments.push_back(copy.Text());
        }
        received.push_back(event);
        if (handler) handler(event);
        return S_OK;
    }
    std::vector<ReceivedEvent> received;
    std::function<void(const ReceivedEvent&)> handler;

private:
    LONG refs_ = 0;
};

// ---- The hosted control -----------------------------------------------------------

HostedControl::HostedControl(bool activate, int width, int height) {
    const ControlDll& dll = LoadControlDll();
    hostWindow_ = HostWindow(width, height);
    site_ = new Site(hostWindow_);
    sink_ = new Sink();

    IClassFactory* factory = nullptr;
    if (FAILED(dll.getClassObject(kControlClassId, IID_IClassFactory,
                                  reinterpret_cast<void**>(&factory))))
        throw std::runtime_error("no class factory");
    HRESULT created =
        factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&unknown_));
    factory->Release();
    if (FAILED(created)) throw std::runtime_error("the factory made no control");
    unknown_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch_));

    IOleObject* object = nullptr;
    unknown_->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&object));
    object->SetClientSite(site_);
    IPersistStreamInit* persist = nullptr;
    if (SUCCEEDED(
            unknown_->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist)))) {
        persist->InitNew();
        persist->Release();
    }
    if (activate) {
        RECT position;
        GetClientRect(hostWindow_, &position);
        object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_, 0, hostWindow_, &position);
    }
    object->Release();

    IConnectionPointContainer* container = nullptr;
    unknown_->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container));
    container->FindConnectionPoint(kEventsInterfaceId, &connection_);
    container->Release();
    if (!connection_ || FAILED(connection_->Advise(sink_, &cookie_)))
        throw std::runtime_error("the event sink did not connect");
}

HostedControl::~HostedControl() {
    if (connection_) {
        connection_->Unadvise(cookie_);
        connection_->Release();
    }
    IOleObject* object = nullptr;
    if (unknown_ &&
        SUCCEEDED(unknown_->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&object)))) {
        object->Close(OLECLOSE_NOSAVE);
        object->SetClientSite(nullptr);
        object->Release();
    }
    if (dispatch_) dispatch_->Release();
    if (unknown_) unknown_->Release();
    // Everything the control held of the container must have been given back.
    EXPECT_EQ(site_->references(), 0);
    delete site_;
    delete sink_;
}

HWND HostedControl::controlWindow() const {
    IOleWindow* window = nullptr;
    HWND handle = nullptr;
    if (SUCCEEDED(unknown_->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&window)))) {
        window->GetWindow(&handle);
        window->Release();
    }
    return handle;
}

const std::vector<ReceivedEvent>& HostedControl::events() const { return sink_->received; }

void HostedControl::OnEvent(std::function<void(const ReceivedEvent&)> handler) {
    sink_->handler = std::move(handler);
}

std::vector<ReceivedEvent> HostedControl::EventsWithId(DISPID id) const {
    std::vector<ReceivedEvent> found;
    for (const ReceivedEvent& event : sink_->received)
        if (event.id == id) found.push_back(event);
    return found;
}

namespace {

DISPID IdOf(IDispatch* dispatch, const wchar_t* name) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[1] = {const_cast<LPOLESTR>(name)};
    dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    return id;
}

}  // namespace

HRESULT HostedControl::PutId(DISPID id, const Variant& value) {
    Variant argument = value;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{argument.get(), &named, 1, 1};
    return dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params,
                             nullptr, nullptr, nullptr);
}

HRESULT HostedControl::GetId(DISPID id, Variant& value) {
    DISPPARAMS params{nullptr, nullptr, 0, 0};
    value = Variant();
    return dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &params,
                             value.get(), nullptr, nullptr);
}

HRESULT HostedControl::CallId(DISPID id, const std::vector<Variant>& arguments, Variant* result) {
    std::vector<VARIANT> reversed(arguments.size());
    for (size_t i = 0; i < arguments.size(); ++i)
        reversed[arguments.size() - 1 - i] = arguments[i].value();
    DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr,
                      static_cast<UINT>(reversed.size()), 0};
    if (result) *result = Variant();
    UINT argumentError = 0;
    return dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                             result ? result->get() : nullptr, nullptr, &argumentError);
}

HRESULT HostedControl::Put(const wchar_t* name, const Variant& value) {
    return PutId(IdOf(dispatch_, name), value);
}

HRESULT HostedControl::Get(const wchar_t* name, Variant& value) {
    return GetId(IdOf(dispatch_, name), value);
}

HRESULT HostedControl::Call(const wchar_t* name, const std::vector<Variant>& arguments,
                            Variant* result) {
    return CallId(IdOf(dispatch_, name), arguments, result);
}

bool HostedControl::PumpUntil(const std::function<bool()>& done, DWORD milliseconds) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= milliseconds) return false;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (done()) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

}  // namespace kelpo::test
