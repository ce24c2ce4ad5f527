// The container side of one hosted control: client site, in-place site and
// frame, control site, and the ambient properties as IDispatch.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <olectl.h>
#include <ocidl.h>

namespace kelpo::framework {

class ControlSite final : public IOleClientSite,
                          public IOleInPlaceSite,
                          public IOleInPlaceFrame,
                          public IOleControlSite,
                          public IDispatch {
public:
    ControlSite(HWND parent, const RECT& rect);
    void SetRect(const RECT& rect) { rect_ = rect; }
    void Forget() { object_ = nullptr; }
    void SetObject(IOleObject* object) { object_ = object; }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    // IOleClientSite
    STDMETHODIMP SaveObject() override;
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** out) override;
    STDMETHODIMP GetContainer(IOleContainer** out) override;
    STDMETHODIMP ShowObject() override;
    STDMETHODIMP OnShowWindow(BOOL) override;
    STDMETHODIMP RequestNewObjectLayout() override;
    // IOleWindow
    STDMETHODIMP GetWindow(HWND* out) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override;
    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override;
    STDMETHODIMP OnInPlaceActivate() override;
    STDMETHODIMP OnUIActivate() override;
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                  RECT* position, RECT* clip, OLEINPLACEFRAMEINFO* info) override;
    STDMETHODIMP Scroll(SIZE) override;
    STDMETHODIMP OnUIDeactivate(BOOL) override;
    STDMETHODIMP OnInPlaceDeactivate() override;
    STDMETHODIMP DiscardUndoState() override;
    STDMETHODIMP DeactivateAndUndo() override;
    STDMETHODIMP OnPosRectChange(const RECT* rect) override;
    // IOleInPlaceUIWindow and IOleInPlaceFrame
    STDMETHODIMP GetBorder(RECT*) override;
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override;
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override;
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override;
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override;
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override;
    STDMETHODIMP RemoveMenus(HMENU) override;
    STDMETHODIMP SetStatusText(LPCOLESTR) override;
    STDMETHODIMP EnableModeless(BOOL) override;
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override;
    // IOleControlSite (IOleControlSite::TranslateAccelerator differs only in
    // its parameters and is answered by the overload below)
    STDMETHODIMP OnControlInfoChanged() override;
    STDMETHODIMP LockInPlaceActive(BOOL) override;
    STDMETHODIMP GetExtendedControl(IDispatch** out) override;
    STDMETHODIMP TransformCoords(POINTL*, POINTF*, DWORD) override;
    STDMETHODIMP TranslateAccelerator(MSG*, DWORD) override;
    STDMETHODIMP OnFocus(BOOL) override;
    STDMETHODIMP ShowPropertyFrame() override;
    // IDispatch: the ambient properties
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** out) override;
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result,
                        EXCEPINFO*, UINT*) override;

private:
    LONG references_ = 1;
    HWND parent_;
    RECT rect_;
    IOleObject* object_ = nullptr;  // not owned
};

}  // namespace kelpo::framework
