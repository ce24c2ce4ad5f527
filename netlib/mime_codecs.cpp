// Quoted-printable is written here by hand: none of the libraries the
// project depends on offers it. Base64 is written by syslib's encoder (cut
// into lines here) and read by libgpg-error's decoder.
#include "netlib/mime_codecs.h"

#include <gpg-error.h>

#include <cctype>
#include <vector>

#include "syslib/base64_text.h"

namespace kelpo {
namespace {

const char kHexDigits[] = "0123456789ABCDEF";

// Encoded lines stay within 76 characters with their soft break "=".
constexpr size_t kMaxEncodedLine = 75;

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool IsBlank(uint8_t c) { return c == ' ' || c == '\t'; }

std::string Trimmed(const std::string& text) {
    size_t start = 0, end = text.size();
    while (start < end && isspace(static_cast<unsigned char>(text[start]))) ++start;
    while (end > start && isspace(static_cast<unsigned char>(text[end - 1]))) --end;
    return text.substr(start, end - start);
}

}  // namespace

const char* TransferEncodingName(TransferEncoding encoding) {
    switch (encoding) {
        case kEncodingQuotedPrintable: return "quoted-printable";
        case kEncodingBase64: return "base64";
        case kEncodingBinary: break;
    }
    return "binary";
}

TransferEncoding TransferEncodingOf(const std::string& value) {
    std::string name = Trimmed(value);
    for (char& c : name) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    if (name == "quoted-printable") return kEncodingQuotedPrintable;
    if (name == "base64") return kEncodingBase64;
    return kEncodingBinary;
}

std::string EncodeQuotedPrintable(const uint8_t* bytes, size_t length) {
    std::string out;
    out.reserve(length + length / 8 + 8);
    size_t column = 0;
    auto put = [&](const char* unit, size_t size) {
        if (column + size > kMaxEncodedLine) {
            out += "=\r\n";
            column = 0;
        }
        out.append(unit, size);
        column += size;
    };
    for (size_t i = 0; i < length; ++i) {
        const uint8_t c = bytes[i];
        const bool crlf = c == '\r' && i + 1 < length && bytes[i + 1] == '\n';
        if (c == '\n' || crlf) {
            out += "\r\n";
            column = 0;
            if (crlf) ++i;
            continue;
        }
        // A blank at a line's end would be lost in transport: it is escaped.
        const bool lineEnd = i + 1 == length || bytes[i + 1] == '\n' ||
                             (bytes[i + 1] == '\r' && i + 2 < length && bytes[i + 2] == '\n');
        if ((c >= 32 && c <= 126 && c != '=' && !(c == ' ' && lineEnd)) ||
            (c == '\t' && !lineEnd)) {
            const char unit = static_cast<char>(c);
            put(&unit, 1);
        } else {
            const char unit[3] = {'=', kHexDigits[c >> 4], kHexDigits[c & 15]};
            put(unit, 3);
        }
    }
    if (!out.empty()) out += "=\r\n";
    return out;
}

std::string DecodeQuotedPrintable(const char* text, size_t length) {
    std::string out;
    out.reserve(length);
    for (size_t i = 0; i < length; ++i) {
        const char c = text[i];
        if (c != '=') {
            out += c;
            continue;
        }
        // "=XX"
        if (i + 2 < length && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
            continue;
        }
        // A soft break: "=", blanks, then CR LF or LF (or the end).
        size_t k = i + 1;
        while (k < length && IsBlank(static_cast<uint8_t>(text[k]))) ++k;
        if (k == length) {
            i = k - 1;
            continue;
        }
        if (text[k] == '\n' || (text[k] == '\r' && k + 1 < length && text[k + 1] == '\n')) {
            i = text[k] == '\n' ? k : k + 1;
            continue;
        }
        out += c;
    }
    return out;
}

std::string EncodeBase64Lines(const uint8_t* bytes, size_t length, size_t lineLength) {
    const std::string flat = EncodeBase64(std::vector<uint8_t>(bytes, bytes + length));
    std::string out;
    out.reserve(flat.size() + flat.size() / lineLength * 2 + 2);
    for (size_t i = 0; i < flat.size(); i += lineLength) {
        out.append(flat, i, lineLength);
        out += "\r\n";
    }
    return out;
}

std::string DecodeBase64Text(const char* text, size_t length) {
    std::string buffer(text, length);
    gpgrt_b64state_t state = gpgrt_b64dec_start(nullptr);
    if (state == nullptr) return std::string();
    size_t decoded = 0;
    gpgrt_b64dec_proc(state, buffer.data(), buffer.size(), &decoded);
    // A complaint about stray characters or a missing padding leaves what
    // was decoded, which is all a reader can have.
    gpgrt_b64dec_finish(state);
    buffer.resize(decoded);
    return buffer;
}

std::string DecodeTransfer(TransferEncoding encoding, const char* text, size_t length) {
    switch (encoding) {
        case kEncodingQuotedPrintable: return DecodeQuotedPrintable(text, length);
        case kEncodingBase64: return DecodeBase64Text(text, length);
        case kEncodingBinary: break;
    }
    return std::string(text, length);
}

}  // namespace kelpo
