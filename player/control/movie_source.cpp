// Resolving and reading movie references.
#include "player/control/movie_source.h"

#include <windows.h>

#include <cwctype>

namespace kelpo::control {

namespace {

bool StartsWithNoCase(const std::wstring& text, const wchar_t* prefix) {
    size_t length = wcslen(prefix);
    return text.size() >= length && _wcsnicmp(text.c_str(), prefix, length) == 0;
}

int HexValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    c = static_cast<wchar_t>(std::towupper(c));
    return c >= L'A' && c <= L'F' ? c - L'A' + 10 : -1;
}

// %XX escapes are bytes of UTF-8 text.
std::wstring PercentDecoded(const std::wstring& text) {
    std::string bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
            HexValue(text[i + 2]) >= 0) {
            bytes.push_back(static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2])));
            i += 2;
            continue;
        }
        wchar_t c = text[i];
        char utf8[8];
        int n = WideCharToMultiByte(CP_UTF8, 0, &c, 1, utf8, sizeof utf8, nullptr, nullptr);
        bytes.append(utf8, n > 0 ? static_cast<size_t>(n) : 0);
    }
    int size =
        MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0)
        MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(),
                            size);
    return out;
}

// "file:///C:/dir/a.swf" -> "C:\dir\a.swf"; "file://server/share/a" -> "\\server\share\a".
std::wstring PathOfFileUrl(const std::wstring& url) {
    std::wstring rest = url.substr(5);
    if (rest.compare(0, 3, L"///") == 0)
        rest = rest.substr(3);
    else if (rest.compare(0, 2, L"//") == 0)
        rest = L"\\\\" + rest.substr(2);
    rest = PercentDecoded(rest);
    for (wchar_t& c : rest)
        if (c == L'/') c = L'\\';
    // "file:///C|/dir" is an old spelling of the drive colon.
    if (rest.size() >= 2 && rest[1] == L'|') rest[1] = L':';
    return rest;
}

bool IsAbsolutePath(const std::wstring& path) {
    return (path.size() >= 2 && path[1] == L':') ||
           (!path.empty() && (path[0] == L'\\' || path[0] == L'/'));
}

// Another URL scheme ("http:", "ftp:"); drive letters are not schemes.
bool HasOtherScheme(const std::wstring& text) {
    size_t colon = text.find(L':');
    if (colon == std::wstring::npos || colon < 2) return false;
    for (size_t i = 0; i < colon; ++i)
        if (!std::iswalnum(text[i]) && text[i] != L'+' && text[i] != L'-' && text[i] != L'.')
            return false;
    return true;
}

}  // namespace

std::wstring LocalPathOf(const std::wstring& reference, const std::wstring& base) {
    if (reference.empty()) return {};
    if (StartsWithNoCase(reference, L"file:")) return PathOfFileUrl(reference);
    if (HasOtherScheme(reference)) return {};
    if (IsAbsolutePath(reference) || base.empty()) return reference;
    std::wstring folder = LocalPathOf(base, L"");
    if (folder.empty()) return {};  // a base on the web: relative names are web names too
    if (folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
    return folder + reference;
}

bool ReadMovieSource(const std::wstring& reference, const std::wstring& base,
                     std::vector<uint8_t>& bytes) {
    std::wstring path = LocalPathOf(reference, base);
    if (path.empty()) return false;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size;
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart >= 0 && size.QuadPart < 0x7FFFFFFF;
    if (ok) {
        try {
            bytes.resize(static_cast<size_t>(size.QuadPart));
        } catch (...) {
            ok = false;
        }
    }
    DWORD done = 0;
    if (ok && !bytes.empty())
        ok = ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) &&
             done == bytes.size();
    CloseHandle(file);
    return ok;
}

bool LooksLikeMovie(const std::vector<uint8_t>& bytes) {
    return bytes.size() >= 3 && (bytes[0] == 'F' || bytes[0] == 'C') && bytes[1] == 'W' &&
           bytes[2] == 'S';
}

}  // namespace kelpo::control
