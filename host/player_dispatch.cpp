// IDispatch calls into the player control.
#include "host/player_dispatch.h"

#include <vector>

namespace kelpo {

namespace {

BSTR AnsiToBstr(const std::string& ansi) {
    int length =
        MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    BSTR text = SysAllocStringLen(nullptr, length);
    if (text && length)
        MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), text, length);
    return text;
}

}  // namespace

std::string BstrToAnsi(BSTR text) {
    if (!text) return std::string();
    int units = static_cast<int>(SysStringLen(text));
    int length = WideCharToMultiByte(CP_ACP, 0, text, units, nullptr, 0, nullptr, nullptr);
    std::string ansi(length, '\0');
    if (length) WideCharToMultiByte(CP_ACP, 0, text, units, &ansi[0], length, nullptr, nullptr);
    return ansi;
}

HRESULT PutPlayerProperty(IDispatch* player, DISPID id, const VARIANT& value) {
    if (!player) return E_POINTER;
    VARIANT argument = value;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&argument, &named, 1, 1};
    return player->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr,
                          nullptr, nullptr);
}

HRESULT GetPlayerProperty(IDispatch* player, DISPID id, VARIANT& value) {
    VariantInit(&value);
    if (!player) return E_POINTER;
    DISPPARAMS params{nullptr, nullptr, 0, 0};
    return player->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &params, &value,
                          nullptr, nullptr);
}

HRESULT CallPlayerMethod(IDispatch* player, DISPID id, const VARIANT* arguments, UINT count,
                         VARIANT* result) {
    if (!player) return E_POINTER;
    // Invoke takes the arguments last to first.
    std::vector<VARIANT> reversed(arguments, arguments + count);
    for (UINT i = 0; i < count / 2; ++i) std::swap(reversed[i], reversed[count - 1 - i]);
    DISPPARAMS params{reversed.data(), nullptr, count, 0};
    VARIANT ignored;
    VariantInit(&ignored);
    HRESULT hr = player->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                result ? result : &ignored, nullptr, nullptr);
    VariantClear(&ignored);
    return hr;
}

HRESULT PutPlayerBool(IDispatch* player, DISPID id, bool value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BOOL;
    v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return PutPlayerProperty(player, id, v);
}

HRESULT PutPlayerLong(IDispatch* player, DISPID id, long value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return PutPlayerProperty(player, id, v);
}

HRESULT PutPlayerText(IDispatch* player, DISPID id, const std::string& ansi) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = AnsiToBstr(ansi);
    HRESULT hr = PutPlayerProperty(player, id, v);
    VariantClear(&v);
    return hr;
}

bool GetPlayerBool(IDispatch* player, DISPID id) {
    VARIANT v;
    if (FAILED(GetPlayerProperty(player, id, v))) return false;
    bool result = SUCCEEDED(VariantChangeType(&v, &v, 0, VT_BOOL)) && v.boolVal != VARIANT_FALSE;
    VariantClear(&v);
    return result;
}

long GetPlayerLong(IDispatch* player, DISPID id, long fallback) {
    VARIANT v;
    if (FAILED(GetPlayerProperty(player, id, v))) return fallback;
    long result = SUCCEEDED(VariantChangeType(&v, &v, 0, VT_I4)) ? v.lVal : fallback;
    VariantClear(&v);
    return result;
}

std::string GetPlayerText(IDispatch* player, DISPID id) {
    VARIANT v;
    if (FAILED(GetPlayerProperty(player, id, v))) return std::string();
    std::string result =
        SUCCEEDED(VariantChangeType(&v, &v, 0, VT_BSTR)) ? BstrToAnsi(v.bstrVal) : std::string();
    VariantClear(&v);
    return result;
}

}  // namespace kelpo
