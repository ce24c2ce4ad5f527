// Character sets of mail text: the name a message gives the system's ANSI
// code page, and the conversion of received text into ANSI.
#pragma once

#include <string>

namespace kelpo {

// The charset named in every part of a message written on a system whose
// ANSI code page is `codePage`: 932 "iso-2022-jp", 936 "gb2312", 949
// "iso-2022-kr", 950 "big5", 1250 "iso-8859-2", 1251 "iso-8859-5", any
// other "iso-8859-1".
const char* AnsiCharsetName(unsigned codePage);

// Text in `charset` as ANSI. UTF-8, US-ASCII, ISO-8859-1 and Windows-1252
// are converted (characters ANSI lacks become '?'); the bytes of any other
// charset, and of an unnamed one, are taken as they are.
std::string CharsetTextToAnsi(const std::string& charset, const std::string& bytes);

}  // namespace kelpo
