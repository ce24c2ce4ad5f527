// ANSI code page on Windows: the system's active code page (CP_ACP).
#include <windows.h>

#include <climits>

#include "platform/ansi.h"

namespace kelpo {

size_t AnsiToUtf16(const char* text, size_t length, char16_t* out, size_t capacity) {
    if (length == 0 || length > INT_MAX || capacity > INT_MAX) return 0;
    int n = MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length),
                                reinterpret_cast<wchar_t*>(out),
                                out == nullptr ? 0 : static_cast<int>(capacity));
    return n > 0 ? static_cast<size_t>(n) : 0;
}

size_t Utf16ToAnsi(const char16_t* text, size_t length, char* out, size_t capacity) {
    if (length == 0 || length > INT_MAX || capacity > INT_MAX) return 0;
    // No best-fit mapping: a character outside the code page becomes the
    // default character instead of a look-alike with another meaning.
    int n =
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, reinterpret_cast<const wchar_t*>(text),
                            static_cast<int>(length), out,
                            out == nullptr ? 0 : static_cast<int>(capacity), nullptr, nullptr);
    return n > 0 ? static_cast<size_t>(n) : 0;
}

}  // namespace kelpo
