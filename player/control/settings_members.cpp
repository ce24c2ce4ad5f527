// Handlers of the properties that hold settings: playing and looping,
// quality, scaling and alignment, colours and the stored texts.
#include "player/control/member_handlers.h"

#include "player/control/player_control.h"
#include "player/control/text_conversion.h"

namespace kelpo::control {

HRESULT ReturnLong(VARIANT* result, long value) {
    result->vt = VT_I4;
    result->lVal = value;
    return S_OK;
}

HRESULT ReturnBool(VARIANT* result, bool value) {
    result->vt = VT_BOOL;
    result->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT ReturnDouble(VARIANT* result, double value) {
    result->vt = VT_R8;
    result->dblVal = value;
    return S_OK;
}

HRESULT ReturnText(VARIANT* result, const std::wstring& text) {
    BSTR value = BstrFromWide(text);
    if (!value) return E_OUTOFMEMORY;
    result->vt = VT_BSTR;
    result->bstrVal = value;
    return S_OK;
}

HRESULT ReturnUtf8(VARIANT* result, const std::string& text) {
    return ReturnText(result, WideFromUtf8(text));
}

std::wstring TextArgument(const VARIANT& argument) { return WideFromBstr(argument.bstrVal); }

std::string Utf8Argument(const VARIANT& argument) { return Utf8FromBstr(argument.bstrVal); }

bool BoolArgument(const VARIANT& argument) { return argument.boolVal != VARIANT_FALSE; }

namespace {

// Settings that only hold what the host gave them.
HRESULT PutStored(std::wstring& setting, const VARIANT* arguments) {
    setting = TextArgument(arguments[0]);
    return S_OK;
}

}  // namespace

KELPO_MEMBER_HANDLER(GetReadyState) { return ReturnLong(result, control.readyState()); }

KELPO_MEMBER_HANDLER(GetPlaying) {
    if (player::HasMovie(control.core()))
        return ReturnBool(result, player::IsPlaying(control.core()));
    return ReturnBool(result, control.settings().playing);
}

KELPO_MEMBER_HANDLER(PutPlaying) {
    bool playing = BoolArgument(arguments[0]);
    control.settings().playing = playing;
    if (player::HasMovie(control.core())) {
        if (playing)
            player::Play(control.core());
        else
            player::StopPlay(control.core());
    }
    return S_OK;
}

KELPO_MEMBER_HANDLER(GetQuality) { return ReturnLong(result, control.settings().quality); }

KELPO_MEMBER_HANDLER(PutQuality) {
    long quality = arguments[0].lVal;
    if (quality < 0 || quality > 3) return E_INVALIDARG;
    control.settings().quality = static_cast<int>(quality);
    control.settings().quality2 = QualityName(static_cast<int>(quality));
    return S_OK;
}

KELPO_MEMBER_HANDLER(GetQuality2) { return ReturnText(result, control.settings().quality2); }

KELPO_MEMBER_HANDLER(PutQuality2) {
    std::wstring name = TextArgument(arguments[0]);
    int quality;
    if (!QualityFromName(name, quality)) return E_INVALIDARG;
    control.settings().quality = quality;
    control.settings().quality2 = name;
    return S_OK;
}

KELPO_MEMBER_HANDLER(GetScaleMode) { return ReturnLong(result, control.settings().scaleMode); }

KELPO_MEMBER_HANDLER(PutScaleMode) {
    long mode = arguments[0].lVal;
    if (mode < kScaleShowAll || mode > kScaleNoScale) return E_INVALIDARG;
    control.settings().scaleMode = static_cast<int>(mode);
    control.Invalidate();
    return S_OK;
}

KELPO_MEMBER_HANDLER(GetScale) {
    return ReturnText(result, ScaleModeName(control.settings().scaleMode));
}

KELPO_MEMBER_HANDLER(PutScale) {
    int mode;
    if (!ScaleModeFromName(TextArgument(arguments[0]), mode)) return E_INVALIDARG;
    control.settings().scaleMode = mode;
    control.Invalidate();
    return S_OK;
}

KELPO_MEMBER_HANDLER(GetAlignMode) { return ReturnLong(result, control.settings().alignMode); }

KELPO_MEMBER_HANDLER(PutAlignMode) {
    long mode = arguments[0].lVal;
    if (mode < 0 || mode > 15) return E_INVALIDARG;
    control.settings().alignMode = static_cast<int>(mode);
    control.Invalidate();
    return S_OK;
}

KELPO_MEMBER_HANDLER(GetSAlign) {
    return ReturnText(result, AlignModeText(control.settings().alignMode));
}

KELPO_MEMBER_HANDLER(PutSAlign) {
    control.settings().alignMode = AlignModeFromText(TextArgument(arguments[0]));
    control.Invalidate();
    return S_OK;
}

KELPO_MEMBER_HANDLER(GetBackgroundColor) {
    long color = control.settings().backgroundColor;
    if (color < 0 && player::HasMovie(control.core()))
        color = static_cast<long>(player::GetMovieInfo(control.core()).background & 0xFFFFFF);
    return ReturnLong(result, color);
}

KELPO_MEMBER_HANDLER(PutBackgroundColor) {
    long color = arguments[0].lVal;
    if (color < -1 || color > 0xFFFFFF) return E_INVALIDARG;
    control.settings().backgroundColor = color;
    control.Invalidate();
    return S_OK;
}

KELPO_MEMBER_HANDLER(GetBGColor) {
    return ReturnText(result, ColorText(control.settings().backgroundColor));
}

KELPO_MEMBER_HANDLER(PutBGColor) {
    long color;
    if (!ColorFromText(TextArgument(arguments[0]), color)) return E_INVALIDARG;
    control.settings().backgroundColor = color;
    control.Invalidate();
    return S_OK;
}

KELPO_MEMBER_HANDLER(GetLoop) { return ReturnBool(result, control.settings().loop); }

KELPO_MEMBER_HANDLER(PutLoop) {
    control.settings().loop = BoolArgument(arguments[0]);
    player::SetLoop(control.core(), control.settings().loop);
    return S_OK;
}

KELPO_MEMBER_HANDLER(GetMenu) { return ReturnBool(result, control.settings().menu); }

KELPO_MEMBER_HANDLER(PutMenu) {
    control.settings().menu = BoolArgument(arguments[0]);
    return S_OK;
}

KELPO_MEMBER_HANDLER(GetDeviceFont) { return ReturnBool(result, control.settings().deviceFont); }

KELPO_MEMBER_HANDLER(PutDeviceFont) {
    control.settings().deviceFont = BoolArgument(arguments[0]);
    return S_OK;
}

KELPO_MEMBER_HANDLER(GetEmbedMovie) { return ReturnBool(result, control.settings().embedMovie); }

KELPO_MEMBER_HANDLER(PutEmbedMovie) {
    control.settings().embedMovie = BoolArgument(arguments[0]);
    return S_OK;
}

KELPO_MEMBER_HANDLER(GetWMode) { return ReturnText(result, control.settings().wmode); }

KELPO_MEMBER_HANDLER(PutWMode) { return PutStored(control.settings().wmode, arguments); }

KELPO_MEMBER_HANDLER(GetBase) { return ReturnText(result, control.settings().base); }

KELPO_MEMBER_HANDLER(PutBase) { return PutStored(control.settings().base, arguments); }

KELPO_MEMBER_HANDLER(GetSWRemote) { return ReturnText(result, control.settings().swRemote); }

KELPO_MEMBER_HANDLER(PutSWRemote) { return PutStored(control.settings().swRemote, arguments); }

KELPO_MEMBER_HANDLER(GetFlashVars) { return ReturnText(result, control.settings().flashVars); }

// The variables reach the movie when the next one loads.
KELPO_MEMBER_HANDLER(PutFlashVars) { return PutStored(control.settings().flashVars, arguments); }

KELPO_MEMBER_HANDLER(GetAllowScriptAccess) {
    return ReturnText(result, control.settings().allowScriptAccess);
}

KELPO_MEMBER_HANDLER(PutAllowScriptAccess) {
    return PutStored(control.settings().allowScriptAccess, arguments);
}

KELPO_MEMBER_HANDLER(GetMovieData) { return ReturnText(result, control.settings().movieData); }

KELPO_MEMBER_HANDLER(PutMovieData) { return PutStored(control.settings().movieData, arguments); }

}  // namespace kelpo::control
