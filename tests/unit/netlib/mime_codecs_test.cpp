// Transfer encodings and encoded words: what the writers produce, that
// readers of other programs' text take it back, and that broken text
// decodes to what can be read.
#include <gtest/gtest.h>

#include <string>

#include "netlib/encoded_words.h"
#include "netlib/mail_charsets.h"
#include "netlib/mime_codecs.h"

namespace kelpo {
namespace {

std::string Qp(const std::string& text) {
    return EncodeQuotedPrintable(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}
std::string UnQp(const std::string& text) {
    return DecodeQuotedPrintable(text.data(), text.size());
}

struct QpCase {
    const char* text;
    const char* encoded;
};

const QpCase kQpCases[] = {
    {"", ""},
    {"plain", "plain=\r\n"},
    {"a=b", "a=3Db=\r\n"},
    {"two\nlines", "two\r\nlines=\r\n"},
    {"two\r\nlines", "two\r\nlines=\r\n"},
    {"blank \nend", "blank=20\r\nend=\r\n"},
    {"tab\t\r\nend", "tab=09\r\nend=\r\n"},
    {"tab\tinside", "tab\tinside=\r\n"},
    {"lone\rcr", "lone=0Dcr=\r\n"},
    {"caf\xE9", "caf=E9=\r\n"},
    {"trailing ", "trailing=20=\r\n"},
};

TEST(QuotedPrintable, EncodesAsMailReadersExpect) {
    for (const QpCase& c : kQpCases) EXPECT_EQ(Qp(c.text), c.encoded) << c.text;
}

TEST(QuotedPrintable, KeepsLinesShortAndDecodesBack) {
    std::string text;
    for (int i = 0; i < 300; ++i) text += static_cast<char>(i % 7 == 0 ? '=' : 'a' + i % 26);
    text += "\r\n" + std::string(200, '\xE9') + "\r\n.starts with a dot";
    const std::string encoded = Qp(text);
    size_t lineStart = 0;
    while (lineStart < encoded.size()) {
        const size_t end = encoded.find("\r\n", lineStart);
        ASSERT_NE(end, std::string::npos);
        EXPECT_LE(end - lineStart, 76u);
        lineStart = end + 2;
    }
    EXPECT_EQ(UnQp(encoded), text);
}

TEST(QuotedPrintable, DecodesWhatOtherProgramsWriteAndSurvivesBrokenText) {
    const QpCase cases[] = {
        {"a=3db", "a=b"},               // lower-case digits
        {"soft=\nbreak", "softbreak"},  // LF line ends
        {"soft= \t\r\nbreak", "softbreak"},
        {"bad=zz=", "bad=zz"},  // an "=" that starts nothing stays; one at the end goes
        {"cut=4", "cut=4"},
        {"=", ""},
    };
    for (const QpCase& c : cases) EXPECT_EQ(UnQp(c.text), c.encoded) << c.text;
}

TEST(Base64, WritesLinesOfTheGivenLengthAndReadsLeniently) {
    const std::string bytes(100, 'x');
    const std::string encoded =
        EncodeBase64Lines(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), 76);
    EXPECT_EQ(encoded.find("\r\n"), 76u);
    EXPECT_EQ(encoded.substr(encoded.size() - 2), "\r\n");
    EXPECT_EQ(DecodeBase64Text(encoded.data(), encoded.size()), bytes);

    const struct {
        const char* text;
        const char* bytes;
    } cases[] = {
        {"aGVs\r\nbG8g d29y\nbGQ=", "hello world"},
        {"aGVsbG8", "hello"},           // padding missing
        {"aGVs*bG8=", "hello"},         // a stray character
        {"aGVsbG8=\r\nZZZZ", "hello"},  // stops at the padding
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecodeBase64Text(c.text, strlen(c.text)), c.bytes) << c.text;
}

TEST(EncodedWords, SubjectIsOneWordPerBase64LineOnFoldedLines) {
    EXPECT_EQ(SubjectHeaderLine("", "iso-8859-1"), "Subject: \r\n");
    EXPECT_EQ(SubjectHeaderLine("Hi", "iso-8859-1"), "Subject: =?iso-8859-1?B?SGk=?=\r\n");
    // 60 characters: 80 base64 characters, two lines of the encoding.
    const std::string subject(60, 's');
    const std::string line = SubjectHeaderLine(subject, "iso-8859-1");
    const std::string first = "=?iso-8859-1?B?" + std::string(72, 'c') + "?=";
    ASSERT_EQ(line.size(), std::string("Subject: ").size() + first.size() + 3 + 25 + 2);
    EXPECT_EQ(line.find("\r\n "), std::string("Subject: ").size() + first.size());
    EXPECT_EQ(DecodeEncodedWords(line.substr(9, line.size() - 11)), subject);
}

TEST(EncodedWords, DecodesToAnsiText) {
    const struct {
        const char* value;
        const char* text;
    } cases[] = {
        {"plain text", "plain text"},
        {"=?utf-8?b?Q2Fmw6k=?=", "Caf\xE9"},
        {"=?UTF-8?Q?Caf=C3=A9_au_lait?=", "Caf\xE9 au lait"},
        {"=?iso-8859-1?q?a?= =?iso-8859-1?q?b?=", "ab"},  // blanks between words go
        {"=?utf-8?b?w6k=?= and =?utf-8?b?w6k=?=", "\xE9 and \xE9"},
        {"=?utf-8?b?w6==?=", "?"},               // malformed UTF-8 becomes '?' in ANSI
        {"=?utf-8?q?x", "=?utf-8?q?x"},          // unterminated: as written
        {"=?utf-8?x?abc?=", "=?utf-8?x?abc?="},  // unknown kind
        {"=?koi8-r?b?wc==?=", "\xC1"},           // other charsets: the bytes
        {"Re: =?utf-8*en?q?x?=", "Re: x"},
    };
    for (const auto& c : cases) EXPECT_EQ(DecodeEncodedWords(c.value), c.text) << c.value;
}

TEST(EncodedWords, SplitCharacterIsJoined) {
    // U+00E9 is C3 A9; each word carries one byte of it.
    EXPECT_EQ(DecodeEncodedWords("=?utf-8?q?=C3?= =?utf-8?q?=A9?="), "\xE9");
}

TEST(Charsets, NamesFollowTheAnsiCodePage) {
    EXPECT_STREQ(AnsiCharsetName(932), "iso-2022-jp");
    EXPECT_STREQ(AnsiCharsetName(1251), "iso-8859-5");
    EXPECT_STREQ(AnsiCharsetName(1252), "iso-8859-1");
    EXPECT_EQ(CharsetTextToAnsi("iso-8859-1", "\x80uro"), "\x80uro");
}

}  // namespace
}  // namespace kelpo
