// The subject is always written as base64 encoded words, also when it is
// plain ASCII, so that every subject reaches the reader alike.
#include "netlib/encoded_words.h"

#include <cctype>
#include <string_view>
#include <vector>

#include "netlib/mail_charsets.h"
#include "netlib/mime_codecs.h"

namespace kelpo {
namespace {

constexpr size_t kSubjectLine = 72;  // base64 characters per encoded word

// Encoded words are short (75 characters by the standard); looking no
// further than this for a word's parts keeps hostile headers linear.
constexpr size_t kMaxCharsetName = 64;
constexpr size_t kMaxWordText = 1024;

// The position of `what` in value[from, from + window), or npos.
size_t FindWithin(const std::string& value, const char* what, size_t from, size_t window) {
    if (from > value.size()) return std::string::npos;
    const std::string_view span = std::string_view(value).substr(from, window);
    const size_t found = span.find(what);
    return found == std::string_view::npos ? std::string::npos : from + found;
}

struct Piece {
    bool encoded;
    std::string charset;
    std::string bytes;
};

bool IsBlankText(const std::string& text) {
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') return false;
    return true;
}

// The Q encoding: "_" is a space, "=XX" a byte.
std::string DecodeQ(const std::string& text) {
    std::string spaced = text;
    for (char& c : spaced)
        if (c == '_') c = ' ';
    return DecodeQuotedPrintable(spaced.data(), spaced.size());
}

// Reads one encoded word at `at` ("=?" there); false when it is none.
bool ReadWord(const std::string& value, size_t at, size_t* end, Piece* piece) {
    const size_t charsetEnd = FindWithin(value, "?", at + 2, kMaxCharsetName);
    if (charsetEnd == std::string::npos || charsetEnd == at + 2) return false;
    if (charsetEnd + 2 >= value.size() || value[charsetEnd + 2] != '?') return false;
    const char kind = static_cast<char>(toupper(static_cast<unsigned char>(value[charsetEnd + 1])));
    if (kind != 'B' && kind != 'Q') return false;
    const size_t textStart = charsetEnd + 3;
    const size_t close = FindWithin(value, "?=", textStart, kMaxWordText);
    if (close == std::string::npos) return false;
    const std::string text = value.substr(textStart, close - textStart);
    // No blanks inside a word: such a text is no encoded word.
    for (char c : text)
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') return false;
    std::string charset = value.substr(at + 2, charsetEnd - at - 2);
    // RFC 2231 adds a language after "*".
    const size_t star = charset.find('*');
    if (star != std::string::npos) charset.resize(star);
    piece->encoded = true;
    piece->charset = charset;
    piece->bytes = kind == 'B' ? DecodeBase64Text(text.data(), text.size()) : DecodeQ(text);
    *end = close + 2;
    return true;
}

}  // namespace

std::string SubjectHeaderLine(const std::string& subject, const char* charset) {
    if (subject.empty()) return "Subject: \r\n";
    const std::string lines = EncodeBase64Lines(reinterpret_cast<const uint8_t*>(subject.data()),
                                                subject.size(), kSubjectLine);
    std::string out = "Subject: ";
    size_t start = 0;
    while (start < lines.size()) {
        const size_t end = lines.find("\r\n", start);
        if (start > 0) out += "\r\n ";
        out += "=?";
        out += charset;
        out += "?B?";
        out.append(lines, start, end - start);
        out += "?=";
        start = end + 2;
    }
    out += "\r\n";
    return out;
}

std::string DecodeEncodedWords(const std::string& value) {
    std::vector<Piece> pieces;
    std::string plain;
    size_t i = 0;
    while (i < value.size()) {
        Piece word;
        size_t end = 0;
        if (value.compare(i, 2, "=?") == 0 && ReadWord(value, i, &end, &word)) {
            // Blanks between two encoded words are not part of the text, and
            // adjacent words of one charset are joined before converting, so
            // that a character split between them comes out whole.
            const bool followsWord = !pieces.empty() && pieces.back().encoded && IsBlankText(plain);
            if (!followsWord && !plain.empty()) pieces.push_back({false, std::string(), plain});
            plain.clear();
            if (followsWord && pieces.back().charset == word.charset)
                pieces.back().bytes += word.bytes;
            else
                pieces.push_back(word);
            i = end;
            continue;
        }
        plain += value[i++];
    }
    if (!plain.empty()) pieces.push_back({false, std::string(), plain});
    std::string out;
    for (const Piece& piece : pieces)
        out += piece.encoded ? CharsetTextToAnsi(piece.charset, piece.bytes) : piece.bytes;
    return out;
}

}  // namespace kelpo
