// SMTP replies (RFC 5321 4.2) and the AUTH texts (RFC 4954, 2195, 4616).
#include "netlib/smtp_replies.h"

#include <cctype>
#include <vector>

#include "netlib/mime_codecs.h"
#include "syslib/base64_text.h"
#include "syslib/crypto_blocks.h"

namespace kelpo {

bool SmtpReplyComplete(const std::string& data) {
    const size_t size = data.size();
    if (size < 2 || data[size - 2] != '\r' || data[size - 1] != '\n') return false;
    const size_t previous = size >= 3 ? data.rfind('\n', size - 3) : std::string::npos;
    const size_t lineStart = previous == std::string::npos ? 0 : previous + 1;
    const size_t lineLength = size - 2 - lineStart;
    return lineLength == 3 || (lineLength > 3 && data[lineStart + 3] == ' ');
}

int SmtpReplyCode(const std::string& reply) {
    int code = 0;
    size_t digits = 0;
    while (digits < reply.size() && digits < 3 &&
           isdigit(static_cast<unsigned char>(reply[digits])))
        code = code * 10 + (reply[digits++] - '0');
    return digits == 0 ? -1 : code;
}

bool SmtpReplyIs(const std::string& reply, int expected) {
    const int code = SmtpReplyCode(reply);
    return code >= expected && code < expected + 100;
}

unsigned OfferedAuthMethods(const std::string& reply) {
    static const char* const kStarts[] = {"250 AUTH ", "250-AUTH ", "250 AUTH=", "250-AUTH="};
    unsigned offered = 0;
    size_t lineStart = 0;
    while (lineStart < reply.size()) {
        size_t lineEnd = reply.find("\r\n", lineStart);
        if (lineEnd == std::string::npos) lineEnd = reply.size();
        const std::string line = reply.substr(lineStart, lineEnd - lineStart);
        for (const char* start : kStarts) {
            const std::string prefix = start;
            if (line.size() < prefix.size()) continue;
            bool same = true;
            for (size_t i = 0; i < prefix.size() && same; ++i)
                same = toupper(static_cast<unsigned char>(line[i])) == prefix[i];
            if (!same) continue;
            std::string word;
            for (size_t i = prefix.size(); i <= line.size(); ++i) {
                if (i == line.size() || line[i] == ' ') {
                    for (char& c : word)
                        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
                    if (word == "login") offered |= kAuthLogin;
                    if (word == "plain") offered |= kAuthPlain;
                    if (word == "cram-md5") offered |= kAuthCramMd5;
                    word.clear();
                } else {
                    word += line[i];
                }
            }
        }
        lineStart = lineEnd + 2;
    }
    return offered;
}

SmtpAuthMethod PreferredAuthMethod(unsigned offered) {
    if (offered & kAuthCramMd5) return kAuthCramMd5;
    if (offered & kAuthLogin) return kAuthLogin;
    if (offered & kAuthPlain) return kAuthPlain;
    return static_cast<SmtpAuthMethod>(0);
}

std::string Base64Of(const std::string& text) {
    return EncodeBase64(std::vector<uint8_t>(text.begin(), text.end()));
}

std::string CramMd5Answer(const std::string& user, const std::string& password,
                          const std::string& challengeBase64) {
    const std::string challenge = DecodeBase64Text(challengeBase64.data(), challengeBase64.size());
    uint8_t digest[kMd5Size];
    if (!HmacMd5(reinterpret_cast<const uint8_t*>(password.data()), password.size(),
                 reinterpret_cast<const uint8_t*>(challenge.data()), challenge.size(), digest))
        return std::string();
    static const char kHex[] = "0123456789abcdef";
    std::string answer = user + " ";
    for (uint8_t byte : digest) {
        answer += kHex[byte >> 4];
        answer += kHex[byte & 15];
    }
    return Base64Of(answer);
}

std::string AuthPlainArgument(const std::string& user, const std::string& password) {
    return Base64Of(std::string(1, '\0') + user + std::string(1, '\0') + password);
}

std::string DotStuffed(const std::string& line) {
    return !line.empty() && line[0] == '.' ? "." + line : line;
}

}  // namespace kelpo
