#include "tools/kelpo/interactive.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/kelpo/line_reader.h"
#include "tools/kelpo/result_text.h"
#include "tools/kelpo/source_completeness.h"

namespace kelpo {
namespace {

const char kBanner[] = "Kelpo Script " KELPO_VERSION_TEXT
                       ". Statements run as you type them; an unfinished one continues on the\n"
                       "next line. \".exit\" or the end of input (Ctrl-D) leaves.\n";

void ClearError(ScriptContext* context) {
    context->errorText[0] = '\0';
    free(context->longErrorText);
    context->longErrorText = nullptr;
}

// Compile messages and error texts use CR LF line ends; print plain lines.
void PrintPlain(FILE* to, const char* text) {
    std::string out;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p != '\r') out += *p;
    }
    if (!out.empty() && out.back() != '\n') out += '\n';
    fputs(out.c_str(), to);
    fflush(to);
}

void PrintError(ScriptContext* context) {
    PrintPlain(stderr,
               context->longErrorText != nullptr ? context->longErrorText : context->errorText);
}

// Prints the value the entry left, unless it left none.
void PrintResult(ScriptContext* context) {
    if (context->result.tag == ValueTag::Undefined) return;
    std::string text;
    if (ResultText(context, &text)) {
        text += '\n';
        fputs(text.c_str(), stdout);
        fflush(stdout);
    } else {
        PrintError(context);
    }
}

}  // namespace

int RunInteractive(ScriptRunner* runner) {
    ScriptContext* context = runner->context;
    LineReader* reader = NewLineReader();
    if (IsInteractive(reader)) fputs(kBanner, stdout);
    std::string entry;
    std::string line;
    while (ReadLine(reader, entry.empty() ? "> " : "... ", &line)) {
        if (entry.empty() && (line == ".exit" || line == ".quit")) break;
        entry += line;
        entry += '\n';
        if (IsUnfinishedSource(entry)) continue;
        RememberEntry(reader, entry.substr(0, entry.size() - 1));
        context->result = MakeUndefined();
        ClearError(context);
        if (RunSource(runner, entry.c_str())) {
            PrintResult(context);
        } else {
            PrintError(context);
        }
        entry.clear();
    }
    // Input that ends inside an unfinished entry still runs, so the compiler
    // can say what is missing.
    if (!entry.empty()) {
        ClearError(context);
        if (!RunSource(runner, entry.c_str())) PrintError(context);
    }
    if (IsInteractive(reader)) fputs("\n", stdout);
    FreeLineReader(reader);
    return 0;
}

}  // namespace kelpo
