// Paths of the File/Folder class: reading them from script values, their
// normal form (absolute, true case, no trailing separator but on a drive
// root) and the parts the class reports.
//
// Every path that reaches the file system is at most kMaxPathText bytes of
// ANSI text; longer ones, and composed ones (folder + separator + name)
// that would be longer, are refused before any system call rather than cut
// into some other entry's name.
#pragma once

#include <string>

#include "runtime/context.h"

namespace kelpo {

// The ANSI path of a String value. False (with nothing done) when it is not
// a String, is longer than kMaxPathText bytes, holds a NUL (which would end
// the name early) or a character the ANSI code page lacks (which would
// become a "?", a wildcard on Windows and a real name character elsewhere).
bool PathOfValue(ScriptContext* context, const Value& value, std::string* path);

// The normal form of an existing or about-to-be-created entry: absolute,
// native separators, each component in the case stored on disk (a
// component that is not found stays as written), without a trailing
// separator unless it is a drive root. False when it cannot be formed
// within the limit.
bool NormalPath(const std::string& given, std::string* out);

// folder + separator + name; false when that is longer than the limit.
bool ChildPath(const std::string& folder, const std::string& name, std::string* out);

// "C:\" on Windows, "/" elsewhere.
bool IsDriveRoot(const std::string& path);
// Letter and colon, or empty.
std::string DrivePartOf(const std::string& path);
// After the last separator (empty for a root).
std::string NamePartOf(const std::string& path);
// Up to, not including, the last separator; the whole path without one.
// Outside Windows the parent of an entry in "/" is "/".
std::string ParentPartOf(const std::string& path);
// A name that renames in place: not empty, no separator, not "." or "..".
bool IsPlainName(const std::string& name);
// `path` is `folder` or lies below it, as texts.
bool IsSameOrBelow(const std::string& path, const std::string& folder);

}  // namespace kelpo
