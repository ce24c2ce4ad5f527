// UTF-16 and UTF-8 conversions through the Win32 code-page functions.
#include "player/control/text_conversion.h"

namespace kelpo::control {

std::string Utf8FromWide(const wchar_t* text, size_t length) {
    if (length == 0) return {};
    int size = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr,
                                   nullptr);
    std::string out(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), out.data(), size, nullptr,
                            nullptr);
    return out;
}

std::string Utf8FromBstr(BSTR text) {
    return text ? Utf8FromWide(text, SysStringLen(text)) : std::string();
}

std::wstring WideFromUtf8(const std::string& text) {
    if (text.empty()) return {};
    int size =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0)
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(),
                            size);
    return out;
}

std::wstring WideFromBstr(BSTR text) {
    return text ? std::wstring(text, SysStringLen(text)) : std::wstring();
}

BSTR BstrFromWide(const std::wstring& text) {
    return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

BSTR BstrFromUtf8(const std::string& text) { return BstrFromWide(WideFromUtf8(text)); }

}  // namespace kelpo::control
