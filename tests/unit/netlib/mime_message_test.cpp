// Messages: what the writer builds reads back the same (every layout, and
// again after a second writing), messages in the forms other mail programs
// send are sorted into bodies, items and attachments, and hostile text
// gives a partial result within bounds.
#include <gtest/gtest.h>

#include <string>

#include "netlib/mail_message.h"
#include "netlib/mime_parser.h"

namespace kelpo {
namespace {

const MailWriting kWriting = {"iso-8859-1", {0x1234, 0xABCD}};

std::string Content(const std::string& text, const MimePart& part) {
    return text.substr(part.start, part.end - part.start);
}
std::string Decoded(const std::string& text, const MimePart& part) {
    const std::string encoded = Content(text, part);
    return DecodeTransfer(part.encoding, encoded.data(), encoded.size());
}

struct Message {
    MailMessage mail;
    Message() { EXPECT_TRUE(OpenMailMessage(&mail)); }
    ~Message() { CloseMailMessage(&mail); }
    std::string Text() {
        std::string text;
        EXPECT_TRUE(MailText(&mail, kWriting, &text));
        return text;
    }
};

// Which parts a message holds decides its layout.
struct LayoutCase {
    const char* name;
    bool html;
    int items;
    int attachments;
    const char* topType;
};

const LayoutCase kLayouts[] = {
    {"text only", false, 0, 0, "text/plain"},
    {"attachments", false, 0, 2, "multipart/mixed"},
    {"html", true, 0, 0, "multipart/related"},
    {"html with items", true, 2, 0, "multipart/related"},
    {"items without html", false, 1, 0, "multipart/related"},
    {"html, items and attachments", true, 1, 2, "multipart/mixed"},
};

TEST(MailMessage, EveryLayoutReadsBackTheSameAndIsStableWhenWrittenAgain) {
    for (const LayoutCase& c : kLayouts) {
        SCOPED_TRACE(c.name);
        Message m;
        m.mail.headers.from = "Ann <ann@example.org>";
        m.mail.headers.to = "bob@example.org, \"Doe, Jane\" <jane@example.org>";
        m.mail.headers.subject = "A subject \xE9";
        m.mail.headers.cc = "carl@example.org";
        m.mail.headers.date = "Thu, 10 Dec 2026 21:00:00 +0000";
        m.mail.headers.priority = 1;
        const std::string body = "Line one\r\n.dot line\r\nend \xE9";
        ASSERT_TRUE(SetMailBody(&m.mail, false, body, kWriting));
        if (c.html) {
            ASSERT_TRUE(SetMailBody(&m.mail, true, "<p>html</p>", kWriting));
        }
        std::string binary;
        for (int i = 0; i < 1000; ++i) binary += static_cast<char>(i * 7);
        for (int i = 0; i < c.items; ++i)
            ASSERT_TRUE(AddMailFile(&m.mail, true, binary + char('0' + i), "image/png",
                                    "pic" + std::to_string(i) + ".png", "cid" + std::to_string(i),
                                    kWriting));
        for (int i = 0; i < c.attachments; ++i)
            ASSERT_TRUE(AddMailFile(&m.mail, false, binary + char('a' + i),
                                    "application/octet-stream", "file" + std::to_string(i) + ".bin",
                                    "", kWriting));
        const std::string text = m.Text();
        EXPECT_NE(text.find("Content-Type: " + std::string(c.topType)), std::string::npos);

        const ParsedMail parsed = ParseMailText(text.data(), text.size());
        EXPECT_EQ(parsed.from, m.mail.headers.from);
        EXPECT_EQ(parsed.to, m.mail.headers.to);
        EXPECT_EQ(parsed.subject, m.mail.headers.subject);
        EXPECT_EQ(parsed.cc, "carl@example.org");
        EXPECT_EQ(parsed.date, m.mail.headers.date);
        EXPECT_EQ(parsed.priority, 1);
        ASSERT_TRUE(parsed.hasText);
        EXPECT_EQ(Decoded(text, parsed.text), body);
        EXPECT_EQ(parsed.hasHtml, c.html || c.items > 0);
        if (c.html) {
            EXPECT_EQ(Decoded(text, parsed.html), "<p>html</p>");
        }
        ASSERT_EQ(parsed.htmlItems.size(), static_cast<size_t>(c.items));
        for (int i = 0; i < c.items; ++i) {
            EXPECT_EQ(parsed.htmlItems[i].contentId, "cid" + std::to_string(i));
            EXPECT_EQ(Decoded(text, parsed.htmlItems[i]), binary + char('0' + i));
        }
        ASSERT_EQ(parsed.attachments.size(), static_cast<size_t>(c.attachments));
        for (int i = 0; i < c.attachments; ++i) {
            EXPECT_EQ(parsed.attachments[i].name, "file" + std::to_string(i) + ".bin");
            EXPECT_EQ(Decoded(text, parsed.attachments[i]), binary + char('a' + i));
        }

        // Read back and written again: the same text (the same seed gives
        // the same boundaries).
        Message again;
        ASSERT_TRUE(LoadMailText(&again.mail, text));
        EXPECT_EQ(BodyText(again.mail, again.mail.text), body);
        again.mail.dirty = true;
        EXPECT_EQ(again.Text(), text);
    }
}

TEST(MailMessage, RemovingAPartKeepsTheOthers) {
    Message m;
    ASSERT_TRUE(SetMailBody(&m.mail, false, "text", kWriting));
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        ASSERT_TRUE(AddMailFile(&m.mail, false, name, "text/plain", name, "", kWriting));
    ASSERT_TRUE(RemoveMailFile(&m.mail, false, 1, kWriting));
    EXPECT_FALSE(RemoveMailFile(&m.mail, false, 2, kWriting));
    ASSERT_EQ(m.mail.attachments.size(), 2u);
    EXPECT_EQ(DecodedPart(m.mail, m.mail.attachments[0]), "a.txt");
    EXPECT_EQ(DecodedPart(m.mail, m.mail.attachments[1]), "c.txt");
    ASSERT_TRUE(RemoveMailFile(&m.mail, false, 0, kWriting));
    ASSERT_TRUE(RemoveMailFile(&m.mail, false, 0, kWriting));
    EXPECT_EQ(m.Text().find("multipart"), std::string::npos);
    EXPECT_EQ(BodyText(m.mail, m.mail.text), "text");
}

TEST(MailMessage, HeaderValuesCannotAddHeaderLines) {
    Message m;
    m.mail.headers.from = "a@example.org\r\nBcc: victim@example.org";
    m.mail.headers.subject = "x";
    ASSERT_TRUE(AddMailFile(&m.mail, false, "x", "text/plain\r\nX-Evil: 1",
                            "evil\"\r\nX-Evil: 2.txt", "", kWriting));
    const std::string text = m.Text();
    EXPECT_EQ(text.find("\nBcc:"), std::string::npos);
    EXPECT_EQ(text.find("\nX-Evil"), std::string::npos);
}

// Messages as other mail programs write them.
struct ReadCase {
    const char* name;
    const char* text;
    const char* subject;
    const char* plain;  // decoded, null: none
    const char* html;
    int items;
    const char* attachmentNames;  // joined by "|"
};

const ReadCase kReadCases[] = {
    {"folded headers, lower-case names, LF ends", "subject: first\n second\nfrom: a@b\n\nbody\n",
     "first second", "body\n", nullptr, 0, ""},
    {"nested multiparts",
     "Subject: =?utf-8?q?n=C3=A9sted?=\r\nContent-Type: multipart/mixed; boundary=OUT\r\n\r\n"
     "--OUT\r\nContent-Type: multipart/alternative; boundary=\"IN\"\r\n\r\n"
     "--IN\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: "
     "quoted-printable\r\n\r\ncaf=C3=A9\r\n--IN\r\nContent-Type: text/html\r\n\r\n<b>x</b>\r\n"
     "--IN--\r\n--OUT\r\nContent-Type: application/pdf\r\nContent-Disposition: attachment;\r\n"
     " filename*=utf-8''r%C3%A9sum%C3%A9.pdf\r\nContent-Transfer-Encoding: base64\r\n\r\n"
     "JVBERg==\r\n--OUT--\r\n",
     "n\xE9sted", "caf\xC3\xA9", "<b>x</b>", 0, "r\xE9sum\xE9.pdf"},
    {"missing final boundary and a part without headers",
     "Content-Type: multipart/mixed; boundary=b\r\n\r\n--b\r\n\r\nno headers\r\n--b\r\n"
     "Content-Type: image/gif; name=\"p.gif\"\r\nContent-ID: <p1>\r\n\r\nGIF\r\n",
     "", "no headers", nullptr, 1, ""},
    {"a part that starts with its body",
     "Content-Type: multipart/mixed; boundary=b\r\n\r\n--b\r\nJust text\r\n--b--\r\n", "",
     "Just text", nullptr, 0, ""},
    {"unnamed non-text parts and a second text part",
     "Content-Type: multipart/mixed; boundary=b\r\n\r\n--b\r\nContent-Type: text/plain\r\n\r\n"
     "one\r\n--b\r\nContent-Type: text/plain\r\n\r\ntwo\r\n--b\r\nContent-Type: "
     "application/zip\r\n\r\nPK\r\n--b--\r\n",
     "", "one", nullptr, 0, "attachment 1|attachment 2"},
    {"an embedded picture marked as an attachment",
     "Content-Type: multipart/related; boundary=r\r\n\r\n--r\r\nContent-Type: text/html\r\n\r\n"
     "<img>\r\n--r\r\nContent-Type: image/gif\r\nContent-Disposition: attachment; "
     "filename=\"p.gif\"\r\nContent-ID: <p@x>\r\n\r\nGIF\r\n--r--\r\n",
     "", nullptr, "<img>", 1, ""},
    {"a multipart without a boundary is one text part",
     "Content-Type: multipart/mixed\r\n\r\n--x\r\nbody\r\n", "", "--x\r\nbody\r\n", nullptr, 0, ""},
};

std::string Names(const std::vector<MimePart>& parts) {
    std::string out;
    for (const MimePart& part : parts) out += (out.empty() ? "" : "|") + part.name;
    return out;
}

TEST(MimeParser, ReadsWhatOtherProgramsWrite) {
    for (const ReadCase& c : kReadCases) {
        SCOPED_TRACE(c.name);
        const std::string text = c.text;
        const ParsedMail parsed = ParseMailText(text.data(), text.size());
        EXPECT_EQ(parsed.subject, c.subject);
        EXPECT_EQ(parsed.hasText, c.plain != nullptr);
        if (c.plain != nullptr && parsed.hasText) {
            EXPECT_EQ(Decoded(text, parsed.text), c.plain);
        }
        EXPECT_EQ(parsed.hasHtml, c.html != nullptr);
        if (c.html != nullptr && parsed.hasHtml) {
            EXPECT_EQ(Decoded(text, parsed.html), c.html);
        }
        EXPECT_EQ(parsed.htmlItems.size(), static_cast<size_t>(c.items));
        EXPECT_EQ(Names(parsed.attachments), c.attachmentNames);
    }
}

TEST(MimeParser, HostileTextGivesAPartialResultWithinBounds) {
    // Nesting far deeper than the limit, each level its own boundary.
    std::string deep;
    for (int i = 0; i < 5000; ++i)
        deep += "Content-Type: multipart/mixed; boundary=b" + std::to_string(i) + "\r\n\r\n--b" +
                std::to_string(i) + "\r\n";
    deep += "Content-Type: text/plain\r\n\r\ninner\r\n";
    ParsedMail parsed = ParseMailText(deep.data(), deep.size());
    EXPECT_FALSE(parsed.hasText);

    // More parts than are kept.
    std::string many = "Content-Type: multipart/mixed; boundary=b\r\n\r\n";
    for (size_t i = 0; i < kMaxMimeParts + 500; ++i)
        many += "--b\r\nContent-Type: x/y\r\n\r\nz\r\n";
    parsed = ParseMailText(many.data(), many.size());
    EXPECT_EQ(parsed.attachments.size(), kMaxMimeParts);

    // Endless lines and many half encoded words.
    std::string endless = "Subject: ";
    for (int i = 0; i < 200000; ++i) endless += "=?";
    endless += std::string(1 << 20, 'x');
    parsed = ParseMailText(endless.data(), endless.size());
    EXPECT_EQ(parsed.subject.size(), 400000u + (1u << 20));

    // Endless parameter lists.
    std::string params = "Content-Type: text/plain";
    for (int i = 0; i < 100000; ++i) params += "; a=b; n*" + std::to_string(i % 3) + "*=x";
    params += "\r\n\r\nbody";
    parsed = ParseMailText(params.data(), params.size());
    EXPECT_TRUE(parsed.hasText);

    // Text cut anywhere reads within bounds.
    Message m;
    ASSERT_TRUE(SetMailBody(&m.mail, true, "<p>x</p>", kWriting));
    ASSERT_TRUE(AddMailFile(&m.mail, false, "data", "a/b", "n", "", kWriting));
    const std::string whole = m.Text();
    for (size_t cut = 0; cut <= whole.size(); ++cut) {
        const ParsedMail part = ParseMailText(whole.data(), cut);
        for (const MimePart* p : {&part.text, &part.html}) {
            EXPECT_LE(p->start, p->end);
            EXPECT_LE(p->end, cut);
        }
        for (const MimePart& a : part.attachments) EXPECT_LE(a.end, cut);
    }
}

}  // namespace
}  // namespace kelpo
