// Path texts of the File/Folder class: bounded reading, the normal form and
// the parts. The file system is asked only through platform/file_system.h.
#include "syslib/path_names.h"

#include "platform/file_system.h"
#include "platform/files.h"
#include "runtime/native_args.h"
#include "runtime/strings.h"

namespace kelpo {
namespace {

size_t CountOf(const std::string& text, char c) {
    size_t n = 0;
    for (char x : text) n += x == c;
    return n;
}

size_t LastSeparator(const std::string& path) {
    for (size_t i = path.size(); i > 0; --i) {
        if (IsPathSeparator(path[i - 1])) return i - 1;
    }
    return std::string::npos;
}

}  // namespace

bool PathOfValue(ScriptContext* context, const Value& value, std::string* path) {
    if (!BoundedAnsi(context, value, kMaxPathText, *path)) return false;
    size_t questionMarks = 0;
    for (uint32_t i = 0; i < value.string->length; ++i) {
        const char16_t unit = value.string->chars[i];
        if (unit == 0) return false;
        questionMarks += unit == u'?';
    }
    // Every "?" the conversion added stands for a character it could not
    // carry (no lead or trail byte of a double-byte page is a "?").
    return CountOf(*path, '?') == questionMarks;
}

bool NormalPath(const std::string& given, std::string* out) {
    std::string full;
    if (!AbsolutePath(given, &full)) return false;
    for (char& c : full) {
        if (IsPathSeparator(c)) c = kPathSeparator;
    }
    const size_t root = PathRootLength(full);
    std::string result = full.substr(0, root);
    size_t at = root;
    while (at < full.size()) {
        size_t end = full.find(kPathSeparator, at);
        if (end == std::string::npos) end = full.size();
        if (end > at) {
            if (!result.empty() && result.back() != kPathSeparator) result += kPathSeparator;
            const std::string written = full.substr(at, end - at);
            std::string stored;
            result += StoredNameOf(result + written, &stored) ? stored : written;
        }
        at = end + 1;
    }
    while (!IsDriveRoot(result) && result.size() > 1 && result.back() == kPathSeparator) {
        result.pop_back();
    }
    // A stored long name may be longer than the short alias written.
    if (result.empty() || result.size() > kMaxPathText) return false;
    *out = result;
    return true;
}

bool ChildPath(const std::string& folder, const std::string& name, std::string* out) {
    std::string child = folder;
    if (child.empty() || !IsPathSeparator(child.back())) child += kPathSeparator;
    child += name;
    if (child.size() > kMaxPathText) return false;
    *out = child;
    return true;
}

bool IsDriveRoot(const std::string& path) {
    return !path.empty() && PathRootLength(path) == path.size() && IsPathSeparator(path.back()) &&
           (path.size() == 1 || path[1] == ':');
}

std::string DrivePartOf(const std::string& path) {
    return path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) : std::string();
}

std::string NamePartOf(const std::string& path) {
    const size_t cut = LastSeparator(path);
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string ParentPartOf(const std::string& path) {
    const size_t cut = LastSeparator(path);
    if (cut == std::string::npos) return path;
    if (cut == 0 && kPathSeparator == '/') return path.substr(0, 1);
    return path.substr(0, cut);
}

bool IsPlainName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (char c : name) {
        if (IsPathSeparator(c)) return false;
    }
    return true;
}

bool IsSameOrBelow(const std::string& path, const std::string& folder) {
    if (path.size() < folder.size()) return false;
    if (!SamePathText(path.substr(0, folder.size()), folder)) return false;
    return path.size() == folder.size() || IsPathSeparator(folder.back()) ||
           IsPathSeparator(path[folder.size()]);
}

}  // namespace kelpo
