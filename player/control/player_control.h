// The control object: one movie player (the portable core) behind the OLE
// control interfaces. This header declares the object; its interfaces are
// implemented one group per file (ole_object.cpp, in_place.cpp,
// view_object.cpp, persistence.cpp, dispatch.cpp, type_info.cpp), its
// lifetime, loading and the core's callbacks in player_control.cpp, and the
// window it shows when active in place in control_window.cpp.
//
// Reentrancy: the core calls back (FSCommand events, repaints) while the
// control is inside a core call, and event sinks may call the control again
// or release it; every entry that reaches the core holds a reference to the
// control for its duration.
#pragma once

#include <ocidl.h>
#include <olectl.h>

#include <string>
#include <utility>
#include <vector>

#include "player/control/control_settings.h"
#include "player/control/control_window.h"
#include "player/control/event_connection.h"
#include "player/core/player.h"

namespace kelpo::control {

HRESULT CreatePlayerControl(REFIID id, void** object);

class PlayerControl final : public IOleObject,
                            public IOleInPlaceObject,
                            public IOleInPlaceActiveObject,
                            public IOleControl,
                            public IViewObject2,
                            public IPersistStreamInit,
                            public IDispatch,
                            public IConnectionPointContainer,
                            public IProvideClassInfo2 {
public:
    PlayerControl();
    ~PlayerControl();
    PlayerControl(const PlayerControl&) = delete;
    PlayerControl& operator=(const PlayerControl&) = delete;
    bool valid() const { return player_ != nullptr; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IOleObject
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override;
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override;
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR app, LPCOLESTR object) override;
    HRESULT STDMETHODCALLTYPE Close(DWORD saveOption) override;
    HRESULT STDMETHODCALLTYPE SetMoniker(DWORD which, IMoniker* moniker) override;
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
    HRESULT STDMETHODCALLTYPE InitFromData(IDataObject* data, BOOL creation,
                                           DWORD reserved) override;
    HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD reserved, IDataObject** data) override;
    HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG msg, IOleClientSite* site, LONG index,
                                     HWND parent, LPCRECT position) override;
    HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** verbs) override;
    HRESULT STDMETHODCALLTYPE Update() override;
    HRESULT STDMETHODCALLTYPE IsUpToDate() override;
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* id) override;
    HRESULT STDMETHODCALLTYPE GetUserType(DWORD form, LPOLESTR* name) override;
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* size) override;
    HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* sink, DWORD* connection) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD connection) override;
    HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** advise) override;
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD aspect, DWORD* status) override;
    HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE* palette) override;

    // IOleWindow (through IOleInPlaceObject and IOleInPlaceActiveObject)
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enter) override;
    // IOleInPlaceObject
    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE UIDeactivate() override;
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT position, LPCRECT clip) override;
    HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override;
    // IOleInPlaceActiveObject
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG msg) override;
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL activate) override;
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL activate) override;
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window,
                                           BOOL frame) override;
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL enable) override;

    // IOleControl
    HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO* info) override;
    HRESULT STDMETHODCALLTYPE OnMnemonic(MSG* msg) override;
    HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID id) override;
    HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL freeze) override;

    // IViewObject2
    HRESULT STDMETHODCALLTYPE Draw(DWORD aspect, LONG index, void* aspectInfo,
                                   DVTARGETDEVICE* device, HDC targetDevice, HDC dc,
                                   LPCRECTL bounds, LPCRECTL metafileBounds,
                                   BOOL(STDMETHODCALLTYPE* keepGoing)(ULONG_PTR),
                                   ULONG_PTR keepGoingArg) override;
    HRESULT STDMETHODCALLTYPE GetColorSet(DWORD aspect, LONG index, void* aspectInfo,
                                          DVTARGETDEVICE* device, HDC targetDevice,
                                          LOGPALETTE** colors) override;
    HRESULT STDMETHODCALLTYPE Freeze(DWORD aspect, LONG index, void* aspectInfo,
                                     DWORD* freeze) override;
    HRESULT STDMETHODCALLTYPE Unfreeze(DWORD freeze) override;
    HRESULT STDMETHODCALLTYPE SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
    HRESULT STDMETHODCALLTYPE GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* device,
                                        LPSIZEL size) override;

    // IPersistStreamInit
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* id) override;
    HRESULT STDMETHODCALLTYPE IsDirty() override;
    HRESULT STDMETHODCALLTYPE Load(LPSTREAM stream) override;
    HRESULT STDMETHODCALLTYPE Save(LPSTREAM stream, BOOL clearDirty) override;
    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override;
    HRESULT STDMETHODCALLTYPE InitNew() override;

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID id, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID id, LCID locale, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) override;

    // IConnectionPointContainer
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID id, IConnectionPoint** point) override;

    // IProvideClassInfo2
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetGUID(DWORD kind, GUID* guid) override;

    // ---- For the member handlers, the window and the core's callbacks ----
    player::Player* core() const { return player_; }
    ControlSettings& settings() { return settings_; }
    player::ViewState& view() { return view_; }
    long readyState() const { return readyState_; }
    // Loads a movie (or, for levels, a JPEG picture) from a path or file: URL.
    HRESULT LoadFromUrl(int level, const std::wstring& url);
    // Empties level 0.
    void Unload();
    // Loads asked for by the movie itself run after the core's current step
    // (never inside it), from the window's message loop.
    void QueueLoad(int level, const std::wstring& url);
    void RunPendingLoads();
    // The view matrix for drawing into `bounds`.
    player::Matrix ViewMatrix(const RECT& bounds) const;
    // Draws the current frame into `dc` inside `bounds`. With `overlay`
    // (drawing for a host while WMode is "Transparent") the background is
    // left as the DC has it, so the movie lies over the host's picture.
    void Render(HDC dc, const RECT& bounds, bool overlay = false);
    // The frame changed: repaint the window and tell view advise sinks.
    void Invalidate();
    void FireEvent(DISPID event, const VARIANT* arguments, UINT count);
    // The rectangle the window occupies in its parent (or the last one given).
    const RECT& position() const { return position_; }

private:
    HRESULT ActivateInPlace(HWND parent, LPCRECT position, bool uiActivate);
    void SetReadyState(long state);
    void ApplySettingsToMovie();

    LONG refs_ = 1;
    player::Player* player_ = nullptr;
    ControlSettings settings_;
    player::ViewState view_;  // scale mode and alignment live in settings_
    long readyState_ = 4;
    EventConnection events_;
    ControlWindow window_;
    IOleClientSite* site_ = nullptr;
    IOleInPlaceSite* inPlaceSite_ = nullptr;  // while active in place
    IOleAdviseHolder* oleAdvise_ = nullptr;
    IAdviseSink* viewAdvise_ = nullptr;
    DWORD viewAdviseAspects_ = 0, viewAdviseFlags_ = 0;
    SIZEL extent_{};  // HIMETRIC
    RECT position_{0, 0, 550, 400};
    std::vector<std::pair<int, std::wstring>> pendingLoads_;
    unsigned loadGeneration_ = 0;  // counts loads, to notice nested ones
    bool uiActive_ = false;
    LONG eventFreezes_ = 0;
};

}  // namespace kelpo::control
