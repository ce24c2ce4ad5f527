// ActiveX control containment: one control hosted in a parent window, with
// the client site, in-place site and frame it needs, ambient properties
// (user mode on), and an event sink connected through the control's
// connection point. The control is created by CLSID through COM, or from a
// control file loaded privately through its DllGetClassObject.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <ocidl.h>

namespace kelpo::framework {

class ControlSite;
class EventSink;

// Receives the control's events: dispatch ID and arguments (in reverse
// order, as IDispatch::Invoke passes them).
using EventHandler = void (*)(void* user, DISPID id, DISPPARAMS* params);

class ControlHost {
public:
    ControlHost() = default;
    ~ControlHost();
    ControlHost(const ControlHost&) = delete;
    ControlHost& operator=(const ControlHost&) = delete;

    HRESULT CreateFromClsid(HWND parent, const CLSID& clsid, const RECT& rect, UINT id);
    // REGDB_E_CLASSNOTREG when the file does not load, CO_E_ERRORINDLL when
    // it exports no DllGetClassObject. With a licence key the factory's
    // IClassFactory2 creates the instance.
    HRESULT CreateFromFile(HWND parent, const char* path, const CLSID& clsid, const RECT& rect,
                           UINT id, const wchar_t* licenceKey = nullptr);

    // Connects `handler` to the control's outgoing interface `events`.
    HRESULT ConnectEvents(const IID& events, EventHandler handler, void* user);

    IDispatch* Dispatch() const { return dispatch_; }
    IOleObject* Object() const { return object_; }
    HWND ControlWindow() const;
    void Move(const RECT& rect);
    // Renders the control's content into a device context.
    HRESULT Draw(HDC dc, const RECT& rect);
    // Disconnects the events, deactivates, closes and releases the control.
    void Close();

private:
    HRESULT Activate(IClassFactory* factory, HWND parent, const RECT& rect, UINT id,
                     const wchar_t* licenceKey);

    ControlSite* site_ = nullptr;
    EventSink* sink_ = nullptr;
    IOleObject* object_ = nullptr;
    IDispatch* dispatch_ = nullptr;
    IConnectionPoint* connection_ = nullptr;
    DWORD cookie_ = 0;
    HMODULE library_ = nullptr;
};

}  // namespace kelpo::framework
