// The reader walks the message as a tree of entities (a header block and a
// body), each a range of the text. A multipart's body is split at its
// delimiter lines; every other entity is a leaf and is sorted into the
// message's parts. Offsets refer to the whole text, so a part's content
// can be copied or decoded later without parsing again.
#include "netlib/mime_parser.h"

#include <cctype>
#include <cstdlib>
#include <string_view>
#include <utility>

#include "netlib/encoded_words.h"
#include "netlib/mail_charsets.h"

namespace kelpo {
namespace {

// Boundaries are at most 70 characters by the standard; longer ones are
// taken up to this length.
constexpr size_t kMaxBoundary = 200;
// Header fields kept of one entity, and parameters of one field; the rest
// are passed over.
constexpr size_t kMaxFields = 256;
constexpr size_t kMaxParams = 64;

struct Field {
    std::string name;  // lower case
    std::string value;
};

struct Entity {
    std::vector<Field> fields;
    size_t bodyStart;
};

struct Param {
    std::string name;  // lower case
    std::string value;
};

struct HeaderValue {
    std::string value;  // lower case, e.g. "text/plain" or "attachment"
    std::vector<Param> params;
};

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

// The end of the line starting at `at` (the position of its LF, or `end`).
size_t LineEnd(std::string_view text, size_t at, size_t end) {
    const size_t found = text.substr(0, end).find('\n', at);
    return found == std::string_view::npos ? end : found;
}

// The line's text without its CR LF or LF.
std::string_view LineText(std::string_view text, size_t at, size_t lineEnd) {
    std::string_view line = text.substr(at, lineEnd - at);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

// A header field line: a name of printable characters, then ":".
bool IsFieldLine(std::string_view line) {
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos || colon == 0) return false;
    for (size_t i = 0; i < colon; ++i) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        if (c <= 32 || c >= 127) return false;
    }
    return true;
}

// The header block of the entity at text[start, end). A block ends at an
// empty line; a line that is neither a field nor a continuation ends it
// too and starts the body (a part without headers starts its body at once).
Entity ReadEntity(std::string_view text, size_t start, size_t end) {
    Entity entity;
    entity.bodyStart = start;
    size_t at = start;
    while (at < end) {
        const size_t lineEnd = LineEnd(text, at, end);
        const std::string_view line = LineText(text, at, lineEnd);
        const size_t next = lineEnd < end ? lineEnd + 1 : end;
        if (line.empty()) {
            entity.bodyStart = next;
            return entity;
        }
        const bool continuation = line.front() == ' ' || line.front() == '\t';
        if (continuation && at != start) {
            if (!entity.fields.empty() && entity.fields.size() <= kMaxFields)
                entity.fields.back().value.append(line.data(), line.size());
        } else if (IsFieldLine(line)) {
            if (entity.fields.size() < kMaxFields + 1) {
                const size_t colon = line.find(':');
                entity.fields.push_back(
                    {Lower(Trim(line.substr(0, colon))), std::string(line.substr(colon + 1))});
            }
        } else {
            entity.bodyStart = at;
            return entity;
        }
        at = next;
    }
    entity.bodyStart = end;
    return entity;
}

const std::string* FieldValue(const Entity& entity, const char* name) {
    for (size_t i = 0; i < entity.fields.size() && i < kMaxFields; ++i)
        if (entity.fields[i].name == name) return &entity.fields[i].value;
    return nullptr;
}

// Decodes an RFC 2231 value "charset'language'%XX..." (the charset goes
// to `charset`) or a later percent-encoded piece.
std::string PercentDecoded(std::string_view text, bool hasCharset, std::string* charset) {
    if (hasCharset) {
        const size_t first = text.find('\'');
        const size_t second = first == std::string_view::npos ? first : text.find('\'', first + 1);
        if (second != std::string_view::npos) {
            *charset = std::string(text.substr(0, first));
            text.remove_prefix(second + 1);
        }
    }
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() &&
            isxdigit(static_cast<unsigned char>(text[i + 1])) &&
            isxdigit(static_cast<unsigned char>(text[i + 2]))) {
            out +=
                static_cast<char>(strtol(std::string(text.substr(i + 1, 2)).c_str(), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// "value; name=token; name=\"quoted\"" with RFC 2231 forms (name*=,
// name*0=, name*1*= ...) joined into one parameter of the plain name.
HeaderValue ParseHeaderValue(std::string_view text) {
    HeaderValue out;
    const size_t semicolon = text.find(';');
    out.value = Lower(Trim(text.substr(0, semicolon)));
    if (semicolon == std::string_view::npos) return out;
    size_t i = semicolon + 1;
    struct Extended {
        std::string name, charset, bytes;
    };
    std::vector<Extended> extended;
    while (i < text.size()) {
        while (i < text.size() && (isspace(static_cast<unsigned char>(text[i])) || text[i] == ';'))
            ++i;
        const size_t nameStart = i;
        while (i < text.size() && text[i] != '=' && text[i] != ';') ++i;
        std::string name = Lower(Trim(text.substr(nameStart, i - nameStart)));
        if (i >= text.size() || text[i] != '=') continue;
        ++i;
        while (i < text.size() && isspace(static_cast<unsigned char>(text[i]))) ++i;
        std::string value;
        if (i < text.size() && text[i] == '"') {
            for (++i; i < text.size() && text[i] != '"'; ++i) {
                if (text[i] == '\\' && i + 1 < text.size()) ++i;
                value += text[i];
            }
            if (i < text.size()) ++i;
        } else {
            const size_t valueStart = i;
            while (i < text.size() && text[i] != ';') ++i;
            value = std::string(Trim(text.substr(valueStart, i - valueStart)));
        }
        if (out.params.size() + extended.size() >= kMaxParams) break;
        const size_t star = name.find('*');
        if (star == std::string::npos) {
            out.params.push_back({name, value});
        } else {
            const bool encoded = name.back() == '*';
            const bool first = name.compare(star, std::string::npos, "*") == 0 ||
                               name.compare(star, 3, "*0*") == 0 ||
                               name.compare(star, std::string::npos, "*0") == 0;
            std::string base = name.substr(0, star);
            std::string charset;
            std::string piece = encoded ? PercentDecoded(value, first, &charset) : value;
            if (!extended.empty() && extended.back().name == base && !first)
                extended.back().bytes += piece;
            else
                extended.push_back({base, charset, piece});
        }
    }
    // The extended forms take the place of plain ones of the same name.
    for (const Extended& piece : extended) {
        const std::string value = CharsetTextToAnsi(piece.charset, piece.bytes);
        bool replaced = false;
        for (Param& param : out.params)
            if (param.name == piece.name) {
                param.value = value;
                replaced = true;
            }
        if (!replaced) out.params.push_back({piece.name, value});
    }
    return out;
}

const std::string* ParamValue(const HeaderValue& header, const char* name) {
    for (const Param& param : header.params)
        if (param.name == name) return &param.value;
    return nullptr;
}

struct Walker {
    std::string_view text;
    ParsedMail* mail;
    size_t leaves = 0;
    int unnamed = 0;
};

// Position of the next delimiter line of `boundary` in [at, end) and
// whether it closes; npos when there is none.
size_t FindDelimiter(std::string_view text, const std::string& boundary, size_t at, size_t end,
                     bool* closing, size_t* afterLine) {
    while (at < end) {
        const size_t lineEnd = LineEnd(text, at, end);
        const std::string_view line = LineText(text, at, lineEnd);
        if (line.size() >= boundary.size() + 2 && line[0] == '-' && line[1] == '-' &&
            line.compare(2, boundary.size(), boundary) == 0) {
            std::string_view rest = line.substr(boundary.size() + 2);
            *closing = rest.size() >= 2 && rest[0] == '-' && rest[1] == '-';
            if (*closing) rest.remove_prefix(2);
            if (Trim(rest).empty()) {
                *afterLine = lineEnd < end ? lineEnd + 1 : end;
                return at;
            }
        }
        at = lineEnd < end ? lineEnd + 1 : end;
    }
    return std::string_view::npos;
}

// The end of a part's content before the delimiter line at `delimiter`:
// the line break in front of a delimiter belongs to it.
size_t ContentEndBefore(std::string_view text, size_t delimiter, size_t start) {
    size_t end = delimiter;
    if (end > start && text[end - 1] == '\n') --end;
    if (end > start && text[end - 1] == '\r') --end;
    return end;
}

void SortLeaf(Walker& walker, const Entity& entity, const HeaderValue& type, size_t end,
              bool inRelated) {
    if (walker.leaves >= kMaxMimeParts) return;
    ++walker.leaves;
    MimePart part;
    part.start = entity.bodyStart < end ? entity.bodyStart : end;
    part.end = end;
    part.contentType = type.value.empty() ? std::string("text/plain") : type.value;
    if (const std::string* encoding = FieldValue(entity, "content-transfer-encoding"))
        part.encoding = TransferEncodingOf(*encoding);
    if (const std::string* charset = ParamValue(type, "charset")) part.charset = *charset;
    const std::string* dispositionText = FieldValue(entity, "content-disposition");
    const HeaderValue disposition =
        dispositionText != nullptr ? ParseHeaderValue(*dispositionText) : HeaderValue();
    if (const std::string* name = ParamValue(disposition, "filename"))
        part.name = DecodeEncodedWords(*name);
    else if (const std::string* name = ParamValue(type, "name"))
        part.name = DecodeEncodedWords(*name);
    if (const std::string* id = FieldValue(entity, "content-id")) {
        std::string_view bare = Trim(*id);
        if (!bare.empty() && bare.front() == '<') bare.remove_prefix(1);
        if (!bare.empty() && bare.back() == '>') bare.remove_suffix(1);
        part.contentId = std::string(bare);
    }
    ParsedMail& mail = *walker.mail;
    // Inside a multipart/related a part with a Content-ID belongs to the
    // HTML body, whatever its disposition says (some programs mark embedded
    // pictures as attachments).
    const bool embedded = inRelated && !part.contentId.empty();
    const bool attachment = disposition.value == "attachment" && !embedded;
    if (!attachment && part.contentType == "text/plain" && !mail.hasText) {
        mail.hasText = true;
        mail.text = part;
    } else if (!attachment && part.contentType == "text/html" && !mail.hasHtml) {
        mail.hasHtml = true;
        mail.html = part;
    } else if (!attachment && !part.contentId.empty()) {
        if (part.name.empty()) part.name = part.contentId;
        mail.htmlItems.push_back(part);
    } else {
        if (type.value.empty()) part.contentType = "application/octet-stream";
        if (part.name.empty()) part.name = "attachment " + std::to_string(++walker.unnamed);
        mail.attachments.push_back(part);
    }
}

void WalkEntity(Walker& walker, const Entity& entity, size_t end, int depth, bool inRelated) {
    const std::string* typeText = FieldValue(entity, "content-type");
    const HeaderValue type = typeText != nullptr ? ParseHeaderValue(*typeText) : HeaderValue();
    const std::string* boundaryValue = ParamValue(type, "boundary");
    const bool multipart = type.value.compare(0, 10, "multipart/") == 0;
    if (!multipart || boundaryValue == nullptr || boundaryValue->empty()) {
        // A multipart without a boundary cannot be split: its body is kept
        // as one part.
        SortLeaf(walker, entity, multipart ? HeaderValue() : type, end, inRelated);
        return;
    }
    if (depth >= kMaxMimeDepth) return;
    const std::string boundary = boundaryValue->substr(0, kMaxBoundary);
    bool closing = false;
    size_t partStart = 0;
    size_t delimiter =
        FindDelimiter(walker.text, boundary, entity.bodyStart, end, &closing, &partStart);
    while (delimiter != std::string_view::npos && !closing && walker.leaves < kMaxMimeParts) {
        size_t nextStart = 0;
        bool nextClosing = false;
        const size_t next =
            FindDelimiter(walker.text, boundary, partStart, end, &nextClosing, &nextStart);
        // Without a closing delimiter the last part runs to the end.
        const size_t partEnd =
            next == std::string_view::npos ? end : ContentEndBefore(walker.text, next, partStart);
        const Entity part = ReadEntity(walker.text, partStart, partEnd);
        WalkEntity(walker, part, partEnd, depth + 1, type.value == "multipart/related");
        delimiter = next;
        closing = nextClosing;
        partStart = nextStart;
    }
}

std::string HeaderText(const Entity& entity, const char* name) {
    const std::string* value = FieldValue(entity, name);
    return value != nullptr ? DecodeEncodedWords(std::string(Trim(*value))) : std::string();
}

}  // namespace

ParsedMail ParseMailText(const char* text, size_t length) {
    ParsedMail mail;
    Walker walker{std::string_view(text, length), &mail};
    const Entity top = ReadEntity(walker.text, 0, length);
    mail.from = HeaderText(top, "from");
    mail.replyTo = HeaderText(top, "reply-to");
    mail.to = HeaderText(top, "to");
    mail.subject = HeaderText(top, "subject");
    mail.cc = HeaderText(top, "cc");
    mail.bcc = HeaderText(top, "bcc");
    mail.date = HeaderText(top, "date");
    if (const std::string* priority = FieldValue(top, "x-priority")) {
        const std::string digits(Trim(*priority).substr(0, 9));
        char* after = nullptr;
        const long value = strtol(digits.c_str(), &after, 10);
        if (after != digits.c_str()) mail.priority = static_cast<int>(value);
    }
    WalkEntity(walker, top, length, 0, false);
    return mail;
}

}  // namespace kelpo
