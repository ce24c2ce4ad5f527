// Lines typed at the interactive prompt: with line editing and history on a
// terminal (when the build has the editline library), plain lines from a
// pipe or a file, without prompts, so that a session can be scripted.
#pragma once

#include <string>

namespace kelpo {

struct LineReader;

LineReader* NewLineReader();
void FreeLineReader(LineReader* reader);

// Whether the reader shows prompts (standard input is a terminal).
bool IsInteractive(const LineReader* reader);

// Reads one line without its line end; false at the end of input.
bool ReadLine(LineReader* reader, const char* prompt, std::string* line);

// Adds a finished entry to the history that the arrow keys recall.
void RememberEntry(LineReader* reader, const std::string& entry);

}  // namespace kelpo
