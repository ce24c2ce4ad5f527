// The interface table, read from the system's MIB-II SNMP extension agent
// (inetmib1.dll) with GET-NEXT walks of ifTable, ipAddrTable and
// ipRouteTable (Windows only).
//
// The agent replaces the names and values of the variable bindings it is
// given with its own allocations, so the bindings are made and freed with
// the SNMP helper library (snmpapi.dll) that the agent itself uses. Every
// walk is bounded: a walk ends when a column leaves its table, when the
// agent fails, or after a fixed number of rows, and every value is checked
// for its type and size before it is read.
#include <windows.h>
#include <snmp.h>

#include <cstring>
#include <vector>

#include "netlib/inet_win32.h"

namespace kelpo {
namespace {

// No machine has more interfaces, addresses or routes than this.
constexpr size_t kMaxRows = 4096;

using InitFn = BOOL(WINAPI*)(DWORD, HANDLE*, AsnObjectIdentifier*);
using QueryFn = BOOL(WINAPI*)(BYTE, SnmpVarBindList*, AsnInteger32*, AsnInteger32*);
using OidCpyFn = SNMPAPI(WINAPI*)(AsnObjectIdentifier*, AsnObjectIdentifier*);
using VarBindFreeFn = VOID(WINAPI*)(SnmpVarBind*);
using AnyFreeFn = VOID(WINAPI*)(AsnAny*);

struct SnmpAgent {
    HMODULE agent = nullptr;
    HMODULE helpers = nullptr;
    QueryFn query = nullptr;
    OidCpyFn oidCpy = nullptr;
    VarBindFreeFn varBindFree = nullptr;
    AnyFreeFn anyFree = nullptr;

