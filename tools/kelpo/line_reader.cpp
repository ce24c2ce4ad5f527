#include "tools/kelpo/line_reader.h"

#include <cstdio>
#include <cstdlib>

#if defined(_WIN32)
#include <io.h>
#define KELPO_ISATTY(fd) _isatty(fd)
#else
#include <unistd.h>
#define KELPO_ISATTY(fd) isatty(fd)
#endif

#if defined(KELPO_HAVE_EDITLINE)
#include <editline/readline.h>
#endif

namespace kelpo {

struct LineReader {
    bool interactive = false;
};

LineReader* NewLineReader() {
    auto* reader = new LineReader;
    reader->interactive = KELPO_ISATTY(0) != 0;
#if defined(KELPO_HAVE_EDITLINE)
    // Lets the user's editline settings single out this program.
    if (reader->interactive) rl_readline_name = "kelpo";
#endif
    return reader;
}

void FreeLineReader(LineReader* reader) { delete reader; }

bool IsInteractive(const LineReader* reader) { return reader->interactive; }

bool ReadLine(LineReader* reader, const char* prompt, std::string* line) {
    line->clear();
#if defined(KELPO_HAVE_EDITLINE)
    if (reader->interactive) {
        char* text = readline(prompt);
        if (text == nullptr) return false;
        *line = text;
        free(text);
        return true;
    }
#endif
    if (reader->interactive) {
        fputs(prompt, stdout);
        fflush(stdout);
    }
    int c;
    bool any = false;
    while ((c = fgetc(stdin)) != EOF) {
        any = true;
        if (c == '\n') break;
        *line += static_cast<char>(c);
    }
    if (!line->empty() && line->back() == '\r') line->pop_back();
    return any;
}

void RememberEntry(LineReader* reader, const std::string& entry) {
#if defined(KELPO_HAVE_EDITLINE)
    if (reader->interactive && !entry.empty()) add_history(entry.c_str());
#else
    (void)reader;
    (void)entry;
#endif
}

}  // namespace kelpo
