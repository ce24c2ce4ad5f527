// Texts that come from an HTTP peer or a system setting and are read as
// numbers or lists. They are hostile: read within their bounds, and
// anything that is not what it should be is refused.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kelpo {

// A header's decimal value (Content-Length, a status code): digits with
// optional blanks around them, at most 2^53 - 1 so that scripts hold it
// exactly; -1 for anything else (empty, a sign, other characters, more).
int64_t ParseHeaderDecimal(const std::string& text);

// The addresses of a name-server setting: the pieces between spaces,
// commas, semicolons and tabs, empty pieces dropped, in order.
std::vector<std::string> SplitNameServers(const std::string& text);

}  // namespace kelpo
