// MX queries and replies: the query's bytes, and replies read within their
// bounds: compression pointers (also in loops and out of range), counts
// beyond the bytes, truncated records, answers of other types, another
// transaction identifier. Anything malformed gives no records at all.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "netlib/dns_mx.h"

namespace kelpo {
namespace {

std::string U16(int v) {
    return std::string{static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)};
}

std::string Header(int id, int flags, int questions, int answers) {
    return U16(id) + U16(flags) + U16(questions) + U16(answers) + U16(0) + U16(0);
}

std::string Name(const std::vector<std::string>& labels) {
    std::string out;
    for (const std::string& label : labels) out += static_cast<char>(label.size()) + label;
    return out + '\0';
}

std::string Pointer(int offset) { return U16(0xC000 | offset); }

// An answer: name bytes, type, class IN, TTL, then the data with its length.
std::string Answer(const std::string& name, int type, const std::string& data) {
    return name + U16(type) + U16(1) + U16(0) + U16(300) + U16(static_cast<int>(data.size())) +
           data;
}

const int kId = kMxQueryId;
// The question "example.com" MX IN right after the header, at offset 12.
const std::string kQuestion = Name({"example", "com"}) + U16(15) + U16(1);

bool Parse(const std::string& reply, std::vector<MxRecord>* records) {
    return ParseMxReply(reinterpret_cast<const uint8_t*>(reply.data()), reply.size(), kId, records);
}

TEST(DnsMx, QueryIsOneMxQuestionWithRecursionFramedByItsLength) {
    std::string framed;
    ASSERT_TRUE(BuildMxQuery("mail.example.com", 0x1234, &framed));
    const std::string message =
        Header(0x1234, 0x0100, 1, 0) + Name({"mail", "example", "com"}) + U16(15) + U16(1);
    EXPECT_EQ(framed, U16(static_cast<int>(message.size())) + message);
    std::string rooted;
    ASSERT_TRUE(BuildMxQuery("mail.example.com.", 0x1234, &rooted));
    EXPECT_EQ(rooted, framed);
}

TEST(DnsMx, QueryRefusesWhatIsNoDomainName) {
    const std::string longLabel(64, 'a');
    std::string longName;
    for (int i = 0; i < 50; ++i) longName += "abcde.";
    for (const std::string& domain : {std::string(), std::string("."), std::string("a..b"),
                                      std::string(".a"), longLabel + ".com", longName + "com"}) {
        std::string framed = "x";
        EXPECT_FALSE(BuildMxQuery(domain, 1, &framed)) << domain;
        EXPECT_TRUE(framed.empty());
    }
    std::string framed;
    EXPECT_TRUE(BuildMxQuery(std::string(63, 'a') + ".com", 1, &framed));
}

TEST(DnsMx, RepliesGiveTheExchangesInAnswerOrderThroughPointers) {
    // The second exchange ends with a pointer to "example.com" of the question.
    const std::string reply =
        Header(kId, 0x8180, 1, 3) + kQuestion +
        Answer(Pointer(12), 15, U16(10) + Name({"mx1", "example", "com"})) +
        Answer(Pointer(12), 5, Name({"alias", "example", "com"})) +  // a CNAME: passed over
        Answer(Pointer(12), 15, U16(20) + "\x03mx2" + Pointer(12));
    std::vector<MxRecord> records;
    ASSERT_TRUE(Parse(reply, &records));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].name, "mx1.example.com");
    EXPECT_EQ(records[0].pref, 10);
    EXPECT_EQ(records[1].name, "mx2.example.com");
    EXPECT_EQ(records[1].pref, 20);
}

TEST(DnsMx, AReplyWithoutAnswersIsEmptyButNoFailure) {
    std::vector<MxRecord> records;
    EXPECT_TRUE(Parse(Header(kId, 0x8183, 1, 0) + kQuestion, &records));
    EXPECT_TRUE(records.empty());
}

TEST(DnsMx, MalformedRepliesGiveNoRecords) {
    const std::string good = Answer(Pointer(12), 15, U16(10) + Name({"mx", "example", "com"}));
    std::string longName;
    for (int i = 0; i < 50; ++i)
        longName +=
            "\x05"
            "abcde";
    const struct {
        const char* what;
        std::string reply;
    } kCases[] = {
        {"empty", ""},
        {"short header", Header(kId, 0x8180, 1, 1).substr(0, 11)},
        {"a query, not a response", Header(kId, 0x0100, 1, 1) + kQuestion + good},
        {"another identifier", Header(kId + 1, 0x8180, 1, 1) + kQuestion + good},
        {"more answers than bytes", Header(kId, 0x8180, 1, 2) + kQuestion + good},
        {"more questions than bytes", Header(kId, 0x8180, 9, 0) + kQuestion},
        {"question without type", Header(kId, 0x8180, 1, 0) + Name({"example", "com"}) + U16(15)},
        {"pointer to itself", Header(kId, 0x8180, 1, 1) + kQuestion +
                                  Answer(Pointer(12), 15, U16(1) + Pointer(12 + 17 + 12 + 2))},
        {"two pointers in a loop",
         Header(kId, 0x8180, 0, 1) + Answer(Pointer(12 + 2 + 10 + 2), 15, U16(1) + Pointer(12))},
        {"pointer past the end",
         Header(kId, 0x8180, 1, 1) + kQuestion + Answer(Pointer(12), 15, U16(1) + Pointer(0x3FFF))},
        {"pointer cut in half", Header(kId, 0x8180, 1, 0) + "\xC0"},
        {"label past the end", Header(kId, 0x8180, 1, 0) + "\x3F"
                                                           "abc"},
        {"reserved label kind", Header(kId, 0x8180, 1, 0) +
                                    "\x80"
                                    "abc" +
                                    U16(15) + U16(1)},
        {"name over 255 bytes", Header(kId, 0x8180, 1, 0) + longName + '\0' + U16(15) + U16(1)},
        {"data longer than the reply",
         Header(kId, 0x8180, 1, 1) + kQuestion + good.substr(0, good.size() - 3)},
        {"exchange past its data", Header(kId, 0x8180, 1, 1) + kQuestion +
                                       Answer(Pointer(12), 15, U16(10) + "\x02mx") +
                                       Name({"example", "com"})},
        {"data without preference",
         Header(kId, 0x8180, 1, 1) + kQuestion + Answer(Pointer(12), 15, "\x01")},
    };
    for (const auto& c : kCases) {
        std::vector<MxRecord> records = {{"stale", 1}};
        EXPECT_FALSE(Parse(c.reply, &records)) << c.what;
        EXPECT_TRUE(records.empty()) << c.what;
    }
}

}  // namespace
}  // namespace kelpo
