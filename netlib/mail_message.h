// MailMessage: the instance data of the Mail class. The message text is
// kept in a temporary file; the record holds the header values and where
// each part's encoded content lies in that file.
//
// Invariant: while `dirty` is clear the file holds exactly the message the
// record describes. Writing a header value only sets `dirty`; the text is
// written again (MakeMailCurrent) before it is sent, saved or read whole.
// Changing a body or the list of parts writes it again at once.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "netlib/mime_builder.h"
#include "netlib/mime_codecs.h"

namespace kelpo {

struct StoredPart {
    TransferEncoding encoding = kEncodingBinary;
    std::string contentType;
    std::string name;
    std::string contentId;
    std::string charset;  // of a text body
    uint64_t start = 0;   // the encoded content in the file
    uint64_t end = 0;
};

struct MailMessage {
    FILE* file = nullptr;
    MailHeaders headers;
    bool dirty = true;
    bool hasText = false, hasHtml = false;
    StoredPart text, html;
    std::vector<StoredPart> htmlItems;
    std::vector<StoredPart> attachments;
};

// What a written message takes from the running system: the charset of
// the ANSI code page and what makes its boundaries unique.
struct MailWriting {
    const char* charset;
    BoundarySeed seed;
};

// Makes the temporary file of a new, empty message; false when none can be
// made.
bool OpenMailMessage(MailMessage* mail);
// Closes (and so deletes) the file.
void CloseMailMessage(MailMessage* mail);

// The stored file's bytes; false when it cannot be read.
bool ReadMailFile(const MailMessage& mail, std::string* text);

// Replaces the stored text by `text` and reads the message from it
// (mime_parser.h): header values and parts. Clears `dirty`.
bool LoadMailText(MailMessage* mail, const std::string& text);

// Writes the message again when `dirty` is set.
bool MakeMailCurrent(MailMessage* mail, const MailWriting& how);

// The whole message text, written again first when dirty.
bool MailText(MailMessage* mail, const MailWriting& how, std::string* text);

// A part's content decoded by its encoding; empty when it cannot be read.
std::string DecodedPart(const MailMessage& mail, const StoredPart& part);

// A body's decoded text as ANSI (from its charset).
std::string BodyText(const MailMessage& mail, const StoredPart& part);

// The message's content with every part as stored, for a change before
// writing it again.
bool StoredContent(const MailMessage& mail, MailContent* content);

// Writes `content` as the message and records where its parts now lie.
bool RewriteMail(MailMessage* mail, const MailContent& content, const MailWriting& how);

// The changes a script makes, each written at once: a new plain or HTML
// body (encoded quoted-printable in the ANSI charset), a file's bytes added
// as an attachment or HTML item (base64 in lines of 76), or a part
// removed. False when the message cannot be read or written (or n is out
// of range).
bool SetMailBody(MailMessage* mail, bool html, const std::string& ansiText, const MailWriting& how);
bool AddMailFile(MailMessage* mail, bool htmlItem, const std::string& bytes,
                 const std::string& contentType, const std::string& name,
                 const std::string& contentId, const MailWriting& how);
bool RemoveMailFile(MailMessage* mail, bool htmlItem, size_t n, const MailWriting& how);

}  // namespace kelpo
