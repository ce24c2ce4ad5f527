// The mail clients' reading of replies and the texts they send: reply
// ends, AUTH offers and preference, CRAM-MD5 against RFC 2195's example,
// POP3 listings and message data, and address lists.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "netlib/mail_addresses.h"
#include "netlib/mime_codecs.h"
#include "netlib/pop3_replies.h"
#include "netlib/smtp_replies.h"

namespace kelpo {
namespace {

TEST(SmtpReplies, CompleteAtTheLastLineOfAReply) {
    const struct {
        const char* data;
        bool complete;
    } cases[] = {
        {"220 ready\r\n", true}, {"220 ready", false},
        {"250-one\r\n", false},  {"250-one\r\n250 two\r\n", true},
        {"250\r\n", true},       {"250-one\r\n250-two\r\n25", false},
        {"\r\n", false},
    };
    for (const auto& c : cases) EXPECT_EQ(SmtpReplyComplete(c.data), c.complete) << c.data;
    EXPECT_TRUE(SmtpReplyIs("250 ok", 200));
    EXPECT_TRUE(SmtpReplyIs("299 ok", 200));
    EXPECT_FALSE(SmtpReplyIs("354 go", 200));
    EXPECT_FALSE(SmtpReplyIs("", 200));
    EXPECT_EQ(SmtpReplyCode("xyz"), -1);
}

TEST(SmtpReplies, AuthMethodsAndThePreferredOne) {
    const struct {
        const char* reply;
        unsigned offered;
        SmtpAuthMethod chosen;
    } cases[] = {
        {"250-host\r\n250-AUTH LOGIN PLAIN CRAM-MD5\r\n250 HELP\r\n",
         kAuthLogin | kAuthPlain | kAuthCramMd5, kAuthCramMd5},
        {"250-host\r\n250 auth=login plain\r\n", kAuthLogin | kAuthPlain, kAuthLogin},
        {"250-host\r\n250 AUTH PLAIN\r\n", kAuthPlain, kAuthPlain},
        {"250-host\r\n250-AUTHX LOGIN\r\n250-X AUTH LOGIN\r\n250 OK\r\n", 0, SmtpAuthMethod(0)},
        {"250 AUTH DIGEST-MD5 GSSAPI\r\n", 0, SmtpAuthMethod(0)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(OfferedAuthMethods(c.reply), c.offered) << c.reply;
        EXPECT_EQ(PreferredAuthMethod(c.offered), c.chosen) << c.reply;
    }
}

TEST(SmtpReplies, CramMd5AnswersTheRfcExample) {
    // RFC 2195: user "tim", password "tanstaaftanstaaf".
    const std::string challenge = "PDE4OTYuNjk3MTcwOTUyQHBvc3RvZmZpY2UucmVzdG9uLm1jaS5uZXQ+";
    EXPECT_EQ(CramMd5Answer("tim", "tanstaaftanstaaf", challenge),
              "dGltIGI5MTNhNjAyYzdlZGE3YTQ5NWI0ZTZlNzMzNGQzODkw");
    // A password longer than 64 bytes stands for its MD5 (RFC 2104): the
    // answer is still 32 digits after the name.
    const std::string answer = CramMd5Answer("u", std::string(100, 'p'), challenge);
    const std::string plain = DecodeBase64Text(answer.data(), answer.size());
    EXPECT_EQ(plain.size(), 2u + 32u);
    EXPECT_FALSE(CramMd5Answer("u", "", challenge).empty());
    const std::string argument = AuthPlainArgument("user", "pass");
    EXPECT_EQ(DecodeBase64Text(argument.data(), argument.size()), std::string("\0user\0pass", 10));
    EXPECT_EQ(DotStuffed(".line"), "..line");
    EXPECT_EQ(DotStuffed("line."), "line.");
}

TEST(Pop3Replies, MultiLineEndsAfterTheFirstLine) {
    const struct {
        const char* data;
        bool complete;
    } cases[] = {
        {"+OK\r\n.\r\n", true},
        {"+OK 2 messages\r\n1 10\r\n", false},
        {"+OK 2 messages\r\n1 10\r\n2 20\r\n.\r\n", true},
        {"+OK x\r\n..\r\n", false},
        {"-ERR no\r\n", true},
        {"+OK .\r\n", false},
        {"+OK", false},
    };
    for (const auto& c : cases) EXPECT_EQ(Pop3MultiLineComplete(c.data), c.complete) << c.data;
}

TEST(Pop3Replies, DataIsUnstuffedAndListingsAreRead) {
    EXPECT_EQ(Pop3ReplyData("+OK\r\nline\r\n..dot\r\n...\r\n.\r\n"), "line\r\n.dot\r\n..\r\n");
    EXPECT_EQ(Pop3ReplyData("+OK\r\n.\r\n"), "");
    EXPECT_EQ(Pop3ReplyData("+OK"), "");
    const std::vector<Pop3Entry> entries =
        Pop3Listing("1 120\r\n3 4000\r\nbad line\r\n0 1\r\n99999999999 5\r\n4\r\n");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].number, 1);
    EXPECT_EQ(entries[0].value, "120");
    EXPECT_EQ(entries[1].number, 3);
    EXPECT_EQ(entries[1].value, "4000");
    std::string value;
    EXPECT_TRUE(Pop3ScanValue("+OK 2 uid-two\r\n", &value));
    EXPECT_EQ(value, "uid-two");
    EXPECT_FALSE(Pop3ScanValue("-ERR no such message\r\n", &value));
    EXPECT_FALSE(Pop3ScanValue("+OK\r\n", &value));
}

TEST(MailAddresses, EntriesAndBareAddresses) {
    const std::vector<std::string> entries =
        SplitAddressList(" a@x.org, \"Doe, Jane\" <jane@x.org>,,<odd,one@x.org> ");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0], "a@x.org");
    EXPECT_EQ(entries[1], "\"Doe, Jane\" <jane@x.org>");
    EXPECT_EQ(BareAddress(entries[1]), "jane@x.org");
    EXPECT_EQ(BareAddress("Name <open@x.org"), "open@x.org");
    EXPECT_EQ(BareAddress("bad\r\nRCPT TO:<x@y>"), "");
    EXPECT_EQ(BareAddress("  plain@x.org "), "plain@x.org");
}

}  // namespace
}  // namespace kelpo
