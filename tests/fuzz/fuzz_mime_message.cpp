// Received mail text from hostile servers: any bytes parse within bounds,
// every part's range lies inside the text and decodes, header values and
// the replies of SMTP and POP3 servers are read without reaching past the
// input.
#include <cstdlib>
#include <string>

#include "netlib/encoded_words.h"
#include "netlib/mime_parser.h"
#include "netlib/pop3_replies.h"
#include "netlib/smtp_replies.h"

namespace {

void CheckPart(const std::string& text, const kelpo::MimePart& part) {
    if (part.start > part.end || part.end > text.size()) abort();
    const std::string decoded =
        kelpo::DecodeTransfer(part.encoding, text.data() + part.start, part.end - part.start);
    if (decoded.size() > part.end - part.start) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kelpo;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const ParsedMail mail = ParseMailText(text.data(), text.size());
    if (mail.hasText) CheckPart(text, mail.text);
    if (mail.hasHtml) CheckPart(text, mail.html);
    if (mail.htmlItems.size() + mail.attachments.size() > kMaxMimeParts) abort();
    for (const MimePart& part : mail.htmlItems) CheckPart(text, part);
    for (const MimePart& part : mail.attachments) CheckPart(text, part);

    DecodeEncodedWords(text);
    OfferedAuthMethods(text);
    SmtpReplyComplete(text);
    if (Pop3MultiLineComplete(text)) {
        const std::string lines = Pop3ReplyData(text);
        if (lines.size() > text.size()) abort();
        for (const Pop3Entry& entry : Pop3Listing(lines))
            if (entry.number < 1 || entry.number > kMaxPop3Message) abort();
    }
    std::string value;
    Pop3ScanValue(text, &value);
    return 0;
}
