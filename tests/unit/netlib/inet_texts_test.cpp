// The portable pieces of Inet and IPConfig: ICMP echo messages (the request
// this side sends and replies read within the datagram), header numbers,
// name-server lists, and the interface table's texts and records.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "netlib/http_text.h"
#include "netlib/icmp_echo.h"
#include "netlib/interface_table.h"

namespace kelpo {
namespace {

const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

TEST(IcmpEcho, RequestCarriesItsFieldsAndAChecksumThatSumsToZero) {
    const std::string request = BuildEchoRequest(0x1234, 7, 0xA0B0C0D0);
    ASSERT_EQ(request.size(), kEchoRequestSize);
    EXPECT_EQ(request[0], 8);
    EXPECT_EQ(request[1], 0);
    uint16_t id, sequence;
    uint32_t tick;
    std::memcpy(&id, request.data() + 4, 2);
    std::memcpy(&sequence, request.data() + 6, 2);
    std::memcpy(&tick, request.data() + 8, 4);
    EXPECT_EQ(id, 0x1234);
    EXPECT_EQ(sequence, 7);
    EXPECT_EQ(tick, 0xA0B0C0D0u);
    for (size_t i = 0; i < kEchoDataSize; ++i)
        EXPECT_EQ(request[12 + i], static_cast<char>(32 + i));
    EXPECT_EQ(InternetChecksum(Bytes(request), request.size()), 0);
}

// An echo reply as a raw socket gives it: an IP header of `headerWords`
// 32-bit words (TTL 57), then the ICMP message.
std::string Datagram(int headerWords, const std::string& icmp) {
    std::string header(headerWords * 4, '\0');
    header[0] = static_cast<char>(0x40 | headerWords);
    header[8] = 57;
    return header + icmp;
}

TEST(IcmpEcho, RepliesAreFoundBehindHeadersOfAnyStatedLength) {
    std::string icmp = BuildEchoRequest(0x1234, 3, 99);
    icmp[0] = 0;  // an echo reply
    for (int words : {5, 6, 15}) {
        EchoReply reply = {};
        ASSERT_TRUE(ReadEchoReply(Bytes(Datagram(words, icmp)), Datagram(words, icmp).size(),
                                  0x1234, &reply))
            << words;
        EXPECT_EQ(reply.sequence, 3);
        EXPECT_EQ(reply.tick, 99u);
        EXPECT_EQ(reply.ttl, 57);
    }
    std::string request = BuildEchoRequest(0x1234, 3, 99);  // our own request, looped back
    const struct {
        const char* what;
        std::string datagram;
    } kRefused[] = {
        {"another identifier", Datagram(5, icmp.substr(0, 4) + "\x01\x01" + icmp.substr(6))},
        {"a request", Datagram(5, request)},
        {"header words below 5", Datagram(5, icmp).replace(0, 1, "\x44")},
        {"header longer than the datagram", Datagram(15, "").substr(0, 40)},
        {"ICMP message cut", Datagram(5, icmp.substr(0, 11))},
        {"no IPv4", Datagram(5, icmp).replace(0, 1, "\x65")},
        {"nothing", ""},
    };
    for (const auto& c : kRefused) {
        EchoReply reply;
        EXPECT_FALSE(ReadEchoReply(Bytes(c.datagram), c.datagram.size(), 0x1234, &reply)) << c.what;
    }
}

TEST(HttpText, HeaderNumbersAreDigitsOnly) {
    const struct {
        const char* text;
        int64_t value;
    } kCases[] = {
        {"0", 0},
        {"52428800", 52428800},
        {" 404 ", 404},
        {"\t12", 12},
        {"9007199254740991", 9007199254740991},
        {"9007199254740992", -1},
        {"99999999999999999999999", -1},
        {"", -1},
        {" ", -1},
        {"-1", -1},
        {"+5", -1},
        {"12abc", -1},
        {"1 2", -1},
        {"0x10", -1},
    };
    for (const auto& c : kCases) EXPECT_EQ(ParseHeaderDecimal(c.text), c.value) << c.text;
}

TEST(HttpText, NameServerListsSplitAtSpacesCommasSemicolonsAndTabs) {
    EXPECT_EQ(
        SplitNameServers("10.0.0.1 10.0.0.2,10.0.0.3;10.0.0.4\t10.0.0.5"),
        (std::vector<std::string>{"10.0.0.1", "10.0.0.2", "10.0.0.3", "10.0.0.4", "10.0.0.5"}));
    EXPECT_EQ(SplitNameServers(" ,; 1.2.3.4,,\t"), (std::vector<std::string>{"1.2.3.4"}));
    EXPECT_TRUE(SplitNameServers("").empty());
}

TEST(InterfaceTable, TextsOfTypesAndAddresses) {
    const uint8_t mac[] = {0, 160, 201, 20, 200, 41};
    EXPECT_EQ(PhysicalAddressText(mac, sizeof mac), "00-A0-C9-14-C8-29");
    EXPECT_EQ(PhysicalAddressText(mac, 0), "");
    const uint8_t address[] = {192, 168, 0, 254};
    uint32_t networkOrder;
    std::memcpy(&networkOrder, address, 4);
    EXPECT_EQ(DottedAddressText(networkOrder), "192.168.0.254");
    const struct {
        int32_t type;
        const char* name;
    } kTypes[] = {{1, "other"},     {6, "ethernet"}, {9, "token ring"}, {15, "fddi"}, {23, "ppp"},
                  {24, "loopback"}, {28, "slip"},    {0, ""},           {71, ""},     {-1, ""}};
    for (const auto& t : kTypes) EXPECT_STREQ(InterfaceTypeName(t.type), t.name) << t.type;
}

TEST(InterfaceTable, AddressesAndRoutesGoToTheirInterfaceTwoAddressesAtMost) {
    InterfaceTable table;
    table.interfaces.resize(2);
    table.interfaces[0].ifIndex = 1;
    table.interfaces[1].ifIndex = 7;
    EXPECT_TRUE(AddInterfaceAddress(&table, 7, 0x0100000A, 0x00FFFFFF));
    EXPECT_TRUE(AddInterfaceAddress(&table, 7, 0x0200000A, 0x0000FFFF));
    EXPECT_FALSE(AddInterfaceAddress(&table, 7, 0x0300000A, 0x00FFFFFF));
    EXPECT_FALSE(AddInterfaceAddress(&table, 3, 0x0400000A, 0x00FFFFFF));
    EXPECT_EQ(table.interfaces[1].ipCount, 2);
    EXPECT_EQ(table.interfaces[1].mask[1], 0x0000FFFFu);
    EXPECT_EQ(table.interfaces[0].ipCount, 0);
    EXPECT_FALSE(AddDefaultRoute(&table, 7, 0x0000000A, 0x0100000A));  // not the default route
    EXPECT_TRUE(AddDefaultRoute(&table, 7, 0, 0xFE00000A));
    EXPECT_EQ(table.interfaces[1].hasGateway, 1);
    EXPECT_EQ(table.interfaces[1].gateway, 0xFE00000Au);
    EXPECT_EQ(table.interfaces[0].hasGateway, 0);
}

}  // namespace
}  // namespace kelpo
