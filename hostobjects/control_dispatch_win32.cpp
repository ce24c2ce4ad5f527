#include "hostobjects/control_dispatch_win32.h"

#include <oleauto.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace kelpo {
namespace {

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

// Invoke takes the arguments last to first.
HRESULT CallMethod(IDispatch* control, DISPID id, const VARIANT* arguments, UINT count,
                   VARIANT* result) {
    std::vector<VARIANT> reversed(arguments, arguments + count);
    for (UINT i = 0; i < count / 2; ++i) std::swap(reversed[i], reversed[count - 1 - i]);
    DISPPARAMS params{reversed.data(), nullptr, count, 0};
    return control->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result,
                           nullptr, nullptr);
}

HRESULT GetProperty(IDispatch* control, DISPID id, VARIANT& value) {
    VariantInit(&value);
    DISPPARAMS params{nullptr, nullptr, 0, 0};
    return control->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &params, &value,
                           nullptr, nullptr);
}

HRESULT PutProperty(IDispatch* control, DISPID id, const VARIANT& value) {
    VARIANT argument = value;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&argument, &named, 1, 1};
    return control->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params,
                           nullptr, nullptr, nullptr);
}

}  // namespace

bool DispatchGet(IDispatch* control, const char* name, ControlValue& out) {
    DISPID id;
    if (control == nullptr || !MemberId(control, name, id)) return false;
    VARIANT value;
    if (FAILED(GetProperty(control, id, value))) return false;
    out = FromVariant(value);
    VariantClear(&value);
    return true;
}

bool DispatchPut(IDispatch* control, const char* name, const ControlValue& value) {
    DISPID id;
    if (control == nullptr || !MemberId(control, name, id)) return false;
    VARIANT v = ToVariant(value);
    const HRESULT hr = PutProperty(control, id, v);
    VariantClear(&v);
    return SUCCEEDED(hr);
}

bool DispatchCall(IDispatch* control, const char* name, const ControlValue* args, int count,
                  ControlValue& out) {
    DISPID id;
    if (control == nullptr || count < 0 || !MemberId(control, name, id)) return false;
    std::vector<VARIANT> arguments;
    for (int i = 0; i < count; ++i) arguments.push_back(ToVariant(args[i]));
    VARIANT result;
    VariantInit(&result);
    const HRESULT hr = CallMethod(control, id, arguments.data(), static_cast<UINT>(count), &result);
    for (VARIANT& argument : arguments) VariantClear(&argument);
    out = FromVariant(result);
    VariantClear(&result);
    return SUCCEEDED(hr);
}

PlayerPort DispatchPlayerPort(IDispatch* control) {
    PlayerPort port;
    port.user = control;
    port.get = [](void* user, const char* name, ControlValue& out) {
        return DispatchGet(static_cast<IDispatch*>(user), name, out);
    };
    port.put = [](void* user, const char* name, const ControlValue& value) {
        return DispatchPut(static_cast<IDispatch*>(user), name, value);
    };
    port.call = [](void* user, const char* name, const ControlValue* args, int count,
                   ControlValue& out) {
        return DispatchCall(static_cast<IDispatch*>(user), name, args, count, out);
    };
    return port;
}

}  // namespace kelpo
