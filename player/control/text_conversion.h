// Conversions between the control's UTF-16 texts (BSTR) and the core's
// UTF-8 strings.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>

namespace kelpo::control {

std::string Utf8FromWide(const wchar_t* text, size_t length);
std::string Utf8FromBstr(BSTR text);  // a null BSTR is the empty text
std::wstring WideFromUtf8(const std::string& text);
std::wstring WideFromBstr(BSTR text);
// Null when out of memory.
BSTR BstrFromUtf8(const std::string& text);
BSTR BstrFromWide(const std::wstring& text);

}  // namespace kelpo::control
