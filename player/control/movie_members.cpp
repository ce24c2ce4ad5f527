// Handlers of the members that load movies, move through the timeline of
// _level0 and change the view (zoom and pan).
#include "player/control/member_handlers.h"

#include "player/control/identifiers.h"
#include "player/control/player_control.h"

namespace kelpo::control {

namespace {

// Frame numbers from the host are used as given; the core ignores frames
// past the end.
HRESULT NeedsMovie(PlayerControl& control) {
    return player::HasMovie(control.core()) ? S_OK : E_FAIL;
}

}  // namespace

KELPO_MEMBER_HANDLER(GetMovie) { return ReturnText(result, control.settings().movie); }

KELPO_MEMBER_HANDLER(PutMovie) { return control.LoadFromUrl(0, TextArgument(arguments[0])); }

KELPO_MEMBER_HANDLER(GetTotalFrames) {
    return ReturnLong(result, player::TotalFrames(control.core()));
}

KELPO_MEMBER_HANDLER(GetFrameNum) {
    return ReturnLong(result, player::CurrentFrame(control.core()));
}

KELPO_MEMBER_HANDLER(PutFrameNum) {
    if (FAILED(NeedsMovie(control))) return E_FAIL;
    player::GotoFrame(control.core(), static_cast<int>(arguments[0].lVal));
    return S_OK;
}

KELPO_MEMBER_HANDLER(CallSetZoomRect) {
    player::SetZoomRect(control.view(), arguments[0].lVal, arguments[1].lVal, arguments[2].lVal,
                        arguments[3].lVal);
    control.Invalidate();
    return S_OK;
}

KELPO_MEMBER_HANDLER(CallZoom) {
    player::ZoomView(control.view(), static_cast<int>(arguments[0].lVal));
    control.Invalidate();
    return S_OK;
}

KELPO_MEMBER_HANDLER(CallPan) {
    const RECT& place = control.position();
    player::PanView(control.view(), arguments[0].lVal, arguments[1].lVal,
                    static_cast<int>(arguments[2].lVal), place.right - place.left,
                    place.bottom - place.top);
    control.Invalidate();
    return S_OK;
}

KELPO_MEMBER_HANDLER(CallPlay) {
    player::Play(control.core());
    return S_OK;
}

KELPO_MEMBER_HANDLER(CallStop) {
    player::StopPlay(control.core());
    return S_OK;
}

KELPO_MEMBER_HANDLER(CallBack) {
    player::Back(control.core());
    return S_OK;
}

KELPO_MEMBER_HANDLER(CallForward) {
    player::Forward(control.core());
    return S_OK;
}

KELPO_MEMBER_HANDLER(CallRewind) {
    player::Rewind(control.core());
    return S_OK;
}

KELPO_MEMBER_HANDLER(CallGotoFrame) {
    if (FAILED(NeedsMovie(control))) return E_FAIL;
    player::GotoFrame(control.core(), static_cast<int>(arguments[0].lVal));
    return S_OK;
}

KELPO_MEMBER_HANDLER(CallCurrentFrame) {
    return ReturnLong(result, player::CurrentFrame(control.core()));
}

KELPO_MEMBER_HANDLER(CallIsPlaying) {
    return ReturnBool(result, player::IsPlaying(control.core()));
}

KELPO_MEMBER_HANDLER(CallPercentLoaded) {
    return ReturnLong(result,
                      player::HasMovie(control.core()) ? player::PercentLoaded(control.core()) : 0);
}

KELPO_MEMBER_HANDLER(CallFrameLoaded) {
    return ReturnBool(result,
                      player::FrameLoaded(control.core(), static_cast<int>(arguments[0].lVal)));
}

KELPO_MEMBER_HANDLER(CallFlashVersion) { return ReturnLong(result, kPlayerVersion); }

KELPO_MEMBER_HANDLER(CallLoadMovie) {
    return control.LoadFromUrl(static_cast<int>(arguments[0].lVal), TextArgument(arguments[1]));
}

}  // namespace kelpo::control
