// The container side of a hosted control. The container is a plain window
// with no menus, border space or undo: most calls only acknowledge.
#include "host/framework/control_site.h"

namespace kelpo::framework {

ControlSite::ControlSite(HWND parent, const RECT& rect) : parent_(parent), rect_(rect) {}

STDMETHODIMP ControlSite::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleClientSite)
        *out = static_cast<IOleClientSite*>(this);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
        *out = static_cast<IOleInPlaceSite*>(this);
    else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame)
        *out = static_cast<IOleInPlaceFrame*>(this);
    else if (iid == IID_IOleControlSite)
        *out = static_cast<IOleControlSite*>(this);
    else if (iid == IID_IDispatch)
        *out = static_cast<IDispatch*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) ControlSite::AddRef() { return InterlockedIncrement(&references_); }

STDMETHODIMP_(ULONG) ControlSite::Release() {
    LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return left;
}

STDMETHODIMP ControlSite::SaveObject() { return S_OK; }
STDMETHODIMP ControlSite::GetMoniker(DWORD, DWORD, IMoniker** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}
STDMETHODIMP ControlSite::GetContainer(IOleContainer** out) {
    if (out) *out = nullptr;
    return E_NOINTERFACE;
}
STDMETHODIMP ControlSite::ShowObject() { return S_OK; }
STDMETHODIMP ControlSite::OnShowWindow(BOOL) { return S_OK; }
STDMETHODIMP ControlSite::RequestNewObjectLayout() { return E_NOTIMPL; }

STDMETHODIMP ControlSite::GetWindow(HWND* out) {
    if (!out) return E_POINTER;
    *out = parent_;
    return S_OK;
}
STDMETHODIMP ControlSite::ContextSensitiveHelp(BOOL) { return S_OK; }

STDMETHODIMP ControlSite::CanInPlaceActivate() { return S_OK; }
STDMETHODIMP ControlSite::OnInPlaceActivate() { return S_OK; }
STDMETHODIMP ControlSite::OnUIActivate() { return S_OK; }

STDMETHODIMP ControlSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                           RECT* position, RECT* clip, OLEINPLACEFRAMEINFO* info) {
    if (!frame || !document || !position || !clip || !info) return E_POINTER;
    *frame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    *document = nullptr;
    *position = rect_;
    *clip = rect_;
    info->fMDIApp = FALSE;
    info->hwndFrame = parent_;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
}

STDMETHODIMP ControlSite::Scroll(SIZE) { return E_NOTIMPL; }
STDMETHODIMP ControlSite::OnUIDeactivate(BOOL) { return S_OK; }
STDMETHODIMP ControlSite::OnInPlaceDeactivate() { return S_OK; }
STDMETHODIMP ControlSite::DiscardUndoState() { return S_OK; }
STDMETHODIMP ControlSite::DeactivateAndUndo() { return S_OK; }

STDMETHODIMP ControlSite::OnPosRectChange(const RECT* rect) {
    if (!rect) return E_POINTER;
    rect_ = *rect;
    IOleInPlaceObject* inPlace = nullptr;
    if (object_ && SUCCEEDED(object_->QueryInterface(IID_IOleInPlaceObject,
                                                     reinterpret_cast<void**>(&inPlace)))) {
        inPlace->SetObjectRects(&rect_, &rect_);
        inPlace->Release();
    }
    return S_OK;
}

STDMETHODIMP ControlSite::GetBorder(RECT*) { return INPLACE_E_NOTOOLSPACE; }
STDMETHODIMP ControlSite::RequestBorderSpace(LPCBORDERWIDTHS) { return INPLACE_E_NOTOOLSPACE; }
STDMETHODIMP ControlSite::SetBorderSpace(LPCBORDERWIDTHS) { return S_OK; }
STDMETHODIMP ControlSite::SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) { return S_OK; }
STDMETHODIMP ControlSite::InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) { return S_OK; }
STDMETHODIMP ControlSite::SetMenu(HMENU, HOLEMENU, HWND) { return S_OK; }
STDMETHODIMP ControlSite::RemoveMenus(HMENU) { return S_OK; }
STDMETHODIMP ControlSite::SetStatusText(LPCOLESTR) { return S_OK; }
STDMETHODIMP ControlSite::EnableModeless(BOOL) { return S_OK; }
STDMETHODIMP ControlSite::TranslateAccelerator(LPMSG, WORD) { return S_FALSE; }

STDMETHODIMP ControlSite::OnControlInfoChanged() { return S_OK; }
STDMETHODIMP ControlSite::LockInPlaceActive(BOOL) { return S_OK; }
STDMETHODIMP ControlSite::GetExtendedControl(IDispatch** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}
STDMETHODIMP ControlSite::TransformCoords(POINTL*, POINTF*, DWORD) { return E_NOTIMPL; }
STDMETHODIMP ControlSite::TranslateAccelerator(MSG*, DWORD) { return S_FALSE; }
STDMETHODIMP ControlSite::OnFocus(BOOL) { return S_OK; }
STDMETHODIMP ControlSite::ShowPropertyFrame() { return E_NOTIMPL; }

STDMETHODIMP ControlSite::GetTypeInfoCount(UINT* count) {
    if (count) *count = 0;
    return S_OK;
}
STDMETHODIMP ControlSite::GetTypeInfo(UINT, LCID, ITypeInfo** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}
STDMETHODIMP ControlSite::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}

// The ambient properties a control asks its container for.
STDMETHODIMP ControlSite::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result,
                                 EXCEPINFO*, UINT*) {
    if (!(flags & DISPATCH_PROPERTYGET) || !result) return DISP_E_MEMBERNOTFOUND;
    VariantInit(result);
    switch (id) {
        case DISPID_AMBIENT_USERMODE:
        case DISPID_AMBIENT_MESSAGEREFLECT:
            result->vt = VT_BOOL;
            result->boolVal = VARIANT_TRUE;
            return S_OK;
        case DISPID_AMBIENT_SHOWGRABHANDLES:
        case DISPID_AMBIENT_SHOWHATCHING:
        case DISPID_AMBIENT_UIDEAD:
            result->vt = VT_BOOL;
            result->boolVal = VARIANT_FALSE;
            return S_OK;
        case DISPID_AMBIENT_LOCALEID:
            result->vt = VT_I4;
            result->lVal = static_cast<LONG>(GetUserDefaultLCID());
            return S_OK;
        default: return DISP_E_MEMBERNOTFOUND;
    }
}

}  // namespace kelpo::framework
