// The test container for the player control: loads the control DLL the way
// a projector does (copied out as "flash.ocx", no registration, through
// DllGetClassObject), sites a control in a window of its own with a client
// site, in-place site and frame, connects an event sink and calls the
// control's dispatch interface by name or by dispatch ID.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kelpo::test {

// An interface of a COM object, or null when it does not answer to it (the
// caller releases it).
template <class Interface>
Interface* Query(IUnknown* object, REFIID id) {
    Interface* result = nullptr;
    object->QueryInterface(id, reinterpret_cast<void**>(&result));
    return result;
}

// A VARIANT that clears itself.
class Variant {
public:
    Variant() { VariantInit(&value_); }
    explicit Variant(const wchar_t* text);
    explicit Variant(long number);
    explicit Variant(int number) : Variant(static_cast<long>(number)) {}
    explicit Variant(double number);
    static Variant Bool(bool flag);
    Variant(const Variant& other);
    Variant& operator=(const Variant& other);
    ~Variant() { VariantClear(&value_); }
    VARIANT* get() { return &value_; }
    const VARIANT& value() const { return value_; }
    // The value as text (VariantChangeType), for comparisons in tests.
    std::wstring Text() const;

private:
    VARIANT value_;
};

std::string Narrow(const std::wstring& text);

// The DLL's entry points, loaded once per test program.
struct ControlDll {
    HMODULE module = nullptr;
    std::wstring path;  // the "flash.ocx" copy
    HRESULT(STDAPICALLTYPE* getClassObject)(REFCLSID, REFIID, void**) = nullptr;
    HRESULT(STDAPICALLTYPE* canUnloadNow)() = nullptr;
};
const ControlDll& LoadControlDll();
// The control DLL as built, beside the test program.
std::wstring BuiltDllPath();
// A folder for files the tests write (movies), emptied on first use.
std::wstring ScratchFolder();
// Writes `bytes` as ScratchFolder() + name and returns the path.
std::wstring WriteScratchFile(const std::wstring& name, const std::vector<uint8_t>& bytes);
// Where screenshots go for people to look at: the test program's folder.
std::wstring OutputFolder();

extern const CLSID kControlClassId;
extern const IID kEventsInterfaceId;

// One event as the sink received it, arguments as texts in declared order.
struct ReceivedEvent {
    DISPID id;
    std::vector<std::wstring> arguments;
};

// A control created through the class factory and sited in a window.
class HostedControl {
public:
    // Activates in place when `activate`; the window is `width` by `height`.
    explicit HostedControl(bool activate = true, int width = 320, int height = 240);
    ~HostedControl();
    HostedControl(const HostedControl&) = delete;
    HostedControl& operator=(const HostedControl&) = delete;

    IUnknown* unknown() const { return unknown_; }
    IDispatch* dispatch() const { return dispatch_; }
    HWND hostWindow() const { return hostWindow_; }
    HWND controlWindow() const;
    const std::vector<ReceivedEvent>& events() const;
    std::vector<ReceivedEvent> EventsWithId(DISPID id) const;

    // Runs inside the sink's Invoke for every event, after recording it.
    void OnEvent(std::function<void(const ReceivedEvent&)> handler);

    // By name (through GetIDsOfNames).
    HRESULT Put(const wchar_t* name, const Variant& value);
    HRESULT Get(const wchar_t* name, Variant& value);
    HRESULT Call(const wchar_t* name, const std::vector<Variant>& arguments,
                 Variant* result = nullptr);
    // By dispatch ID.
    HRESULT PutId(DISPID id, const Variant& value);
    HRESULT GetId(DISPID id, Variant& value);
    HRESULT CallId(DISPID id, const std::vector<Variant>& arguments, Variant* result = nullptr);

    // Runs the message loop until `done` or `milliseconds` pass; returns done().
    static bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds);

private:
    class Site;
    class Sink;
    Site* site_ = nullptr;
    Sink* sink_ = nullptr;
    HWND hostWindow_ = nullptr;
    IUnknown* unknown_ = nullptr;
    IDispatch* dispatch_ = nullptr;
    IConnectionPoint* connection_ = nullptr;
    DWORD cookie_ = 0;
};

}  // namespace kelpo::test
