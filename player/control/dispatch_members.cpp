// The member table of the control's dispatch interface.
#include "player/control/dispatch_members.h"

#include <cwchar>

#include "player/control/member_handlers.h"

namespace kelpo::control {

namespace {

using K = MemberKind;

const DispatchMember kMembers[] = {
    // Properties.
    {L"ReadyState", -525, K::ReadOnlyProperty, VT_I4, 0, {}, GetReadyState, nullptr},
    {L"TotalFrames", 124, K::ReadOnlyProperty, VT_I4, 0, {}, GetTotalFrames, nullptr},
    {L"Playing", 125, K::Property, VT_BOOL, 0, {}, GetPlaying, PutPlaying},
    {L"Quality", 105, K::Property, VT_INT, 0, {}, GetQuality, PutQuality},
    {L"ScaleMode", 120, K::Property, VT_INT, 0, {}, GetScaleMode, PutScaleMode},
    {L"AlignMode", 121, K::Property, VT_INT, 0, {}, GetAlignMode, PutAlignMode},
    {L"BackgroundColor", 123, K::Property, VT_I4, 0, {}, GetBackgroundColor, PutBackgroundColor},
    {L"Loop", 106, K::Property, VT_BOOL, 0, {}, GetLoop, PutLoop},
    {L"Movie", 102, K::Property, VT_BSTR, 0, {}, GetMovie, PutMovie},
    {L"FrameNum", 107, K::Property, VT_I4, 0, {}, GetFrameNum, PutFrameNum},
    {L"WMode", 133, K::Property, VT_BSTR, 0, {}, GetWMode, PutWMode},
    {L"SAlign", 134, K::Property, VT_BSTR, 0, {}, GetSAlign, PutSAlign},
    {L"Menu", 135, K::Property, VT_BOOL, 0, {}, GetMenu, PutMenu},
    {L"Base", 136, K::Property, VT_BSTR, 0, {}, GetBase, PutBase},
    {L"Scale", 137, K::Property, VT_BSTR, 0, {}, GetScale, PutScale},
    {L"DeviceFont", 138, K::Property, VT_BOOL, 0, {}, GetDeviceFont, PutDeviceFont},
    {L"EmbedMovie", 139, K::Property, VT_BOOL, 0, {}, GetEmbedMovie, PutEmbedMovie},
    {L"BGColor", 140, K::Property, VT_BSTR, 0, {}, GetBGColor, PutBGColor},
    {L"Quality2", 141, K::Property, VT_BSTR, 0, {}, GetQuality2, PutQuality2},
    {L"SWRemote", 159, K::Property, VT_BSTR, 0, {}, GetSWRemote, PutSWRemote},
    {L"FlashVars", 170, K::Property, VT_BSTR, 0, {}, GetFlashVars, PutFlashVars},
    {L"AllowScriptAccess", 171, K::Property, VT_BSTR, 0, {}, GetAllowScriptAccess, PutAllowScriptAccess},
    {L"MovieData", 190, K::Property, VT_BSTR, 0, {}, GetMovieData, PutMovieData},

    // Methods.
    {L"SetZoomRect", 109, K::Method, VT_EMPTY, 4,
     {{L"left", VT_I4}, {L"top", VT_I4}, {L"right", VT_I4}, {L"bottom", VT_I4}}, CallSetZoomRect, nullptr},
    {L"Zoom", 118, K::Method, VT_EMPTY, 1, {{L"factor", VT_INT}}, CallZoom, nullptr},
    {L"Pan", 119, K::Method, VT_EMPTY, 3, {{L"x", VT_I4}, {L"y", VT_I4}, {L"mode", VT_INT}}, CallPan, nullptr},
    {L"Play", 112, K::Method, VT_EMPTY, 0, {}, CallPlay, nullptr},
    {L"Stop", 113, K::Method, VT_EMPTY, 0, {}, CallStop, nullptr},
    {L"Back", 114, K::Method, VT_EMPTY, 0, {}, CallBack, nullptr},
    {L"Forward", 115, K::Method, VT_EMPTY, 0, {}, CallForward, nullptr},
    {L"Rewind", 116, K::Method, VT_EMPTY, 0, {}, CallRewind, nullptr},
    {L"StopPlay", 126, K::Method, VT_EMPTY, 0, {}, CallStop, nullptr},
    {L"GotoFrame", 127, K::Method, VT_EMPTY, 1, {{L"FrameNum", VT_I4}}, CallGotoFrame, nullptr},
    {L"CurrentFrame", 128, K::Method, VT_I4, 0, {}, CallCurrentFrame, nullptr},
    {L"IsPlaying", 129, K::Method, VT_BOOL, 0, {}, CallIsPlaying, nullptr},
    {L"PercentLoaded", 130, K::Method, VT_I4, 0, {}, CallPercentLoaded, nullptr},
    {L"FrameLoaded", 131, K::Method, VT_BOOL, 1, {{L"FrameNum", VT_I4}}, CallFrameLoaded, nullptr},
    {L"FlashVersion", 132, K::Method, VT_I4, 0, {}, CallFlashVersion, nullptr},
    {L"LoadMovie", 142, K::Method, VT_EMPTY, 2, {{L"layer", VT_INT}, {L"url", VT_BSTR}}, CallLoadMovie, nullptr},
    {L"TGotoFrame", 143, K::Method, VT_EMPTY, 2, {{L"target", VT_BSTR}, {L"FrameNum", VT_I4}}, CallTGotoFrame,
     nullptr},
    {L"TGotoLabel", 144, K::Method, VT_EMPTY, 2, {{L"target", VT_BSTR}, {L"label", VT_BSTR}}, CallTGotoLabel,
     nullptr},
    {L"TCurrentFrame", 145, K::Method, VT_I4, 1, {{L"target", VT_BSTR}}, CallTCurrentFrame, nullptr},
    {L"TCurrentLabel", 146, K::Method, VT_BSTR, 1, {{L"target", VT_BSTR}}, CallTCurrentLabel, nullptr},
    {L"TPlay", 147, K::Method, VT_EMPTY, 1, {{L"target", VT_BSTR}}, CallTPlay, nullptr},
    {L"TStopPlay", 148, K::Method, VT_EMPTY, 1, {{L"target", VT_BSTR}}, CallTStopPlay, nullptr},
    {L"SetVariable", 108, K::Method, VT_EMPTY, 2, {{L"name", VT_BSTR}, {L"value", VT_BSTR}}, CallSetVariable,
     nullptr},
    {L"GetVariable", 152, K::Method, VT_BSTR, 1, {{L"name", VT_BSTR}}, CallGetVariable, nullptr},
    {L"TSetProperty", 153, K::Method, VT_EMPTY, 3,
     {{L"target", VT_BSTR}, {L"property", VT_INT}, {L"value", VT_BSTR}}, CallTSetProperty, nullptr},
    {L"TGetProperty", 154, K::Method, VT_BSTR, 2, {{L"target", VT_BSTR}, {L"property", VT_INT}},
     CallTGetProperty, nullptr},
    {L"TCallFrame", 155, K::Method, VT_EMPTY, 2, {{L"target", VT_BSTR}, {L"FrameNum", VT_INT}}, CallTCallFrame,
     nullptr},
    {L"TCallLabel", 156, K::Method, VT_EMPTY, 2, {{L"target", VT_BSTR}, {L"label", VT_BSTR}}, CallTCallLabel,
     nullptr},
    {L"TSetPropertyNum", 157, K::Method, VT_EMPTY, 3,
     {{L"target", VT_BSTR}, {L"property", VT_INT}, {L"value", VT_R8}}, CallTSetPropertyNum, nullptr},
    {L"TGetPropertyNum", 158, K::Method, VT_R8, 2, {{L"target", VT_BSTR}, {L"property", VT_INT}},
     CallTGetPropertyNum, nullptr},
    {L"TGetPropertyAsNumber", 172, K::Method, VT_R8, 2, {{L"target", VT_BSTR}, {L"property", VT_INT}},
     CallTGetPropertyNum, nullptr},
};

}  // namespace

const DispatchMember* DispatchMembers(size_t& count) {
    count = sizeof kMembers / sizeof kMembers[0];
    return kMembers;
}

const DispatchMember* FindMember(DISPID id) {
    for (const DispatchMember& member : kMembers)
        if (member.id == id) return &member;
    return nullptr;
}

const DispatchMember* FindMember(const wchar_t* name) {
    if (!name) return nullptr;
    for (const DispatchMember& member : kMembers)
        if (_wcsicmp(member.name, name) == 0) return &member;
    return nullptr;
}

}  // namespace kelpo::control
