// The FTP client's rules that need no server: host arguments, texts that
// may go into a command, replies that report failure, the proxy a
// connection takes, the percentages of transfers, and which construction
// arguments count.
#include <gtest/gtest.h>

#include <string>

#include "netlib/ftp_options.h"
#include "netlib/ftp_rules.h"
#include "runtime/strings.h"
#include "tests/unit/test_support.h"

namespace kelpo {
namespace {

TEST(FtpRules, HostArgumentsLoseOnlyTheSchemePrefix) {
    struct HostCase {
        const char* text;
        const char* host;
    };
    const HostCase cases[] = {
        {"ftp://example.org", "example.org"},
        {"FTP://Example.org", "Example.org"},
        {"ftp:\\\\example.org", "example.org"},
        {"ftp.example.org", "ftp.example.org"},
        {"pft.example.org", "pft.example.org"},
        {"ftp://ftp.example.org", "ftp.example.org"},
        {"ftp://tfp", "tfp"},
        {"ftp:/example.org", "ftp:/example.org"},
        {"http://example.org", "http://example.org"},
        {"ftp://", ""},
        {"", ""},
    };
    for (const HostCase& c : cases) EXPECT_EQ(FtpHostOfText(c.text), c.host) << c.text;
}

TEST(FtpRules, CommandTextsCannotEndTheCommandEarly) {
    EXPECT_TRUE(IsSendableFtpText("a file name.txt"));
    EXPECT_TRUE(IsSendableFtpText("/sub/dir"));
    EXPECT_FALSE(IsSendableFtpText("a.txt\r\nDELE keep.txt"));
    EXPECT_FALSE(IsSendableFtpText("a.txt\nDELE keep.txt"));
    EXPECT_FALSE(IsSendableFtpText("a.txt\r"));
    EXPECT_FALSE(IsSendableFtpText(std::string("a\0b", 3)));
}

TEST(FtpRules, OnlyRepliesWithAFailureCodeReportFailure) {
    const char* const failures[] = {"552 storage exceeded", "426 aborted", "550", "451-a\r\n"};
    const char* const others[] = {
        "226 done",          "150 opening",       "", "55", "5x2 odd", "abc",
        "652 no such class", " 552 leading space"};
    for (const char* reply : failures) EXPECT_TRUE(IsFtpFailureReply(reply)) << reply;
    for (const char* reply : others) EXPECT_FALSE(IsFtpFailureReply(reply)) << reply;
}

TEST(FtpRules, TheProxyTextChoosesTheAccessType) {
    EXPECT_EQ(FtpAccessOfProxy(""), FtpAccess::Preconfigured);
    EXPECT_EQ(FtpAccessOfProxy("direct"), FtpAccess::Direct);
    EXPECT_EQ(FtpAccessOfProxy("DiReCt"), FtpAccess::Direct);
    EXPECT_EQ(FtpAccessOfProxy("directly"), FtpAccess::NamedProxy);
    EXPECT_EQ(FtpAccessOfProxy("proxy.example.org:8080"), FtpAccess::NamedProxy);
}

TEST(FtpRules, PercentagesRoundDownAndNeverOverflow) {
    struct PercentCase {
        uint64_t done;
        uint64_t total;
        uint64_t percent;
    };
    const PercentCase cases[] = {
        {0, 0, 100},
        {512, 0, 100},
        {0, 1500, 0},
        {512, 1500, 34},
        {1500, 1500, 100},
        {1501, 1500, 100},
        {3000, 1500, 200},
        {UINT64_MAX, UINT64_MAX, 100},
        {UINT64_MAX - 1, UINT64_MAX, 99},
        {UINT64_MAX / 2, UINT64_MAX, 49},
        {UINT64_MAX / 100, UINT64_MAX, 0},
        {UINT64_MAX / 100 + 1, UINT64_MAX, 1},
        {UINT64_C(1) << 62, (UINT64_C(1) << 62) + 1, 99},
        {UINT64_MAX, 1, UINT64_MAX},  // no count that high is ever transferred
    };
    for (const PercentCase& c : cases) {
        EXPECT_EQ(FtpPercent(c.done, c.total), c.percent) << c.done << " of " << c.total;
    }
    for (uint64_t total = 1; total < 300; ++total) {
        for (uint64_t done = 0; done <= 2 * total; ++done) {
            ASSERT_EQ(FtpPercent(done, total), done * 100 / total) << done << " of " << total;
        }
    }
}

class FtpOptionsTest : public test::ContextTest {
protected:
    Value Text(const char* text) { return NewStringFromCString(ctx, text); }
};

TEST_F(FtpOptionsTest, LaterArgumentsCountOnlyAfterEveryEarlierOne) {
    struct OptionsCase {
        const char* what;
        std::vector<Value> args;
        int64_t port;
        std::string user, password;
        bool passive;
        std::string proxy, proxyUser;
    };
    const Value port = MakeInteger(2121);
    const OptionsCase cases[] = {
        {"host alone", {Text("ftp://h")}, 21, "", "", false, "", ""},
        {"a port", {Text("h"), port}, 2121, "", "", false, "", ""},
        {"a port as a String",
         {Text("h"), Text("2121"), Text("u"), Text("p")},
         21,
         "",
         "",
         false,
         "",
         ""},
        {"a port as a Float",
         {Text("h"), MakeFloat(2121), Text("u"), Text("p")},
         21,
         "",
         "",
         false,
         "",
         ""},
        {"a user alone", {Text("h"), port, Text("u")}, 2121, "", "", false, "", ""},
        {"a password not a String",
         {Text("h"), port, Text("u"), MakeInteger(5), MakeInteger(1)},
         2121,
         "",
         "",
         false,
         "",
         ""},
        {"credentials", {Text("h"), port, Text("u"), Text("p")}, 2121, "u", "p", false, "", ""},
        {"passive 1",
         {Text("h"), port, Text("u"), Text("p"), MakeInteger(1)},
         2121,
         "u",
         "p",
         true,
         "",
         ""},
        {"passive empty text",
         {Text("h"), port, Text("u"), Text("p"), Text("")},
         2121,
         "u",
         "p",
         false,
         "",
         ""},
        {"passive null",
         {Text("h"), port, Text("u"), Text("p"), MakeNull(), Text("direct")},
         2121,
         "u",
         "p",
         false,
         "direct",
         ""},
        {"a proxy user alone",
         {Text("h"), port, Text("u"), Text("p"), MakeBoolean(true), Text("px"), Text("pu")},
         2121,
         "u",
         "p",
         true,
         "px",
         ""},
        {"a proxy not a String",
         {Text("h"), port, Text("u"), Text("p"), MakeBoolean(true), MakeInteger(7), Text("pu"),
          Text("pp")},
         2121,
         "u",
         "p",
         true,
         "",
         ""},
        {"everything",
         {Text("h"), port, Text("u"), Text("p"), MakeBoolean(true), Text("px"), Text("pu"),
          Text("pp")},
         2121,
         "u",
         "p",
         true,
         "px",
         "pu"},
    };
    for (const OptionsCase& c : cases) {
        std::vector<Value> args = {MakeInteger(static_cast<int64_t>(c.args.size()))};
        args.insert(args.end(), c.args.begin(), c.args.end());
        FtpOptions options;
        ASSERT_TRUE(ReadFtpOptions(ctx, args.data(), &options)) << c.what;
        EXPECT_EQ(options.host, "h") << c.what;
        EXPECT_EQ(options.port, c.port) << c.what;
        EXPECT_EQ(options.user, c.user) << c.what;
        EXPECT_EQ(options.password, c.password) << c.what;
        EXPECT_EQ(options.passive, c.passive) << c.what;
        EXPECT_EQ(options.proxy, c.proxy) << c.what;
        EXPECT_EQ(options.proxyUser, c.proxyUser) << c.what;
        EXPECT_EQ(options.proxyPassword, c.proxyUser.empty() ? "" : "pp") << c.what;
        EXPECT_TRUE(FtpOptionsUsable(options)) << c.what;
    }
}

TEST_F(FtpOptionsTest, WithoutAHostTextThereIsNoObject) {
    FtpOptions options;
    Value none[] = {MakeInteger(0)};
    EXPECT_FALSE(ReadFtpOptions(ctx, none, &options));
    Value number[] = {MakeInteger(2), MakeInteger(5), MakeInteger(21)};
    EXPECT_FALSE(ReadFtpOptions(ctx, number, &options));
    Value null[] = {MakeInteger(1), MakeNull()};
    EXPECT_FALSE(ReadFtpOptions(ctx, null, &options));
}

TEST_F(FtpOptionsTest, SettingsThatCannotReachTheServerAreNotUsable) {
    const auto usable = [&](const std::vector<Value>& given) {
        std::vector<Value> args = {MakeInteger(static_cast<int64_t>(given.size()))};
        args.insert(args.end(), given.begin(), given.end());
        FtpOptions options;
        return ReadFtpOptions(ctx, args.data(), &options) && FtpOptionsUsable(options);
    };
    const char16_t nul[] = u"host\0.example.org";
    EXPECT_FALSE(usable({Text("")}));
    EXPECT_FALSE(usable({Text("ftp://")}));
    EXPECT_TRUE(usable({Text(std::string(255, 'h').c_str())}));
    EXPECT_FALSE(usable({Text(std::string(256, 'h').c_str())}));
    EXPECT_FALSE(usable({NewString(ctx, nul, 17)}));
    EXPECT_TRUE(usable({Text("h"), MakeInteger(0)}));
    EXPECT_TRUE(usable({Text("h"), MakeInteger(65535)}));
    EXPECT_FALSE(usable({Text("h"), MakeInteger(65536)}));
    EXPECT_FALSE(usable({Text("h"), MakeInteger(-1)}));
    EXPECT_FALSE(usable({Text("h"), MakeInteger(21), Text("u\r\nDELE x"), Text("p")}));
    EXPECT_FALSE(usable({Text("h"), MakeInteger(21), Text("u"), Text("p\n")}));
    EXPECT_FALSE(
        usable({Text("h"), MakeInteger(21), Text("u"), Text(std::string(260, 'p').c_str())}));
}

}  // namespace
}  // namespace kelpo
