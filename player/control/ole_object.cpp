// IOleObject: the client site, verbs (which activate the control in place),
// extent, advise sinks and the control's misc status.
#include "player/control/player_control.h"

#include "player/control/identifiers.h"

namespace kelpo::control {

HRESULT PlayerControl::SetClientSite(IOleClientSite* site) {
    if (site) site->AddRef();
    if (site_) site_->Release();
    site_ = site;
    return S_OK;
}

HRESULT PlayerControl::GetClientSite(IOleClientSite** site) {
    if (!site) return E_POINTER;
    *site = site_;
    if (site_) site_->AddRef();
    return S_OK;
}

HRESULT PlayerControl::SetHostNames(LPCOLESTR, LPCOLESTR) { return S_OK; }

HRESULT PlayerControl::Close(DWORD) {
    InPlaceDeactivate();
    return S_OK;
}

HRESULT PlayerControl::SetMoniker(DWORD, IMoniker*) { return E_NOTIMPL; }

HRESULT PlayerControl::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
}

HRESULT PlayerControl::InitFromData(IDataObject*, BOOL, DWORD) { return E_NOTIMPL; }

HRESULT PlayerControl::GetClipboardData(DWORD, IDataObject** data) {
    if (data) *data = nullptr;
    return E_NOTIMPL;
}

HRESULT PlayerControl::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent,
                              LPCRECT position) {
    if (site && !site_) SetClientSite(site);
    switch (verb) {
        case OLEIVERB_PRIMARY:
        case OLEIVERB_SHOW:
        case OLEIVERB_UIACTIVATE: return ActivateInPlace(parent, position, true);
        case OLEIVERB_INPLACEACTIVATE: return ActivateInPlace(parent, position, false);
        case OLEIVERB_HIDE:
            if (window_.handle()) ShowWindow(window_.handle(), SW_HIDE);
            return S_OK;
        default: return verb > 0 ? OLEOBJ_S_INVALIDVERB : E_NOTIMPL;
    }
}

HRESULT PlayerControl::EnumVerbs(IEnumOLEVERB** verbs) {
    if (verbs) *verbs = nullptr;
    return OLEOBJ_E_NOVERBS;
}

HRESULT PlayerControl::Update() { return S_OK; }

HRESULT PlayerControl::IsUpToDate() { return S_OK; }

HRESULT PlayerControl::GetUserClassID(CLSID* id) {
    if (!id) return E_POINTER;
    *id = kControlClassId;
    return S_OK;
}

HRESULT PlayerControl::GetUserType(DWORD, LPOLESTR* name) {
    if (name) *name = nullptr;
    return OLE_S_USEREG;
}

HRESULT PlayerControl::SetExtent(DWORD aspect, SIZEL* size) {
    if (!size) return E_POINTER;
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    extent_ = *size;
    return S_OK;
}

HRESULT PlayerControl::GetExtent(DWORD aspect, SIZEL* size) {
    if (!size) return E_POINTER;
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    *size = extent_;
    return S_OK;
}

HRESULT PlayerControl::Advise(IAdviseSink* sink, DWORD* connection) {
    if (!connection) return E_POINTER;
    if (!oleAdvise_ && FAILED(CreateOleAdviseHolder(&oleAdvise_))) return E_OUTOFMEMORY;
    return oleAdvise_->Advise(sink, connection);
}

HRESULT PlayerControl::Unadvise(DWORD connection) {
    return oleAdvise_ ? oleAdvise_->Unadvise(connection) : OLE_E_NOCONNECTION;
}

HRESULT PlayerControl::EnumAdvise(IEnumSTATDATA** advise) {
    if (!advise) return E_POINTER;
    *advise = nullptr;
    return oleAdvise_ ? oleAdvise_->EnumAdvise(advise) : S_OK;
}

HRESULT PlayerControl::GetMiscStatus(DWORD, DWORD* status) {
    if (!status) return E_POINTER;
    *status = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT |
              OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST;
    return S_OK;
}

HRESULT PlayerControl::SetColorScheme(LOGPALETTE*) { return E_NOTIMPL; }

}  // namespace kelpo::control
