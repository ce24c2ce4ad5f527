// The network interface table behind an IPConfig object, as read from the
// MIB-II tables of the system's SNMP agent, and the texts it is shown as.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kelpo {

constexpr int kMaxInterfaceAddresses = 2;
constexpr size_t kMaxPhysicalAddress = 16;
constexpr size_t kMaxInterfaceDescription = 255;

struct InterfaceRecord {
    int32_t ifIndex = 0;
    int32_t ifType = 0;
    int32_t ifSpeed = 0;
    int32_t ifOperStatus = 0;
    int32_t ipCount = 0;
    uint32_t ip[kMaxInterfaceAddresses] = {};  // network order
    int32_t maskCount = 0;
    uint32_t mask[kMaxInterfaceAddresses] = {};  // in the order of ip
    int32_t hasGateway = 0;
    uint32_t gateway = 0;  // the default route's next hop
    int32_t macLength = 0;
    uint8_t mac[kMaxPhysicalAddress] = {};
    std::string description;  // at most 255 characters
};

struct InterfaceTable {
    std::vector<InterfaceRecord> interfaces;
};

// The MIB-II name of an interface type: "ethernet" for 6, "loopback" for
// 24 and the others of the table; the empty text for any other number.
const char* InterfaceTypeName(int32_t type);

// The physical address as upper-case hexadecimal pairs joined by "-"
// ("00-A0-C9-14-C8-29"); empty for no bytes.
std::string PhysicalAddressText(const uint8_t* bytes, size_t length);

// An IPv4 address held in network order (its first byte first in memory)
// as a dotted text.
std::string DottedAddressText(uint32_t networkOrder);

// Adds an address with its mask to the interface whose ifIndex matches,
// while it holds fewer than two; a default route (destination 0.0.0.0)
// sets that interface's gateway. Answers whether an interface took it.
bool AddInterfaceAddress(InterfaceTable* table, int32_t ifIndex, uint32_t address, uint32_t mask);
bool AddDefaultRoute(InterfaceTable* table, int32_t ifIndex, uint32_t destination,
                     uint32_t nextHop);

}  // namespace kelpo
