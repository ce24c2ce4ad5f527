// The SMTP client's reading of server replies and the texts of its
// authentication, apart from the sockets so that they are tested natively.
#pragma once

#include <cstdint>
#include <string>

namespace kelpo {

// A reply ends with CR LF after a last line whose fourth character is a
// space (or that is the three digits alone): the line that ends a
// multi-line reply.
bool SmtpReplyComplete(const std::string& data);

// The number at the start of a reply; -1 when it starts with no digit.
int SmtpReplyCode(const std::string& reply);

// A reply answers as expected when its number lies in
// [expected, expected + 100).
bool SmtpReplyIs(const std::string& reply, int expected);

// The AUTH methods an EHLO reply offers, from a line starting "250 AUTH ",
// "250-AUTH ", "250 AUTH=" or "250-AUTH=" (words in any letter case).
enum SmtpAuthMethod : unsigned { kAuthLogin = 1, kAuthPlain = 2, kAuthCramMd5 = 4 };
unsigned OfferedAuthMethods(const std::string& ehloReply);

// The method to use among those offered: CRAM-MD5, else LOGIN, else PLAIN;
// 0 when none of them is offered.
SmtpAuthMethod PreferredAuthMethod(unsigned offered);

// The answer to a CRAM-MD5 challenge (the base64 text after "334 "): the
// base64 of the user name, a space and the 32 lower-case hexadecimal digits
// of HMAC-MD5(password, challenge). Empty when the digest fails.
std::string CramMd5Answer(const std::string& user, const std::string& password,
                          const std::string& challengeBase64);

// The AUTH PLAIN argument: base64 of NUL, user, NUL, password.
std::string AuthPlainArgument(const std::string& user, const std::string& password);

// Plain base64 of a text, for AUTH LOGIN.
std::string Base64Of(const std::string& text);

// A line of the message as the DATA phase sends it: a line starting with
// "." gets a second one, so that no line of the message ends it early.
std::string DotStuffed(const std::string& line);

}  // namespace kelpo
