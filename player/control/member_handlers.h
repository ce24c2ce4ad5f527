// The handlers behind the dispatch table, grouped by what they reach:
// settings_members.cpp (stored settings), movie_members.cpp (loading, the
// timeline and the view), script_members.cpp (targets and variables).
#pragma once

#include "player/control/dispatch_members.h"

#include <string>

namespace kelpo::control {

#define KELPO_MEMBER_HANDLER(name) \
    HRESULT name(PlayerControl& control, const VARIANT* arguments, VARIANT* result)

// Results.
HRESULT ReturnLong(VARIANT* result, long value);
HRESULT ReturnBool(VARIANT* result, bool value);
HRESULT ReturnDouble(VARIANT* result, double value);
HRESULT ReturnText(VARIANT* result, const std::wstring& text);
HRESULT ReturnUtf8(VARIANT* result, const std::string& text);
std::wstring TextArgument(const VARIANT& argument);
std::string Utf8Argument(const VARIANT& argument);
bool BoolArgument(const VARIANT& argument);

// settings_members.cpp
KELPO_MEMBER_HANDLER(GetReadyState);
KELPO_MEMBER_HANDLER(GetPlaying);
KELPO_MEMBER_HANDLER(PutPlaying);
KELPO_MEMBER_HANDLER(GetQuality);
KELPO_MEMBER_HANDLER(PutQuality);
KELPO_MEMBER_HANDLER(GetQuality2);
KELPO_MEMBER_HANDLER(PutQuality2);
KELPO_MEMBER_HANDLER(GetScaleMode);
KELPO_MEMBER_HANDLER(PutScaleMode);
KELPO_MEMBER_HANDLER(GetScale);
KELPO_MEMBER_HANDLER(PutScale);
KELPO_MEMBER_HANDLER(GetAlignMode);
KELPO_MEMBER_HANDLER(PutAlignMode);
KELPO_MEMBER_HANDLER(GetSAlign);
KELPO_MEMBER_HANDLER(PutSAlign);
KELPO_MEMBER_HANDLER(GetBackgroundColor);
KELPO_MEMBER_HANDLER(PutBackgroundColor);
KELPO_MEMBER_HANDLER(GetBGColor);
KELPO_MEMBER_HANDLER(PutBGColor);
KELPO_MEMBER_HANDLER(GetLoop);
KELPO_MEMBER_HANDLER(PutLoop);
KELPO_MEMBER_HANDLER(GetMenu);
KELPO_MEMBER_HANDLER(PutMenu);
KELPO_MEMBER_HANDLER(GetDeviceFont);
KELPO_MEMBER_HANDLER(PutDeviceFont);
KELPO_MEMBER_HANDLER(GetEmbedMovie);
KELPO_MEMBER_HANDLER(PutEmbedMovie);
KELPO_MEMBER_HANDLER(GetWMode);
KELPO_MEMBER_HANDLER(PutWMode);
KELPO_MEMBER_HANDLER(GetBase);
KELPO_MEMBER_HANDLER(PutBase);
KELPO_MEMBER_HANDLER(GetSWRemote);
KELPO_MEMBER_HANDLER(PutSWRemote);
KELPO_MEMBER_HANDLER(GetFlashVars);
KELPO_MEMBER_HANDLER(PutFlashVars);
KELPO_MEMBER_HANDLER(GetAllowScriptAccess);
KELPO_MEMBER_HANDLER(PutAllowScriptAccess);
KELPO_MEMBER_HANDLER(GetMovieData);
KELPO_MEMBER_HANDLER(PutMovieData);

// movie_members.cpp
KELPO_MEMBER_HANDLER(GetMovie);
KELPO_MEMBER_HANDLER(PutMovie);
KELPO_MEMBER_HANDLER(GetTotalFrames);
KELPO_MEMBER_HANDLER(GetFrameNum);
KELPO_MEMBER_HANDLER(PutFrameNum);
KELPO_MEMBER_HANDLER(CallSetZoomRect);
KELPO_MEMBER_HANDLER(CallZoom);
KELPO_MEMBER_HANDLER(CallPan);
KELPO_MEMBER_HANDLER(CallPlay);
KELPO_MEMBER_HANDLER(CallStop);
KELPO_MEMBER_HANDLER(CallBack);
KELPO_MEMBER_HANDLER(CallForward);
KELPO_MEMBER_HANDLER(CallRewind);
KELPO_MEMBER_HANDLER(CallGotoFrame);
KELPO_MEMBER_HANDLER(CallCurrentFrame);
KELPO_MEMBER_HANDLER(CallIsPlaying);
KELPO_MEMBER_HANDLER(CallPercentLoaded);
KELPO_MEMBER_HANDLER(CallFrameLoaded);
KELPO_MEMBER_HANDLER(CallFlashVersion);
KELPO_MEMBER_HANDLER(CallLoadMovie);

// script_members.cpp
KELPO_MEMBER_HANDLER(CallTGotoFrame);
KELPO_MEMBER_HANDLER(CallTGotoLabel);
KELPO_MEMBER_HANDLER(CallTCurrentFrame);
KELPO_MEMBER_HANDLER(CallTCurrentLabel);
KELPO_MEMBER_HANDLER(CallTPlay);
KELPO_MEMBER_HANDLER(CallTStopPlay);
KELPO_MEMBER_HANDLER(CallSetVariable);
KELPO_MEMBER_HANDLER(CallGetVariable);
KELPO_MEMBER_HANDLER(CallTSetProperty);
KELPO_MEMBER_HANDLER(CallTGetProperty);
KELPO_MEMBER_HANDLER(CallTCallFrame);
KELPO_MEMBER_HANDLER(CallTCallLabel);
KELPO_MEMBER_HANDLER(CallTSetPropertyNum);
KELPO_MEMBER_HANDLER(CallTGetPropertyNum);

}  // namespace kelpo::control
