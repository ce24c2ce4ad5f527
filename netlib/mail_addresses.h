// Addresses in the header values of a Mail, as the SMTP client needs them.
#pragma once

#include <string>
#include <vector>

namespace kelpo {

// The entries of a comma-separated address list, trimmed, empty ones
// dropped. Commas inside double quotes ("Doe, Jane" <jane@example.org>) or
// angle brackets do not separate entries.
std::vector<std::string> SplitAddressList(const std::string& list);

// The bare address of an entry: the text from its first "<" up to a ">"
// or the end, else the whole entry, trimmed. Empty when the entry holds a
// line break or NUL, or the address a "<" or ">": no address may end a
// command line early.
std::string BareAddress(const std::string& entry);

}  // namespace kelpo
