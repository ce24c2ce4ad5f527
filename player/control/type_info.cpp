// Type information built from the member table with CreateDispTypeInfo (no
// type library file): IDispatch::GetTypeInfo gives the dispatch interface,
// IProvideClassInfo the class that implements it, and IProvideClassInfo2
// names the event interface as the default source.
#include "player/control/player_control.h"

#include <vector>

#include "player/control/dispatch_members.h"
#include "player/control/identifiers.h"

namespace kelpo::control {

namespace {

// Descriptions of the table that CreateDispTypeInfo reads; they live as
// long as the process, so type infos never outlive them.
struct TypeDescription {
    std::vector<PARAMDATA> parameters;
    std::vector<METHODDATA> methods;
    INTERFACEDATA data{};
};

const TypeDescription& Description() {
    static const TypeDescription description = [] {
        TypeDescription d;
        size_t count = 0;
        const DispatchMember* members = DispatchMembers(count);
        d.parameters.reserve(count * kMaxParameters + count);
        for (size_t m = 0; m < count; ++m) {
            const DispatchMember& member = members[m];
            auto* name = const_cast<OLECHAR*>(member.name);
            UINT methodIndex =
                static_cast<UINT>(d.methods.size()) + 7;  // after IUnknown and IDispatch
            if (member.kind == MemberKind::Method) {
                PARAMDATA* first = d.parameters.data() + d.parameters.size();
                for (int p = 0; p < member.parameterCount; ++p)
                    d.parameters.push_back(
                        PARAMDATA{const_cast<OLECHAR*>(member.parameters[p].name),
                                  member.parameters[p].type});
                d.methods.push_back(METHODDATA{name, member.parameterCount ? first : nullptr,
                                               member.id, methodIndex, CC_STDCALL,
                                               static_cast<UINT>(member.parameterCount),
                                               DISPATCH_METHOD, member.type});
                continue;
            }
            d.methods.push_back(METHODDATA{name, nullptr, member.id, methodIndex, CC_STDCALL, 0,
                                           DISPATCH_PROPERTYGET, member.type});
            if (member.kind == MemberKind::Property) {
                PARAMDATA* value = d.parameters.data() + d.parameters.size();
                d.parameters.push_back(PARAMDATA{const_cast<OLECHAR*>(L"value"), member.type});
                d.methods.push_back(METHODDATA{name, value, member.id, methodIndex + 1, CC_STDCALL,
                                               1, DISPATCH_PROPERTYPUT, VT_EMPTY});
            }
        }
        d.data.pmethdata = d.methods.data();
        d.data.cMembers = static_cast<UINT>(d.methods.size());
        return d;
    }();
    return description;
}

// The class type info; its first implemented interface is the dispatch one.
HRESULT ClassTypeInfo(ITypeInfo** info) {
    return CreateDispTypeInfo(const_cast<INTERFACEDATA*>(&Description().data),
                              LOCALE_SYSTEM_DEFAULT, info);
}

}  // namespace

HRESULT PlayerControl::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

HRESULT PlayerControl::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    try {
        ITypeInfo* typeClass = nullptr;
        HRESULT result = ClassTypeInfo(&typeClass);
        if (FAILED(result)) return result;
        HREFTYPE reference = 0;
        result = typeClass->GetRefTypeOfImplType(0, &reference);
        if (SUCCEEDED(result)) result = typeClass->GetRefTypeInfo(reference, info);
        typeClass->Release();
        return result;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT PlayerControl::GetClassInfo(ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    try {
        return ClassTypeInfo(info);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT PlayerControl::GetGUID(DWORD kind, GUID* guid) {
    if (!guid) return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
    *guid = kEventsInterfaceId;
    return S_OK;
}

}  // namespace kelpo::control
