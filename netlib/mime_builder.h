// Writing a message: the header block and the MIME body of a Mail from its
// header values and the encoded content of its parts.
//
// The layout follows what the message holds: plain text alone is a single
// text/plain body; attachments make a multipart/mixed; an HTML body or
// HTML items make a multipart/related around a multipart/alternative of
// the plain and the HTML text (inside the mixed one when there are
// attachments too). Header values and part names never carry a line break
// into the message: CR and LF in them become spaces.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "netlib/mime_codecs.h"

namespace kelpo {

// Content as it stands in the message, already encoded.
struct EncodedContent {
    TransferEncoding encoding = kEncodingQuotedPrintable;
    std::string charset;  // of a text body; empty: the message's charset
    std::string bytes;
};

// An HTML item or an attachment.
struct FilePart {
    TransferEncoding encoding = kEncodingBase64;
    std::string contentType;
    std::string name;
    std::string contentId;  // HTML items
    std::string bytes;      // encoded
};

struct MailHeaders {
    std::string from, replyTo, to, subject, cc, bcc, date;  // empty: unset
    int64_t priority = 3;
};

struct MailContent {
    MailHeaders headers;
    EncodedContent text;
    bool hasHtml = false;
    EncodedContent html;
    std::vector<FilePart> htmlItems;
    std::vector<FilePart> attachments;
};

// Where each part's encoded content lies in the written text, for reading
// it back without parsing (start, end).
struct ContentRange {
    size_t start = 0, end = 0;
};
struct BuiltRanges {
    ContentRange text, html;
    bool hasHtml = false;
    std::vector<ContentRange> htmlItems, attachments;
};

// What makes the boundaries of one message unique: they are
// "====_QANTOR_MAIL_PART_%X.%X.%X_====" of the process id, the tick count
// and a number counting the message's boundaries.
struct BoundarySeed {
    uint32_t processId;
    uint32_t tick;
};

// The message text. `charset` names the ANSI code page (AnsiCharsetName).
std::string BuildMailText(const MailContent& content, const char* charset, BoundarySeed seed,
                          BuiltRanges* ranges);

}  // namespace kelpo
