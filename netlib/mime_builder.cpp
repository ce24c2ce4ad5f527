// The writer of mime_builder.h. Each part is its header lines, an empty
// line, the content and the line break that belongs to the next delimiter,
// so a message read back (mime_parser.h) gives the same content ranges and
// writing it again changes nothing but the boundaries.
#include "netlib/mime_builder.h"

#include <cstdio>

#include "netlib/encoded_words.h"

namespace kelpo {
namespace {

const char kPreamble[] = "This is a multi-part message in MIME format.\r\n\r\n";

// Header text on one line.
std::string OneLine(const std::string& value) {
    std::string out = value;
    for (char& c : out)
        if (c == '\r' || c == '\n') c = ' ';
    return out;
}

// A parameter value between double quotes.
std::string QuotedSafe(const std::string& value) {
    std::string out = OneLine(value);
    for (char& c : out)
        if (c == '"' || c == '\\') c = '_';
    return out;
}

// A Content-ID between angle brackets.
std::string IdSafe(const std::string& value) {
    std::string out;
    for (char c : value)
        if (c != '\r' && c != '\n' && c != '<' && c != '>' && c != ' ' && c != '\t') out += c;
    return out;
}

struct Writer {
    std::string out;
    BoundarySeed seed;
    uint32_t boundaries = 0;

    void Put(const std::string& text) { out += text; }

    std::string NewBoundary() {
        char text[80];
        snprintf(text, sizeof text, "====_QANTOR_MAIL_PART_%X.%X.%X_====", seed.processId,
                 seed.tick, ++boundaries);
        return text;
    }

    void Delimiter(const std::string& boundary) { Put("--" + boundary + "\r\n"); }
    void Closing(const std::string& boundary) { Put("--" + boundary + "--\r\n\r\n"); }

    // The content, then the line break before whatever follows.
    ContentRange Content(const std::string& bytes) {
        ContentRange range;
        range.start = out.size();
        out += bytes;
        range.end = out.size();
        out += "\r\n";
        return range;
    }

    ContentRange TextPart(const char* type, const EncodedContent& text, const char* charset) {
        const std::string named = text.charset.empty() ? charset : QuotedSafe(text.charset);
        Put(std::string("Content-Type: ") + type + "; charset=\"" + named + "\"\r\n");
        Put(std::string("Content-Transfer-Encoding: ") + TransferEncodingName(text.encoding) +
            "\r\n\r\n");
        return Content(text.bytes);
    }

    ContentRange FileHeaderAndContent(const FilePart& part, bool attachment) {
        const std::string name = QuotedSafe(part.name);
        Put("Content-Type: " + OneLine(part.contentType) + "; name=\"" + name + "\"\r\n");
        Put(std::string("Content-Transfer-Encoding: ") + TransferEncodingName(part.encoding) +
            "\r\n");
        if (attachment)
            Put("Content-Disposition: attachment; filename=\"" + name + "\"\r\n\r\n");
        else
            Put("Content-ID: <" + IdSafe(part.contentId) + ">\r\n\r\n");
        return Content(part.bytes);
    }

    void Alternative(const MailContent& content, const char* charset, BuiltRanges* ranges) {
        const std::string boundary = NewBoundary();
        Put("Content-Type: multipart/alternative;\r\n\tboundary=\"" + boundary + "\"\r\n\r\n");
        Delimiter(boundary);
        ranges->text = TextPart("text/plain", content.text, charset);
        Delimiter(boundary);
        ranges->html = TextPart("text/html", content.html, charset);
        ranges->hasHtml = true;
        Closing(boundary);
    }

    void HtmlItems(const MailContent& content, const std::string& related, BuiltRanges* ranges) {
        for (const FilePart& item : content.htmlItems) {
            Delimiter(related);
            ranges->htmlItems.push_back(FileHeaderAndContent(item, false));
        }
        Closing(related);
    }

    void Attachments(const MailContent& content, const std::string& mixed, BuiltRanges* ranges) {
        for (const FilePart& attachment : content.attachments) {
            Delimiter(mixed);
            ranges->attachments.push_back(FileHeaderAndContent(attachment, true));
        }
        Closing(mixed);
    }
};

void WriteHeaders(Writer& w, const MailHeaders& h, const char* charset) {
    w.Put("From: " + (h.from.empty() ? std::string(" ") : OneLine(h.from)) + "\r\n");
    w.Put("To: " + (h.to.empty() ? std::string(" ") : OneLine(h.to)) + "\r\n");
    if (!h.replyTo.empty()) w.Put("Reply-To: " + OneLine(h.replyTo) + "\r\n");
    if (!h.cc.empty()) w.Put("CC: " + OneLine(h.cc) + "\r\n");
    if (!h.bcc.empty()) w.Put("BCC: " + OneLine(h.bcc) + "\r\n");
    w.Put(SubjectHeaderLine(h.subject, charset));
    if (!h.date.empty()) w.Put("Date: " + OneLine(h.date) + "\r\n");
    w.Put("MIME-Version: 1.0\r\n");
    w.Put("X-Mailer: Qantor.Kelpo\r\n");
    w.Put("X-Priority: " + std::to_string(h.priority) + "\r\n");
}

}  // namespace

std::string BuildMailText(const MailContent& content, const char* charset, BoundarySeed seed,
                          BuiltRanges* ranges) {
    *ranges = BuiltRanges();
    Writer w;
    w.seed = seed;
    WriteHeaders(w, content.headers, charset);
    const bool htmlLike = content.hasHtml || !content.htmlItems.empty();
    const bool attachments = !content.attachments.empty();
    if (!htmlLike && !attachments) {
        const std::string named =
            content.text.charset.empty() ? charset : QuotedSafe(content.text.charset);
        w.Put("Content-Type: text/plain; charset=\"" + named + "\"\r\n");
        w.Put(std::string("Content-Transfer-Encoding: ") +
              TransferEncodingName(content.text.encoding) + "\r\n\r\n");
        ranges->text.start = w.out.size();
        w.Put(content.text.bytes);
        ranges->text.end = w.out.size();
        return w.out;
    }
    if (!attachments) {
        const std::string related = w.NewBoundary();
        w.Put(
            "Content-Type: multipart/related;\r\n\ttype=\"multipart/alternative\";\r\n\t"
            "boundary=\"" +
            related + "\"\r\n\r\n");
        w.Put(kPreamble);
        w.Delimiter(related);
        w.Alternative(content, charset, ranges);
        w.HtmlItems(content, related, ranges);
        return w.out;
    }
    const std::string mixed = w.NewBoundary();
    w.Put("Content-Type: multipart/mixed;\r\n\tboundary=\"" + mixed + "\"\r\n\r\n");
    w.Put(kPreamble);
    w.Delimiter(mixed);
    if (!htmlLike) {
        ranges->text = w.TextPart("text/plain", content.text, charset);
    } else {
        const std::string related = w.NewBoundary();
        w.Put("Content-Type: multipart/related;\r\n\tboundary=\"" + related +
              "\";\r\n\ttype=\"multipart/alternative\"\r\n\r\n");
        w.Delimiter(related);
        w.Alternative(content, charset, ranges);
        w.HtmlItems(content, related, ranges);
    }
    w.Attachments(content, mixed, ranges);
    return w.out;
}

}  // namespace kelpo
