// IDispatch over the member table: names resolve without regard to case;
// Invoke checks the call's kind and argument count, coerces each argument
// to its declared type with VariantChangeType and runs the handler. A
// handler's failure is the call's result (E_FAIL for a failed load or a
// missing variable); nothing thrown inside reaches the caller.
#include "player/control/player_control.h"

#include <new>

#include "player/control/dispatch_members.h"

namespace kelpo::control {

namespace {

// The coerced arguments, released however the call ends.
class Arguments {
public:
    Arguments() {
        for (VARIANT& value : values_) VariantInit(&value);
    }
    ~Arguments() {
        for (VARIANT& value : values_) VariantClear(&value);
    }
    VARIANT* data() { return values_; }
    VARIANT& operator[](int index) { return values_[index]; }

private:
    VARIANT values_[kMaxParameters];
};

// The VARTYPE an argument is coerced to: int parameters travel as VT_I4.
VARTYPE CoercedType(VARTYPE declared) {
    return declared == VT_INT ? static_cast<VARTYPE>(VT_I4) : declared;
}

HRESULT Coerce(const VARIANT& given, VARTYPE declared, VARIANT& coerced) {
    VARIANT value;
    VariantInit(&value);
    HRESULT result = VariantCopyInd(&value, const_cast<VARIANT*>(&given));
    if (SUCCEEDED(result)) {
        // An omitted or empty text argument is the empty text.
        if (declared == VT_BSTR && (value.vt == VT_EMPTY || value.vt == VT_NULL)) {
            VariantClear(&value);
            value.vt = VT_BSTR;
            value.bstrVal = SysAllocString(L"");
            result = value.bstrVal ? S_OK : E_OUTOFMEMORY;
        }
    }
    if (SUCCEEDED(result))
        result = VariantChangeType(&coerced, &value, VARIANT_ALPHABOOL, CoercedType(declared));
    VariantClear(&value);
    return result;
}

}  // namespace

HRESULT PlayerControl::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!names || !ids) return E_POINTER;
    if (count == 0) return S_OK;
    HRESULT result = S_OK;
    const DispatchMember* member = FindMember(names[0]);
    ids[0] = member ? member->id : DISPID_UNKNOWN;
    if (!member) result = DISP_E_UNKNOWNNAME;
    // Named arguments: the parameter's position, as type libraries number them.
    for (UINT i = 1; i < count; ++i) {
        ids[i] = DISPID_UNKNOWN;
        for (int p = 0; member && p < member->parameterCount; ++p)
            if (names[i] && _wcsicmp(member->parameters[p].name, names[i]) == 0) ids[i] = p;
        if (ids[i] == DISPID_UNKNOWN) result = DISP_E_UNKNOWNNAME;
    }
    return result;
}

HRESULT PlayerControl::Invoke(DISPID id, REFIID interfaceId, LCID, WORD flags, DISPPARAMS* params,
                              VARIANT* result, EXCEPINFO*, UINT* argumentError) {
    if (!IsEqualIID(interfaceId, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    const DispatchMember* member = FindMember(id);
    if (!member) return DISP_E_MEMBERNOTFOUND;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    if (!params) params = &none;
    if (params->cArgs > 0 && !params->rgvarg) return E_INVALIDARG;

    MemberHandler handler = nullptr;
    VARTYPE parameterTypes[kMaxParameters];
    int parameterCount = 0;
    bool isProperty = member->kind != MemberKind::Method;
    if (isProperty && (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF))) {
        if (member->kind == MemberKind::ReadOnlyProperty) return DISP_E_MEMBERNOTFOUND;
        // A put names its value DISPID_PROPERTYPUT; callers that leave the
        // name out are served as well.
        if (params->cNamedArgs > 1 ||
            (params->cNamedArgs == 1 && params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT))
            return DISP_E_PARAMNOTFOUND;
        handler = member->put;
        parameterTypes[0] = member->type;
        parameterCount = 1;
    } else if (isProperty ? (flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD)) != 0
                          : (flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) != 0) {
        handler = member->get;
        parameterCount = isProperty ? 0 : member->parameterCount;
        for (int i = 0; i < parameterCount; ++i) parameterTypes[i] = member->parameters[i].type;
        if (params->cNamedArgs > 0) return DISP_E_NONAMEDARGS;
    } else {
        return DISP_E_MEMBERNOTFOUND;
    }
    if (static_cast<int>(params->cArgs) != parameterCount) return DISP_E_BADPARAMCOUNT;

    try {
        Arguments arguments;
        for (int i = 0; i < parameterCount; ++i) {
            // DISPPARAMS holds the arguments last first.
            UINT position = params->cArgs - 1 - static_cast<UINT>(i);
            if (FAILED(Coerce(params->rgvarg[position], parameterTypes[i], arguments[i]))) {
                if (argumentError) *argumentError = position;
                return DISP_E_TYPEMISMATCH;
            }
        }
        VARIANT value;
        VariantInit(&value);
        AddRef();  // the core's callbacks may let a sink release the control
        HRESULT outcome = handler(*this, arguments.data(), &value);
        Release();
        if (result && SUCCEEDED(outcome)) {
            VariantInit(result);
            *result = value;
        } else {
            VariantClear(&value);
        }
        return outcome;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

}  // namespace kelpo::control
