// Encoded words (RFC 2047): how a header carries text outside ASCII.
#pragma once

#include <string>

namespace kelpo {

// The whole "Subject:" header line with its CR LF. The subject's base64 is
// cut into lines of 72 characters; each line is one encoded word
// "=?charset?B?...?=", and the words follow each other on folded lines.
// An empty subject gives "Subject: \r\n".
std::string SubjectHeaderLine(const std::string& subject, const char* charset);

// A header value with its encoded words (B and Q, any charset name case)
// decoded and converted to ANSI (mail_charsets.h). Blanks between two
// encoded words are dropped; malformed words stay as they are written.
std::string DecodeEncodedWords(const std::string& value);

}  // namespace kelpo
