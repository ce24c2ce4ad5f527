// In-place activation: IOleWindow, IOleInPlaceObject and
// IOleInPlaceActiveObject, and IOleControl. Activation asks the site for
// its window and rectangles and shows the control's own child window there.
#include "player/control/player_control.h"

namespace kelpo::control {

namespace {

// Tells the site's frame and document window which object is UI-active
// (null when none is).
void AnnounceActiveObject(IOleInPlaceSite* site, IOleInPlaceActiveObject* active) {
    IOleInPlaceFrame* frame = nullptr;
    IOleInPlaceUIWindow* document = nullptr;
    RECT place{}, clip{};
    OLEINPLACEFRAMEINFO frameInfo{};
    frameInfo.cb = sizeof(frameInfo);
    if (SUCCEEDED(site->GetWindowContext(&frame, &document, &place, &clip, &frameInfo))) {
        if (frame) frame->SetActiveObject(active, nullptr);
        if (document) document->SetActiveObject(active, nullptr);
    }
    if (frame) frame->Release();
    if (document) document->Release();
}

}  // namespace

HRESULT PlayerControl::ActivateInPlace(HWND parent, LPCRECT position, bool uiActivate) {
    if (!site_) return E_UNEXPECTED;
    if (!inPlaceSite_) {
        IOleInPlaceSite* site = nullptr;
        if (FAILED(site_->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&site))))
            return E_NOINTERFACE;
        if (site->CanInPlaceActivate() != S_OK) {
            site->Release();
            return E_FAIL;
        }
        site->OnInPlaceActivate();
        HWND siteWindow = nullptr;
        if (FAILED(site->GetWindow(&siteWindow)) || !siteWindow) siteWindow = parent;
        IOleInPlaceFrame* frame = nullptr;
        IOleInPlaceUIWindow* document = nullptr;
        RECT place{}, clip{};
        OLEINPLACEFRAMEINFO frameInfo{};
        frameInfo.cb = sizeof(frameInfo);
        if (SUCCEEDED(site->GetWindowContext(&frame, &document, &place, &clip, &frameInfo)) &&
            place.right > place.left)
            position_ = place;
        if (frame) frame->Release();
        if (document) document->Release();
        if (position) position_ = *position;
        if (!siteWindow || !window_.Create(siteWindow, position_)) {
            site->OnInPlaceDeactivate();
            site->Release();
            return E_FAIL;
        }
        inPlaceSite_ = site;
    }
    ShowWindow(window_.handle(), SW_SHOW);
    if (uiActivate && !uiActive_) {
        uiActive_ = true;
        inPlaceSite_->OnUIActivate();
        AnnounceActiveObject(inPlaceSite_, this);
    }
    return S_OK;
}

HRESULT PlayerControl::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = window_.handle();
    return *window ? S_OK : E_FAIL;
}

HRESULT PlayerControl::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

HRESULT PlayerControl::InPlaceDeactivate() {
    if (!inPlaceSite_) return S_OK;
    UIDeactivate();
    window_.Destroy();
    IOleInPlaceSite* site = inPlaceSite_;
    inPlaceSite_ = nullptr;
    site->OnInPlaceDeactivate();
    site->Release();
    return S_OK;
}

HRESULT PlayerControl::UIDeactivate() {
    if (!uiActive_ || !inPlaceSite_) return S_OK;
    uiActive_ = false;
    AnnounceActiveObject(inPlaceSite_, nullptr);
    inPlaceSite_->OnUIDeactivate(FALSE);
    return S_OK;
}

HRESULT PlayerControl::SetObjectRects(LPCRECT position, LPCRECT) {
    if (!position) return E_POINTER;
    position_ = *position;
    window_.Move(position_);
    return S_OK;
}

HRESULT PlayerControl::ReactivateAndUndo() { return E_NOTIMPL; }

HRESULT PlayerControl::TranslateAccelerator(LPMSG) { return S_FALSE; }

HRESULT PlayerControl::OnFrameWindowActivate(BOOL) { return S_OK; }

HRESULT PlayerControl::OnDocWindowActivate(BOOL) { return S_OK; }

HRESULT PlayerControl::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return S_OK; }

HRESULT PlayerControl::EnableModeless(BOOL) { return S_OK; }

HRESULT PlayerControl::GetControlInfo(CONTROLINFO* info) {
    if (!info) return E_POINTER;
    info->cb = sizeof(CONTROLINFO);
    info->hAccel = nullptr;
    info->cAccel = 0;
    info->dwFlags = 0;
    return S_OK;
}

HRESULT PlayerControl::OnMnemonic(MSG*) { return S_OK; }

HRESULT PlayerControl::OnAmbientPropertyChange(DISPID) { return S_OK; }

HRESULT PlayerControl::FreezeEvents(BOOL freeze) {
    if (freeze)
        ++eventFreezes_;
    else if (eventFreezes_ > 0)
        --eventFreezes_;
    return S_OK;
}

}  // namespace kelpo::control
