// The control object's lifetime, interface table and the link to the core:
// loading movies, the view matrix, drawing and the core's callbacks.
#include "player/control/player_control.h"

#include <shellapi.h>

#include <new>

#include "player/control/com_enumerators.h"
#include "player/control/gdi_render_sink.h"
#include "player/control/gdiplus_painter.h"
#include "player/control/identifiers.h"
#include "player/control/module.h"
#include "player/control/movie_source.h"
#include "player/control/picture_decoder.h"
#include "player/control/supersampling.h"
#include "player/control/text_conversion.h"

namespace kelpo::control {

namespace {

// Samples per pixel along each axis where GDI+ leaves edges jagged: fewer
// for large windows, none for very large ones, to keep frames affordable.
int SupersamplingFor(const RECT& bounds) {
    const long long pixels =
        static_cast<long long>(bounds.right - bounds.left) * (bounds.bottom - bounds.top);
    return pixels <= 600000 ? 3 : pixels <= 2500000 ? 2 : 1;
}

PlayerControl& ControlOf(void* user) { return *static_cast<PlayerControl*>(user); }

void RaiseFsCommand(void* user, const std::string& command, const std::string& arguments) {
    VARIANT values[2];
    VariantInit(&values[0]);
    VariantInit(&values[1]);
    values[0].vt = VT_BSTR;
    values[0].bstrVal = BstrFromUtf8(command);
    values[1].vt = VT_BSTR;
    values[1].bstrVal = BstrFromUtf8(arguments);
    if (values[0].bstrVal && values[1].bstrVal)
        ControlOf(user).FireEvent(kEventFsCommand, values, 2);
    VariantClear(&values[0]);
    VariantClear(&values[1]);
}

// The callbacks run inside the core: nothing may unwind through it.
void OnFsCommand(void* user, const std::string& command, const std::string& arguments) {
    try {
        RaiseFsCommand(user, command, arguments);
    } catch (...) {}
}

void OnInvalidate(void* user) { ControlOf(user).Invalidate(); }

void OnTrace(void*, const std::string& text) {
    try {
        OutputDebugStringW((WideFromUtf8(text) + L"\n").c_str());
    } catch (...) {}
}

// Web and mail addresses open in the user's programs; "_levelN" targets
// load into that level once the core has finished its current step.
void OpenUrl(void* user, const std::string& url, const std::string& target) {
    if (target.compare(0, 6, "_level") == 0 && target.size() > 6) {
        char* end = nullptr;
        long level = strtol(target.c_str() + 6, &end, 10);
        if (*end == '\0' && level >= 0)
            ControlOf(user).QueueLoad(static_cast<int>(level), WideFromUtf8(url));
        return;
    }
    std::wstring address = WideFromUtf8(url);
    if (_wcsnicmp(address.c_str(), L"http:", 5) == 0 ||
        _wcsnicmp(address.c_str(), L"https:", 6) == 0 ||
        _wcsnicmp(address.c_str(), L"mailto:", 7) == 0)
        ShellExecuteW(nullptr, L"open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void OnGetUrl(void* user, const std::string& url, const std::string& target) {
    try {
        OpenUrl(user, url, target);
    } catch (...) {}
}

}  // namespace

HRESULT CreatePlayerControl(REFIID id, void** object) {
    PlayerControl* control = new (std::nothrow) PlayerControl();
    if (!control) return E_OUTOFMEMORY;
    if (!control->valid()) {
        control->Release();
        return E_OUTOFMEMORY;
    }
    HRESULT result = control->QueryInterface(id, object);
    control->Release();
    return result;
}

PlayerControl::PlayerControl() : events_(this), window_(*this) {
    ObjectCreated();
    player::PlayerHost host;
    host.user = this;
    host.fsCommand = OnFsCommand;
    host.invalidate = OnInvalidate;
    host.trace = OnTrace;
    host.getUrl = OnGetUrl;
    try {
        player_ = player::NewPlayer(host);
    } catch (...) {
        player_ = nullptr;
    }
    // A control shown before the host sizes it gets the default movie size.
    extent_.cx = MulDiv(550, 2540, 96);
    extent_.cy = MulDiv(400, 2540, 96);
}

PlayerControl::~PlayerControl() {
    window_.Destroy();
    events_.DisconnectAll();
    if (viewAdvise_) viewAdvise_->Release();
    if (oleAdvise_) oleAdvise_->Release();
    if (inPlaceSite_) inPlaceSite_->Release();
    if (site_) site_->Release();
    if (player_) player::FreePlayer(player_);
    ObjectDestroyed();
}

HRESULT PlayerControl::QueryInterface(REFIID id, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IOleObject))
        *object = static_cast<IOleObject*>(this);
    else if (IsEqualIID(id, IID_IOleInPlaceObject) || IsEqualIID(id, IID_IOleWindow))
        *object = static_cast<IOleInPlaceObject*>(this);
    else if (IsEqualIID(id, IID_IOleInPlaceActiveObject))
        *object = static_cast<IOleInPlaceActiveObject*>(this);
    else if (IsEqualIID(id, IID_IOleControl))
        *object = static_cast<IOleControl*>(this);
    else if (IsEqualIID(id, IID_IViewObject) || IsEqualIID(id, IID_IViewObject2))
        *object = static_cast<IViewObject2*>(this);
    else if (IsEqualIID(id, IID_IPersistStreamInit) || IsEqualIID(id, IID_IPersist))
        *object = static_cast<IPersistStreamInit*>(this);
    else if (IsEqualIID(id, IID_IDispatch))
        *object = static_cast<IDispatch*>(this);
    else if (IsEqualIID(id, IID_IConnectionPointContainer))
        *object = static_cast<IConnectionPointContainer*>(this);
    else if (IsEqualIID(id, IID_IProvideClassInfo) || IsEqualIID(id, IID_IProvideClassInfo2))
        *object = static_cast<IProvideClassInfo2*>(this);
    if (!*object) return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG PlayerControl::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

ULONG PlayerControl::Release() {
    LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

HRESULT PlayerControl::LoadFromUrl(int level, const std::wstring& url) {
    if (level < 0) return E_INVALIDARG;
    if (url.empty()) {
        if (level == 0) {
            Unload();
            settings_.movie.clear();
        } else {
            player::UnloadLevel(player_, level);
        }
        Invalidate();
        return S_OK;
    }
    std::vector<uint8_t> bytes;
    if (!ReadMovieSource(url, settings_.base, bytes)) return E_FAIL;
    AddRef();  // the core's callbacks may release the control
    HRESULT result = S_OK;
    if (LooksLikeMovie(bytes)) {
        // The name changes before the movie runs: its events may load
        // another movie, whose name must then stay.
        std::wstring previous = settings_.movie;
        unsigned generation = ++loadGeneration_;
        if (level == 0) {
            settings_.movie = url;
            SetReadyState(0);
            player::ZoomView(view_, 0);
            player::SetFlashVars(
                player_, Utf8FromWide(settings_.flashVars.data(), settings_.flashVars.size()));
        }
        if (!player::LoadMovieBytes(player_, level, bytes.data(), bytes.size())) {
            result = E_FAIL;
            if (level == 0 && settings_.movie == url) settings_.movie = previous;
        } else if (level == 0 && generation == loadGeneration_) {
            // (A load started by the movie's own events has set these up.)
            ApplySettingsToMovie();
            window_.SetFrameRate(player::GetMovieInfo(player_).frameRate);
        }
        if (level == 0) {
            SetReadyState(4);
            if (SUCCEEDED(result)) {
                VARIANT percent;
                VariantInit(&percent);
                percent.vt = VT_I4;
                percent.lVal = 100;
                FireEvent(kEventProgress, &percent, 1);
            }
        }
    } else {
        std::vector<uint32_t> pixels;
        int width = 0, height = 0;
        if (!DecodePicture(bytes, pixels, width, height) ||
            !player::LoadPicture(player_, level, std::move(pixels), width, height))
            result = E_FAIL;
    }
    Invalidate();
    Release();
    return result;
}

void PlayerControl::Unload() {
    player::UnloadLevel(player_, 0);
    window_.SetFrameRate(0);
    player::ZoomView(view_, 0);
}

void PlayerControl::QueueLoad(int level, const std::wstring& url) {
    try {
        pendingLoads_.emplace_back(level, url);
    } catch (...) {}
    window_.PostPendingWork();
}

void PlayerControl::RunPendingLoads() {
    AddRef();
    while (!pendingLoads_.empty()) {
        std::pair<int, std::wstring> load = std::move(pendingLoads_.front());
        pendingLoads_.erase(pendingLoads_.begin());
        LoadFromUrl(load.first, load.second);
    }
    Release();
}

void PlayerControl::ApplySettingsToMovie() {
    player::SetLoop(player_, settings_.loop);
    if (settings_.playing)
        player::Play(player_);
    else
        player::StopPlay(player_);
}

void PlayerControl::SetReadyState(long state) {
    if (readyState_ == state) return;
    readyState_ = state;
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_I4;
    value.lVal = state;
    FireEvent(kEventReadyStateChange, &value, 1);
}

player::Matrix PlayerControl::ViewMatrix(const RECT& bounds) const {
    player::ViewState view = view_;
    view.scaleMode = settings_.scaleMode;
    view.align = settings_.alignMode;
    player::Matrix m = player::ViewMatrix(player::GetMovieInfo(player_), bounds.right - bounds.left,
                                          bounds.bottom - bounds.top, view);
    m.tx += bounds.left;
    m.ty += bounds.top;
    return m;
}

void PlayerControl::Render(HDC dc, const RECT& bounds, bool overlay) {
    // Overlays draw over the host's pixels, which a larger bitmap does not hold.
    const int factor = SupersamplingFor(bounds);
    if (!overlay && factor > 1 && player::HasMovie(player_) && !GdiplusSmoothsEdges()) {
        const player::Matrix view = ViewMatrix(bounds);
        bool drawn = DrawSupersampled(dc, bounds, factor, [&](HDC large, const RECT& area) {
            GdiplusCanvas canvas(large);
            GdiTarget target{large, area, settings_.backgroundColor, false, &canvas};
            player::RenderSink sink = MakeGdiSink(target);
            const double f = factor;
            player::Matrix m{view.a * f,
                             view.b * f,
                             view.c * f,
                             view.d * f,
                             (view.tx - bounds.left) * f,
                             (view.ty - bounds.top) * f};
            player::RenderFrame(player_, m, sink);
        });
        if (drawn) return;
    }
    int saved = SaveDC(dc);
    IntersectClipRect(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
    {
        // Opened after the clip is set, closed before it is restored.
        GdiplusCanvas canvas(dc);
        GdiTarget target{dc, bounds, settings_.backgroundColor, overlay, &canvas};
        player::RenderSink sink = MakeGdiSink(target);
        if (player::HasMovie(player_))
            player::RenderFrame(player_, ViewMatrix(bounds), sink);
        else
            sink.clear(sink.user, 0xFFFFFFFF);
    }
    RestoreDC(dc, saved);
}

void PlayerControl::Invalidate() {
    window_.Invalidate();
    if (viewAdvise_ && (viewAdviseAspects_ & DVASPECT_CONTENT))
        viewAdvise_->OnViewChange(DVASPECT_CONTENT, -1);
}

void PlayerControl::FireEvent(DISPID event, const VARIANT* arguments, UINT count) {
    if (eventFreezes_ > 0) return;
    AddRef();
    events_.Fire(event, arguments, count);
    Release();
}

HRESULT PlayerControl::EnumConnectionPoints(IEnumConnectionPoints** points) {
    if (!points) return E_POINTER;
    try {
        return NewConnectionPointEnumerator({&events_}, points);
    } catch (...) {
        *points = nullptr;
        return E_OUTOFMEMORY;
    }
}

HRESULT PlayerControl::FindConnectionPoint(REFIID id, IConnectionPoint** point) {
    if (!point) return E_POINTER;
    *point = nullptr;
    if (!IsEqualIID(id, kEventsInterfaceId)) return CONNECT_E_NOCONNECTION;
    *point = &events_;
    events_.AddRef();
    return S_OK;
}

}  // namespace kelpo::control
