#include "netlib/interface_table.h"

#include <cstdio>
#include <cstring>

namespace kelpo {

const char* InterfaceTypeName(int32_t type) {
    static const struct {
        int32_t type;
        const char* name;
    } kNames[] = {
        {1, "other"}, {6, "ethernet"},  {9, "token ring"}, {15, "fddi"},
        {23, "ppp"},  {24, "loopback"}, {28, "slip"},
    };
    for (const auto& entry : kNames)
        if (entry.type == type) return entry.name;
    return "";
}

std::string PhysicalAddressText(const uint8_t* bytes, size_t length) {
    std::string text;
    for (size_t i = 0; i < length; ++i) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02X", bytes[i]);
        if (i > 0) text.push_back('-');
        text += pair;
    }
    return text;
}

std::string DottedAddressText(uint32_t networkOrder) {
    uint8_t b[4];
    std::memcpy(b, &networkOrder, 4);
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", b[0], b[1], b[2], b[3]);
    return text;
}

bool AddInterfaceAddress(InterfaceTable* table, int32_t ifIndex, uint32_t address, uint32_t mask) {
    for (InterfaceRecord& record : table->interfaces) {
        if (record.ifIndex != ifIndex) continue;
        if (record.ipCount >= kMaxInterfaceAddresses) return false;
        record.ip[record.ipCount++] = address;
        record.mask[record.maskCount++] = mask;
        return true;
    }
    return false;
}

bool AddDefaultRoute(InterfaceTable* table, int32_t ifIndex, uint32_t destination,
                     uint32_t nextHop) {
    if (destination != 0) return false;
    for (InterfaceRecord& record : table->interfaces) {
        if (record.ifIndex != ifIndex) continue;
        record.hasGateway = 1;
        record.gateway = nextHop;
        return true;
    }
    return false;
}

}  // namespace kelpo
