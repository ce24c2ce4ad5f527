// IViewObject2: drawing the current frame into any device context and
// rectangle (captures, printing, windowless and transparent hosts; with
// WMode "Transparent" only the movie's shapes are drawn, over what the DC
// holds), and the view's advise sink.
#include "player/control/player_control.h"

namespace kelpo::control {

HRESULT PlayerControl::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc,
                            LPCRECTL bounds, LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR),
                            ULONG_PTR) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!dc) return E_INVALIDARG;
    RECT area;
    if (bounds) {
        area = RECT{bounds->left, bounds->top, bounds->right, bounds->bottom};
    } else if (window_.handle()) {
        GetClientRect(window_.handle(), &area);
    } else {
        return E_INVALIDARG;
    }
    if (area.right <= area.left || area.bottom <= area.top) return S_OK;
    AddRef();
    HRESULT result = S_OK;
    try {
        Render(dc, area, _wcsicmp(settings_.wmode.c_str(), L"Transparent") == 0);
    } catch (...) {
        result = E_FAIL;
    }
    Release();
    return result;
}

HRESULT PlayerControl::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** colors) {
    if (colors) *colors = nullptr;
    return S_FALSE;  // any colours
}

HRESULT PlayerControl::Freeze(DWORD, LONG, void*, DWORD* freeze) {
    if (freeze) *freeze = 0;
    return E_NOTIMPL;
}

HRESULT PlayerControl::Unfreeze(DWORD) { return E_NOTIMPL; }

HRESULT PlayerControl::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
    if (sink) sink->AddRef();
    if (viewAdvise_) viewAdvise_->Release();
    viewAdvise_ = sink;
    viewAdviseAspects_ = aspects;
    viewAdviseFlags_ = flags;
    return S_OK;
}

HRESULT PlayerControl::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
    if (aspects) *aspects = viewAdviseAspects_;
    if (flags) *flags = viewAdviseFlags_;
    if (sink) {
        *sink = viewAdvise_;
        if (viewAdvise_) viewAdvise_->AddRef();
    }
    return S_OK;
}

HRESULT PlayerControl::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
    return GetExtent(aspect, size);
}

}  // namespace kelpo::control
