// Name patterns of Folder.files(patterns): ";"-joined patterns with the
// wildcards "*" (any run of characters, none included) and "?" (exactly one
// character), matched with case against UTF-16 names.
#pragma once

#include <string>
#include <vector>

namespace kelpo {

// Splits at every ";" (empty patterns stay and match only an empty name).
std::vector<std::u16string> SplitPatterns(const char16_t* text, size_t length);

bool MatchesPattern(const std::u16string& name, const std::u16string& pattern);
bool MatchesAnyPattern(const std::u16string& name, const std::vector<std::u16string>& patterns);

}  // namespace kelpo
