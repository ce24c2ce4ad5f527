// The player port of the main frame's control: properties and methods by
// name through the control's IDispatch (GetIDsOfNames, then Invoke), so our
// own control and an installed one answer alike.
#include "host/main_player_port.h"

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <vector>

#include "host/host_access.h"
#include "host/main_frame.h"
#include "host/player_dispatch.h"

namespace kelpo {
namespace {

IDispatch* MainControl() {
    CMainFrame* frame = TheMainFrame();
    return frame != nullptr ? frame->Player().Player() : nullptr;
}

bool MemberId(IDispatch* control, const char* name, DISPID& id) {
    std::wstring wide(name, name + strlen(name));  // member names are ASCII
    LPOLESTR names[1] = {&wide[0]};
    return SUCCEEDED(control->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
}

VARIANT ToVariant(const ControlValue& value) {
    VARIANT v;
    VariantInit(&v);
    switch (value.kind) {
        case ControlValue::Kind::Boolean:
            v.vt = VT_BOOL;
            v.boolVal = value.boolean ? VARIANT_TRUE : VARIANT_FALSE;
            break;
        case ControlValue::Kind::Integer:
            v.vt = VT_I4;
            v.lVal = value.integer;
            break;
        case ControlValue::Kind::Float:
            v.vt = VT_R8;
            v.dblVal = value.number;
            break;
        case ControlValue::Kind::Text:
            v.vt = VT_BSTR;
            v.bstrVal = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(value.text.data()),
                                          static_cast<UINT>(value.text.size()));
            break;
        default: break;
    }
    return v;
}

ControlValue FromVariant(VARIANT& v) {
    switch (v.vt) {
        case VT_EMPTY:
        case VT_NULL: return ControlValue();
        case VT_BOOL: return ControlValue::OfBoolean(v.boolVal != VARIANT_FALSE);
        case VT_R4:
        case VT_R8:
        case VT_DATE:
        case VT_CY:
        case VT_DECIMAL:
            if (SUCCEEDED(VariantChangeType(&v, &v, 0, VT_R8)))
                return ControlValue::OfFloat(v.dblVal);
            return ControlValue();
        case VT_BSTR: {
            const UINT length = v.bstrVal != nullptr ? SysStringLen(v.bstrVal) : 0;
            return ControlValue::OfText(
                std::u16string(reinterpret_cast<const char16_t*>(v.bstrVal), length));
        }
        default:
            if (SUCCEEDED(VariantChangeType(&v, &v, 0, VT_I4)))
                return ControlValue::OfInteger(v.lVal);
            return ControlValue();
    }
}

bool Get(void*, const char* name, ControlValue& out) {
    IDispatch* control = MainControl();
    DISPID id;
    if (control == nullptr || !MemberId(control, name, id)) return false;
    VARIANT value;
    if (FAILED(GetPlayerProperty(control, id, value))) return false;
    out = FromVariant(value);
    VariantClear(&value);
    return true;
}

bool Put(void*, const char* name, const ControlValue& value) {
    IDispatch* control = MainControl();
    DISPID id;
    if (control == nullptr || !MemberId(control, name, id)) return false;
    VARIANT v = ToVariant(value);
    const HRESULT hr = PutPlayerProperty(control, id, v);
    VariantClear(&v);
    return SUCCEEDED(hr);
}

bool Call(void*, const char* name, const ControlValue* args, int count, ControlValue& out) {
    IDispatch* control = MainControl();
    DISPID id;
    if (control == nullptr || count < 0 || !MemberId(control, name, id)) return false;
    std::vector<VARIANT> arguments;
    for (int i = 0; i < count; ++i) arguments.push_back(ToVariant(args[i]));
    VARIANT result;
    VariantInit(&result);
    const HRESULT hr =
        CallPlayerMethod(control, id, arguments.data(), static_cast<UINT>(count), &result);
    for (VARIANT& argument : arguments) VariantClear(&argument);
    out = FromVariant(result);
    VariantClear(&result);
    return SUCCEEDED(hr);
}

bool MovieSize(void*, int& width, int& height) {
    CMainFrame* frame = TheMainFrame();
    if (frame == nullptr) return false;
    const SIZE size = frame->Player().MovieSize();
    width = size.cx;
    height = size.cy;
    return width > 0 && height > 0;
}

bool ClientSize(void*, int& width, int& height) {
    CMainFrame* frame = TheMainFrame();
    RECT client;
    if (frame == nullptr || !GetClientRect(frame->Player().Handle(), &client)) return false;
    width = client.right - client.left;
    height = client.bottom - client.top;
    return width > 0 && height > 0;
}

const PlayerPort kMainPort = {nullptr, Get, Put, Call, MovieSize, ClientSize};

}  // namespace

const PlayerPort* MainPlayerPort() { return MainControl() != nullptr ? &kMainPort : nullptr; }

}  // namespace kelpo
