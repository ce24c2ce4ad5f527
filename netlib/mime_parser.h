// Reading a received message: its header values and where each part's
// content lies in the message text.
//
// The reader takes what mail programs send: header names in any letter
// case, folded headers, nested multiparts, parts without headers, LF or
// CR LF line ends and a missing final boundary. Hostile text never makes
// it fail: every scan stays within the text, nesting deeper than
// kMaxMimeDepth and parts past kMaxMimeParts are passed over, and the work
// grows with the text's length times the nesting depth.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "netlib/mime_codecs.h"

namespace kelpo {

constexpr int kMaxMimeDepth = 16;
constexpr size_t kMaxMimeParts = 1024;

// One part holding content (not a multipart).
struct MimePart {
    TransferEncoding encoding = kEncodingBinary;
    std::string contentType;  // "type/subtype" as written; default "application/octet-stream"
    std::string charset;      // of a text part, empty when not named
    std::string name;         // the file name (attachments, HTML items)
    std::string contentId;    // without the angle brackets
    size_t start = 0;         // the encoded content: text[start, end)
    size_t end = 0;
};

struct ParsedMail {
    // Header values with encoded words decoded, empty when absent.
    std::string from, replyTo, to, subject, cc, bcc, date;
    int priority = 3;
    bool hasText = false, hasHtml = false;
    MimePart text, html;
    std::vector<MimePart> htmlItems;
    std::vector<MimePart> attachments;
};

// Sorts the parts of the message into the plain-text body (the first
// text/plain part not marked as an attachment), the HTML body (likewise
// text/html), HTML items (other parts with a Content-ID, and every part
// with one inside a multipart/related) and attachments
// (parts marked "attachment" and every other part; unnamed ones are called
// "attachment N", N counting from 1).
ParsedMail ParseMailText(const char* text, size_t length);

}  // namespace kelpo
