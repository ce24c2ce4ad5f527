// The stored message of mail_message.h. Every change builds the whole text
// anew from the parts' stored content (mime_builder.h) and replaces the
// file's bytes with it.
#include "netlib/mail_message.h"

#include "netlib/mail_charsets.h"
#include "netlib/mime_parser.h"
#include "platform/files.h"

namespace kelpo {
namespace {

constexpr size_t kFileBase64Line = 76;

bool ReplaceFileBytes(FILE* file, const std::string& text) {
    if (file == nullptr || !TruncateStreamFile(file, 0)) return false;
    if (!text.empty() && fwrite(text.data(), 1, text.size(), file) != text.size()) return false;
    return fflush(file) == 0;
}

StoredPart StoredOf(const MimePart& part) {
    StoredPart stored;
    stored.encoding = part.encoding;
    stored.contentType = part.contentType;
    stored.name = part.name;
    stored.contentId = part.contentId;
    stored.charset = part.charset;
    stored.start = part.start;
    stored.end = part.end;
    return stored;
}

std::string Slice(const std::string& text, const StoredPart& part) {
    if (part.start > part.end || part.end > text.size()) return std::string();
    return text.substr(static_cast<size_t>(part.start), static_cast<size_t>(part.end - part.start));
}

FilePart FileOf(const std::string& text, const StoredPart& part) {
    FilePart file;
    file.encoding = part.encoding;
    file.contentType = part.contentType;
    file.name = part.name;
    file.contentId = part.contentId;
    file.bytes = Slice(text, part);
    return file;
}

StoredPart StoredFile(const FilePart& file, const ContentRange& range) {
    StoredPart stored;
    stored.encoding = file.encoding;
    stored.contentType = file.contentType;
    stored.name = file.name;
    stored.contentId = file.contentId;
    stored.start = range.start;
    stored.end = range.end;
    return stored;
}

}  // namespace

bool OpenMailMessage(MailMessage* mail) {
    mail->file = OpenTemporaryStreamFile();
    mail->dirty = true;
    return mail->file != nullptr;
}

void CloseMailMessage(MailMessage* mail) {
    if (mail->file != nullptr) fclose(mail->file);
    mail->file = nullptr;
}

bool ReadMailFile(const MailMessage& mail, std::string* text) {
    text->clear();
    if (mail.file == nullptr) return false;
    const int64_t length = StreamFileLength(mail.file);
    if (length < 0 || static_cast<uint64_t>(length) > SIZE_MAX / 2 || !SeekStreamFile(mail.file, 0))
        return false;
    text->resize(static_cast<size_t>(length));
    if (length > 0 && fread(&(*text)[0], 1, text->size(), mail.file) != text->size()) {
        text->clear();
        return false;
    }
    return true;
}

bool LoadMailText(MailMessage* mail, const std::string& text) {
    if (!ReplaceFileBytes(mail->file, text)) return false;
    const ParsedMail parsed = ParseMailText(text.data(), text.size());
    MailHeaders& h = mail->headers;
    h.from = parsed.from;
    h.replyTo = parsed.replyTo;
    h.to = parsed.to;
    h.subject = parsed.subject;
    h.cc = parsed.cc;
    h.bcc = parsed.bcc;
    h.date = parsed.date;
    h.priority = parsed.priority;
    mail->hasText = parsed.hasText;
    mail->text = parsed.hasText ? StoredOf(parsed.text) : StoredPart();
    mail->hasHtml = parsed.hasHtml;
    mail->html = parsed.hasHtml ? StoredOf(parsed.html) : StoredPart();
    mail->htmlItems.clear();
    for (const MimePart& part : parsed.htmlItems) mail->htmlItems.push_back(StoredOf(part));
    mail->attachments.clear();
    for (const MimePart& part : parsed.attachments) mail->attachments.push_back(StoredOf(part));
    mail->dirty = false;
    return true;
}

bool StoredContent(const MailMessage& mail, MailContent* content) {
    std::string text;
    if (!ReadMailFile(mail, &text)) return false;
    *content = MailContent();
    content->headers = mail.headers;
    if (mail.hasText) {
        content->text.encoding = mail.text.encoding;
        content->text.charset = mail.text.charset;
        content->text.bytes = Slice(text, mail.text);
    }
    content->hasHtml = mail.hasHtml;
    if (mail.hasHtml) {
        content->html.encoding = mail.html.encoding;
        content->html.charset = mail.html.charset;
        content->html.bytes = Slice(text, mail.html);
    }
    for (const StoredPart& part : mail.htmlItems) content->htmlItems.push_back(FileOf(text, part));
    for (const StoredPart& part : mail.attachments)
        content->attachments.push_back(FileOf(text, part));
    return true;
}

bool RewriteMail(MailMessage* mail, const MailContent& content, const MailWriting& how) {
    BuiltRanges ranges;
    const std::string text = BuildMailText(content, how.charset, how.seed, &ranges);
    if (!ReplaceFileBytes(mail->file, text)) return false;
    mail->headers = content.headers;
    mail->hasText = true;
    mail->text = StoredPart();
    mail->text.encoding = content.text.encoding;
    mail->text.contentType = "text/plain";
    mail->text.charset = content.text.charset.empty() ? how.charset : content.text.charset;
    mail->text.start = ranges.text.start;
    mail->text.end = ranges.text.end;
    mail->hasHtml = ranges.hasHtml;
    mail->html = StoredPart();
    if (ranges.hasHtml) {
        mail->html.encoding = content.html.encoding;
        mail->html.contentType = "text/html";
        mail->html.charset = content.html.charset.empty() ? how.charset : content.html.charset;
        mail->html.start = ranges.html.start;
        mail->html.end = ranges.html.end;
    }
    mail->htmlItems.clear();
    for (size_t i = 0; i < content.htmlItems.size(); ++i)
        mail->htmlItems.push_back(StoredFile(content.htmlItems[i], ranges.htmlItems[i]));
    mail->attachments.clear();
    for (size_t i = 0; i < content.attachments.size(); ++i)
        mail->attachments.push_back(StoredFile(content.attachments[i], ranges.attachments[i]));
    mail->dirty = false;
    return true;
}

bool MakeMailCurrent(MailMessage* mail, const MailWriting& how) {
    if (!mail->dirty) return true;
    MailContent content;
    return StoredContent(*mail, &content) && RewriteMail(mail, content, how);
}

bool MailText(MailMessage* mail, const MailWriting& how, std::string* text) {
    return MakeMailCurrent(mail, how) && ReadMailFile(*mail, text);
}

std::string DecodedPart(const MailMessage& mail, const StoredPart& part) {
    if (mail.file == nullptr || part.end <= part.start) return std::string();
    if (!SeekStreamFile(mail.file, static_cast<int64_t>(part.start))) return std::string();
    std::string encoded(static_cast<size_t>(part.end - part.start), '\0');
    if (fread(&encoded[0], 1, encoded.size(), mail.file) != encoded.size()) return std::string();
    return DecodeTransfer(part.encoding, encoded.data(), encoded.size());
}

std::string BodyText(const MailMessage& mail, const StoredPart& part) {
    return CharsetTextToAnsi(part.charset, DecodedPart(mail, part));
}

bool SetMailBody(MailMessage* mail, bool html, const std::string& ansiText,
                 const MailWriting& how) {
    MailContent content;
    if (!StoredContent(*mail, &content)) return false;
    EncodedContent body;
    body.encoding = kEncodingQuotedPrintable;
    body.bytes =
        EncodeQuotedPrintable(reinterpret_cast<const uint8_t*>(ansiText.data()), ansiText.size());
    if (html) {
        content.hasHtml = true;
        content.html = body;
    } else {
        content.text = body;
    }
    return RewriteMail(mail, content, how);
}

bool AddMailFile(MailMessage* mail, bool htmlItem, const std::string& bytes,
                 const std::string& contentType, const std::string& name,
                 const std::string& contentId, const MailWriting& how) {
    MailContent content;
    if (!StoredContent(*mail, &content)) return false;
    FilePart part;
    part.encoding = kEncodingBase64;
    part.contentType = contentType;
    part.name = name;
    part.contentId = contentId;
    part.bytes = EncodeBase64Lines(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                                   kFileBase64Line);
    (htmlItem ? content.htmlItems : content.attachments).push_back(part);
    return RewriteMail(mail, content, how);
}

bool RemoveMailFile(MailMessage* mail, bool htmlItem, size_t n, const MailWriting& how) {
    MailContent content;
    if (!StoredContent(*mail, &content)) return false;
    std::vector<FilePart>& parts = htmlItem ? content.htmlItems : content.attachments;
    if (n >= parts.size()) return false;
    parts.erase(parts.begin() + static_cast<std::ptrdiff_t>(n));
    return RewriteMail(mail, content, how);
}

}  // namespace kelpo