    ~SnmpAgent() {
        if (agent != nullptr) FreeLibrary(agent);
        if (helpers != nullptr) FreeLibrary(helpers);
    }
};

template <class Fn>
Fn Lookup(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

bool LoadAgent(SnmpAgent* snmp) {
    snmp->helpers = LoadLibraryA("snmpapi.dll");
    snmp->agent = LoadLibraryA("inetmib1.dll");
    if (snmp->helpers == nullptr || snmp->agent == nullptr) return false;
    const InitFn init = Lookup<InitFn>(snmp->agent, "SnmpExtensionInit");
    snmp->query = Lookup<QueryFn>(snmp->agent, "SnmpExtensionQuery");
    snmp->oidCpy = Lookup<OidCpyFn>(snmp->helpers, "SnmpUtilOidCpy");
    snmp->varBindFree = Lookup<VarBindFreeFn>(snmp->helpers, "SnmpUtilVarBindFree");
    snmp->anyFree = Lookup<AnyFreeFn>(snmp->helpers, "SnmpUtilAsnAnyFree");
    if (init == nullptr || snmp->query == nullptr || snmp->oidCpy == nullptr ||
        snmp->varBindFree == nullptr || snmp->anyFree == nullptr)
        return false;
    HANDLE trapEvent = nullptr;
    AsnObjectIdentifier region = {};
    return init(GetTickCount(), &trapEvent, &region) != FALSE;
}

struct Column {
    UINT ids[10];
    UINT length;
};

// A row-by-row GET-NEXT walk of some columns of one table.
class ColumnWalk {
public:
    // The walk starts at `starts` (the columns themselves when null).
    ColumnWalk(const SnmpAgent& snmp, const Column* columns, size_t count,
               const Column* starts = nullptr)
        : snmp_(snmp), columns_(columns), bindings_(count) {
        if (starts == nullptr) starts = columns;
        for (size_t i = 0; i < count; ++i) {
            AsnObjectIdentifier start = {starts[i].length, const_cast<UINT*>(starts[i].ids)};
            if (!snmp.oidCpy(&bindings_[i].name, &start)) ok_ = false;
            bindings_[i].value.asnType = ASN_NULL;
        }
    }
    ~ColumnWalk() {
        for (SnmpVarBind& binding : bindings_) snmp_.varBindFree(&binding);
    }
    ColumnWalk(const ColumnWalk&) = delete;
    ColumnWalk& operator=(const ColumnWalk&) = delete;

    // The next row; false when the agent fails or a column left its table.
    bool Next() {
        if (!ok_ || rows_++ >= kMaxRows) return false;
        for (SnmpVarBind& binding : bindings_) {
            snmp_.anyFree(&binding.value);
            binding.value.asnType = ASN_NULL;
        }
        SnmpVarBindList list = {bindings_.data(), static_cast<UINT>(bindings_.size())};
        AsnInteger32 status = 0, index = 0;
        if (!snmp_.query(SNMP_PDU_GETNEXT, &list, &status, &index) || status != 0)
            return ok_ = false;
        for (size_t i = 0; i < bindings_.size(); ++i) {
            const AsnObjectIdentifier& name = bindings_[i].name;
            if (name.ids == nullptr || name.idLength < columns_[i].length ||
                std::memcmp(name.ids, columns_[i].ids, columns_[i].length * sizeof(UINT)) != 0)
                return ok_ = false;
        }
        return true;
    }

    const AsnAny& Value(size_t column) const { return bindings_[column].value; }

private:
    const SnmpAgent& snmp_;
    const Column* columns_;
    std::vector<SnmpVarBind> bindings_;
    size_t rows_ = 0;
    bool ok_ = true;
};

int32_t IntegerOf(const AsnAny& value) {
    switch (value.asnType) {
        case ASN_INTEGER: return value.asnValue.number;
        case ASN_GAUGE32:
        case ASN_COUNTER32:
        case ASN_TIMETICKS:
        case ASN_UNSIGNED32: return static_cast<int32_t>(value.asnValue.unsigned32);
    }
    return 0;
}

// The bytes of a string or address value, at most `limit` of them.
size_t OctetsOf(const AsnAny& value, uint8_t* out, size_t limit) {
    if (value.asnType != ASN_OCTETSTRING && value.asnType != ASN_IPADDRESS) return 0;
    const AsnOctetString& octets = value.asnValue.string;
    if (octets.stream == nullptr) return 0;
    const size_t count = octets.length < limit ? octets.length : limit;
    std::memcpy(out, octets.stream, count);
    return count;
}

// An IPv4 address value (exactly four bytes), in network order.
bool AddressOf(const AsnAny& value, uint32_t* address) {
    if (value.asnType != ASN_IPADDRESS || value.asnValue.address.length != 4 ||
        value.asnValue.address.stream == nullptr)
        return false;
    std::memcpy(address, value.asnValue.address.stream, 4);
    return true;
}

// ifNumber is asked for as the object after the interfaces group: agents
// answer it as ifNumber.0 (or, as Wine's, as ifNumber itself).
const Column kIfNumber[] = {{{1, 3, 6, 1, 2, 1, 2, 1}, 8}};
const Column kInterfacesGroup[] = {{{1, 3, 6, 1, 2, 1, 2}, 7}};
enum IfColumn { kIfIndex, kIfDescr, kIfType, kIfSpeed, kIfPhysAddress, kIfOperStatus };
const Column kIfTable[] = {
    {{1, 3, 6, 1, 2, 1, 2, 2, 1, 1}, 10}, {{1, 3, 6, 1, 2, 1, 2, 2, 1, 2}, 10},
    {{1, 3, 6, 1, 2, 1, 2, 2, 1, 3}, 10}, {{1, 3, 6, 1, 2, 1, 2, 2, 1, 5}, 10},
    {{1, 3, 6, 1, 2, 1, 2, 2, 1, 6}, 10}, {{1, 3, 6, 1, 2, 1, 2, 2, 1, 8}, 10},
};
// ipAdEntAddr, ipAdEntIfIndex, ipAdEntNetMask.
const Column kIpAddrTable[] = {
    {{1, 3, 6, 1, 2, 1, 4, 20, 1, 1}, 10},
    {{1, 3, 6, 1, 2, 1, 4, 20, 1, 2}, 10},
    {{1, 3, 6, 1, 2, 1, 4, 20, 1, 3}, 10},
};
// ipRouteDest, ipRouteIfIndex, ipRouteNextHop.
const Column kIpRouteTable[] = {
    {{1, 3, 6, 1, 2, 1, 4, 21, 1, 1}, 10},
    {{1, 3, 6, 1, 2, 1, 4, 21, 1, 2}, 10},
    {{1, 3, 6, 1, 2, 1, 4, 21, 1, 7}, 10},
};

void ReadInterfaces(const SnmpAgent& snmp, InterfaceTable* table) {
    size_t count = 0;
    {
        ColumnWalk walk(snmp, kIfNumber, 1, kInterfacesGroup);
        // Without the count the table's own rows tell.
        const int32_t number = walk.Next() ? IntegerOf(walk.Value(0)) : -1;
        count = number < 0                               ? kMaxRows
                : static_cast<size_t>(number) < kMaxRows ? static_cast<size_t>(number)
                                                         : kMaxRows;
    }
    // Each column is walked on its own: an agent that lacks a column (Wine's
    // has no ifPhysAddress) leaves that field empty instead of the table.
    {
        ColumnWalk rows(snmp, &kIfTable[0], 1);
        while (table->interfaces.size() < count && rows.Next()) {
            InterfaceRecord record;
            record.ifIndex = IntegerOf(rows.Value(0));
            table->interfaces.push_back(record);
        }
    }
    for (size_t column = 1; column < sizeof kIfTable / sizeof kIfTable[0]; ++column) {
        ColumnWalk rows(snmp, &kIfTable[column], 1);
        for (InterfaceRecord& record : table->interfaces) {
            if (!rows.Next()) break;
            const AsnAny& value = rows.Value(0);
            switch (column) {
                case kIfDescr: {
                    char text[kMaxInterfaceDescription];
                    const size_t length =
                        OctetsOf(value, reinterpret_cast<uint8_t*>(text), sizeof text);
                    record.description.assign(text, strnlen(text, length));
                    break;
                }
                case kIfType: record.ifType = IntegerOf(value); break;
                case kIfSpeed: record.ifSpeed = IntegerOf(value); break;
                case kIfPhysAddress:
                    record.macLength =
                        static_cast<int32_t>(OctetsOf(value, record.mac, sizeof record.mac));
                    break;
                case kIfOperStatus: record.ifOperStatus = IntegerOf(value); break;
            }
        }
    }
}

void ReadAddresses(const SnmpAgent& snmp, InterfaceTable* table) {
    ColumnWalk rows(snmp, kIpAddrTable, 3);
    while (rows.Next()) {
        uint32_t address, mask;
        if (AddressOf(rows.Value(0), &address) && AddressOf(rows.Value(2), &mask))
            AddInterfaceAddress(table, IntegerOf(rows.Value(1)), address, mask);
    }
}

void ReadDefaultRoutes(const SnmpAgent& snmp, InterfaceTable* table) {
    ColumnWalk rows(snmp, kIpRouteTable, 3);
    while (rows.Next()) {
        uint32_t destination, nextHop;
        if (AddressOf(rows.Value(0), &destination) && AddressOf(rows.Value(2), &nextHop))
            AddDefaultRoute(table, IntegerOf(rows.Value(1)), destination, nextHop);
    }
}

}  // namespace

InterfaceTable ReadInterfaceTable() {
    InterfaceTable table;
    SnmpAgent snmp;
    if (!LoadAgent(&snmp)) return table;
    ReadInterfaces(snmp, &table);
    ReadAddresses(snmp, &table);
    ReadDefaultRoutes(snmp, &table);
    return table;
}

}  // namespace kelpo
