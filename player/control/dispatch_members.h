// The control's dispatch interface as one table: every property and method
// with its published name, dispatch ID, types and handlers. IDispatch
// (dispatch.cpp) and the type information (type_info.cpp) both read it.
#pragma once

#include <ocidl.h>

#include <cstddef>

namespace kelpo::control {

class PlayerControl;

// Arguments arrive coerced to their declared types, in declaration order
// (VT_INT parameters arrive as VT_I4). `result` is an empty VARIANT to fill.
using MemberHandler = HRESULT (*)(PlayerControl& control, const VARIANT* arguments,
                                  VARIANT* result);

enum class MemberKind { Property, ReadOnlyProperty, Method };

struct MemberParameter {
    const wchar_t* name;
    VARTYPE type;  // VT_BSTR, VT_I4, VT_INT, VT_BOOL or VT_R8
};

constexpr int kMaxParameters = 4;

struct DispatchMember {
    const wchar_t* name;
    DISPID id;
    MemberKind kind;
    VARTYPE type;  // a property's type, a method's result (VT_EMPTY: none)
    int parameterCount;
    MemberParameter parameters[kMaxParameters];
    MemberHandler get;  // property get, or the method itself
    MemberHandler put;  // property put
};

const DispatchMember* DispatchMembers(size_t& count);
const DispatchMember* FindMember(DISPID id);
// Names compare without regard to case.
const DispatchMember* FindMember(const wchar_t* name);

}  // namespace kelpo::control
