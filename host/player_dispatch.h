// Calls into the player control through its dispatch interface, by the
// dispatch IDs of its published interface (so the installed control and our
// own answer alike).
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>

namespace kelpo {

namespace player_id {
constexpr DISPID kMovie = 102;
constexpr DISPID kLoop = 106;
constexpr DISPID kSetVariable = 108;
constexpr DISPID kPlay = 112;
constexpr DISPID kStop = 113;
constexpr DISPID kBack = 114;
constexpr DISPID kForward = 115;
constexpr DISPID kRewind = 116;
constexpr DISPID kZoom = 118;
constexpr DISPID kScaleMode = 120;
constexpr DISPID kBackgroundColor = 123;
constexpr DISPID kPlaying = 125;
constexpr DISPID kQuality2 = 141;
constexpr DISPID kFSCommand = 150;
constexpr DISPID kGetVariable = 152;
constexpr DISPID kTCallLabel = 156;
}  // namespace player_id

// A BSTR's text in the ANSI code page ("" for null).
std::string BstrToAnsi(BSTR text);

HRESULT PutPlayerProperty(IDispatch* player, DISPID id, const VARIANT& value);
// The property's value in `value` (the caller clears it).
HRESULT GetPlayerProperty(IDispatch* player, DISPID id, VARIANT& value);
// A method with up to three arguments, given in order.
HRESULT CallPlayerMethod(IDispatch* player, DISPID id, const VARIANT* arguments, UINT count,
                         VARIANT* result);

HRESULT PutPlayerBool(IDispatch* player, DISPID id, bool value);
HRESULT PutPlayerLong(IDispatch* player, DISPID id, long value);
HRESULT PutPlayerText(IDispatch* player, DISPID id, const std::string& ansi);
bool GetPlayerBool(IDispatch* player, DISPID id);
long GetPlayerLong(IDispatch* player, DISPID id, long fallback);
std::string GetPlayerText(IDispatch* player, DISPID id);

}  // namespace kelpo
