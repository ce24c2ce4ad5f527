// The two exception types that carry host operation failures.
//
// Each host operation catches them at its edge, reports the message (a message
// box titled with the main window's caption once that window exists) and
// returns an empty result; nothing throws across a Win32 or COM callback.
#pragma once

#include <stdexcept>
#include <string>

namespace kelpo {

// A failed host operation with the text shown to the user.
class CTopBaseException : public std::runtime_error {
public:
    explicit CTopBaseException(const std::string& message) : std::runtime_error(message) {}
};

// A container or zlib failure; `code` is the zlib result code (0 when the
// container itself was malformed).
class CZipException : public CTopBaseException {
public:
    CZipException(int code, const std::string& message) : CTopBaseException(message), code(code) {}
    int code;
};

// The exception for a failed system call: the system's text for the last
// error code, in the system default language (Windows); a generic text elsewhere.
CTopBaseException LastErrorException();

}  // namespace kelpo
