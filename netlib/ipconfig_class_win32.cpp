// The IPConfig class (Windows only): the network interface table as
// Inet.getIPConfig read it, one record per interface. Each method takes an
// interface's position; a position that is missing, no Integer or out of
// range gives Null. An IPConfig constructed by a script holds no table and
// answers none of its members.
#include <new>
#include <string>
#include <utility>

#include "corelib/callback_roots.h"
#include "netlib/classes.h"
#include "netlib/ipconfig_win32.h"
#include "runtime/array.h"
#include "runtime/atoms.h"
#include "runtime/class_kit.h"
#include "runtime/errors.h"
#include "runtime/native_args.h"

namespace kelpo {
namespace {

// The class, kept where scripts cannot replace it.
const char kClassGlobal[] = "IPConfig class";

struct IPConfigData {
    InterfaceTable* table;  // null for an instance made by a script
};

enum Method { kIfType, kIfIP, kIfIPMask, kIfDefaultGateway, kIfMac, kIfDesc };
const MemberRow kMethods[] = {
    {"ifType",
     "ifType(n) -> String: the type of interface n: \"other\", \"ethernet\", \"token ring\", "
     "\"fddi\", \"ppp\", \"loopback\", \"slip\", or \"\" for any other; Null for no such "
     "interface"},
    {"ifIP", "ifIP(n) -> Array: the IPv4 addresses of interface n as dotted Strings (at most two)"},
    {"ifIPMask", "ifIPMask(n) -> Array: the subnet masks of interface n, in the order of ifIP"},
    {"ifDefaultGateway",
     "ifDefaultGateway(n) -> String: the default gateway of interface n, \"\" when it has none"},
    {"ifMac",
     "ifMac(n) -> String: the physical address of interface n as upper-case hexadecimal pairs "
     "joined by \"-\""},
    {"ifDesc", "ifDesc(n) -> String: the description of interface n"},
};

enum Property { kIfNum };
const MemberRow kProperties[] = {
    {"ifNum", "Integer, read-only: the number of interfaces"},
};

InterfaceTable* TableOf(void* data) {
    return data != nullptr ? static_cast<IPConfigData*>(data)->table : nullptr;
}

Value AddressList(ScriptContext* context, const uint32_t* addresses, int32_t count) {
    Value list = NewArray(context, 0);
    CallbackRoots roots(context);
    roots.Push(list);
    if (count < 0) count = 0;
    if (count > kMaxInterfaceAddresses) count = kMaxInterfaceAddresses;
    for (int32_t i = 0; i < count; ++i)
        ArraySet(context, list, AnsiString(context, DottedAddressText(addresses[i])),
                 static_cast<uint64_t>(i));
    // ArraySet leaves the length to its caller.
    list.array->length = static_cast<uint64_t>(count);
    return list;
}

int IPConfigMethod(ScriptContext* context, NativeClass*, void* data, int member, Value* out,
                   Value* args) {
    InterfaceTable* table = TableOf(data);
    if (table == nullptr) return 0;
    const int64_t n = IntegerArg(args, 1, -1);
    if (n < 0 || static_cast<uint64_t>(n) >= table->interfaces.size()) {
        *out = MakeNull();
        return 1;
    }
    const InterfaceRecord& record = table->interfaces[static_cast<size_t>(n)];
    switch (member) {
        case kIfType: *out = AnsiString(context, InterfaceTypeName(record.ifType)); break;
        case kIfIP: *out = AddressList(context, record.ip, record.ipCount); break;
        case kIfIPMask: *out = AddressList(context, record.mask, record.maskCount); break;
        case kIfDefaultGateway:
            *out = AnsiString(
                context, record.hasGateway ? DottedAddressText(record.gateway) : std::string());
            break;
        case kIfMac:
            *out = AnsiString(
                context, PhysicalAddressText(record.mac, static_cast<size_t>(record.macLength)));
            break;
        case kIfDesc: *out = AnsiString(context, record.description); break;
    }
    return 1;
}

int IPConfigProperty(ScriptContext*, NativeClass*, void* data, int, int isSet, Value* io) {
    InterfaceTable* table = TableOf(data);
    if (table == nullptr) return 0;
    if (!isSet) *io = MakeInteger(static_cast<int64_t>(table->interfaces.size()));
    return 1;
}

void ConstructIPConfig(ScriptContext* context, NativeClass* klass, Value*, Value* out) {
    NewInstanceOf<IPConfigData>(context, klass, out);
}

void FinalizeIPConfig(NativeClass*, void* data) {
    auto* self = static_cast<IPConfigData*>(data);
    if (self == nullptr) return;
    delete self->table;
    self->table = nullptr;
}

const ClassSpec kIPConfigClass = {
    .name = "IPConfig",
    .text = u"[object IPConfig]",
    .about =
        "The network interface table, read through the SNMP agent by Inet.getIPConfig; "
        "interfaces are numbered from 0.",
    .methods = kMethods,
    .method = IPConfigMethod,
    .properties = kProperties,
    .property = IPConfigProperty,
    .construct = ConstructIPConfig,
    .finalize = FinalizeIPConfig,
    .instanceSize = sizeof(IPConfigData),
};

}  // namespace

Value NewIPConfig(ScriptContext* context, InterfaceTable table) {
    Value holder = GetGlobal(context, kClassGlobal);
    if (holder.tag != ValueTag::Native || ClassSpecOf(holder.native->klass) != &kIPConfigClass)
        return MakeNull();
    auto* owned = new (std::nothrow) InterfaceTable(std::move(table));
    if (owned == nullptr) return MakeNull();
    Value out;
    IPConfigData* self = nullptr;
    if (!CatchRaise(context, [&] {
            self = NewInstanceOf<IPConfigData>(context, holder.native->klass, &out);
        })) {
        delete owned;
        return MakeNull();
    }
    self->table = owned;
    return out;
}

void RegisterIPConfigClass(ScriptContext* context) {
    DefineClass(context, kIPConfigClass);
    SetGlobal(context, kClassGlobal, GetGlobal(context, kIPConfigClass.name));
}

}  // namespace kelpo
