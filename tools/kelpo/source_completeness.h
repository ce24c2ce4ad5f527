// Whether a piece of source text typed at the interactive prompt is
// finished, or still waits for lines that close what it opened.
#pragma once

#include <string>

namespace kelpo {

// True while the text has an unclosed bracket, brace or parenthesis, an
// open block comment, or a string continued by a final backslash. Closing
// more than was opened counts as finished, so the compiler reports it.
bool IsUnfinishedSource(const std::string& text);

}  // namespace kelpo
