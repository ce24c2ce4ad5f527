// kelpo: the command-line face of the script engine.
//
//   kelpo [OPTIONS]                   interactive mode (also `kelpo repl`)
//   kelpo [OPTIONS] run FILE [ARGS...]
//                                     run a source (.kls), compiled (.klc) or
//                                     content-detected script
//   kelpo [OPTIONS] eval TEXT         run source text, print the result
//   kelpo compile SRC [-o OUT] [--lines]
//   kelpo disasm FILE.klc
//
// OPTIONS are --heap-limit BYTES and --budget N, the engine's two bounds
// for scripts that are not trusted.
//
// The trace output (trace() and warnings) goes to standard output, one line
// per write; errors go to standard error with exit status 1.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

#include "compiler/compile_state.h"
#include "compiler/disassembler.h"
#include "compiler/engine.h"
#include "compiler/image.h"
#include "runtime/array.h"
#include "runtime/atoms.h"
#include "runtime/convert.h"
#include "runtime/errors.h"
#include "runtime/strings.h"
#include "runtime/trace.h"
#include "tools/kelpo/command_line_library.h"
#include "tools/kelpo/engine_bounds.h"
#include "tools/kelpo/interactive.h"
#include "tools/kelpo/result_text.h"

namespace {

using namespace kelpo;

const char kUsage[] =
    "usage: kelpo [OPTIONS] [COMMAND ...]\n"
    "Without a command, kelpo reads statements interactively.\n"
    "commands:\n"
    "  repl                            read statements line by line and run them\n"
    "  run FILE [ARGS...]              run a script: source (.kls), compiled (.klc),\n"
    "                                  or decided by content; ARGS become the global ARGV\n"
    "  eval TEXT                       run source text and print its result\n"
    "  compile SRC [-o OUT] [--lines]  compile to a KS1b image (default SRC with .klc);\n"
    "                                  --lines adds the line table\n"
    "  disasm FILE                     list a compiled image\n"
    "  COMMAND --help                  help for a command\n"
    "options (before the command):\n"
    "  --heap-limit BYTES              the most the script heap may take from the\n"
    "                                  system (K, M or G after the number: KiB, MiB,\n"
    "                                  GiB); past it allocation raises \"Out of memory\"\n"
    "  --budget N                      the work one run may do (backward jumps count\n"
    "                                  the words they span, calls one each); past it\n"
    "                                  the run stops with \"Instruction budget exhausted\"\n"
    "  --help, --version\n";

const char* const kCommandHelp[][2] = {
    {"run",
     "usage: kelpo run FILE [ARGS...]\n"
     "Runs a script file. FILE ending in .klc is a compiled image, .kls source text;\n"
     "other names are images when they start with the KS1b magic (after an optional\n"
     "\"#\" first line), source otherwise. ARGS are given to the script as the array\n"
     "ARGV. Trace output goes to standard output; a compile or run-time error goes to\n"
     "standard error and the exit status is 1.\n"},
    {"eval",
     "usage: kelpo eval TEXT\n"
     "Runs TEXT as a program and prints the text of its result (the value of its\n"
     "last expression statement).\n"},
    {"compile",
     "usage: kelpo compile SRC [-o OUT] [--lines]\n"
     "Compiles SRC into a KS1b image written to OUT (default: SRC with the extension\n"
     ".klc). Warnings go to standard error; a compile error gives exit status 1.\n"
     "--lines records source lines in the image.\n"},
    {"repl",
     "usage: kelpo [OPTIONS] [repl]\n"
     "Reads statements from standard input and runs each in one context as soon as\n"
     "it is complete (an unclosed bracket, brace or comment continues it on the next\n"
     "line), printing the value of every entry that has one. Warnings and errors are\n"
     "shown and the session goes on; \".exit\" or the end of input leaves. On a\n"
     "terminal, lines can be edited and earlier entries recalled.\n"},
    {"disasm",
     "usage: kelpo disasm FILE\n"
     "Lists a compiled image: its sections, constant pool, the instructions of each\n"
     "code unit with names and constants resolved, and the line records.\n"},
};

bool WantsHelp(int argc, char** argv, int from) {
    for (int i = from; i < argc; ++i) {
        if (strcmp(argv[i], "--help") == 0 || strcmp(argv[i], "-h") == 0) return true;
    }
    return false;
}

int CommandHelp(const char* command) {
    for (const auto& entry : kCommandHelp) {
        if (strcmp(entry[0], command) == 0) fputs(entry[1], stdout);
    }
    return 0;
}

// Writes trace text as lines ending in a line feed on every platform.
void TraceToStdout(void*, const char* text, size_t length) {
    std::string out;
    out.reserve(length);
    for (size_t i = 0; i < length; ++i) {
        if (text[i] == '\r' && (i + 1 == length || text[i + 1] == '\n')) continue;
        out += text[i];
    }
    fwrite(out.data(), 1, out.size(), stdout);
    fflush(stdout);
}

// Compile messages and error texts use CR LF line ends; print plain lines.
void PrintMessages(FILE* to, const char* text) {
    std::string out;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p != '\r') out += *p;
    }
    if (!out.empty() && out.back() != '\n') out += '\n';
    fputs(out.c_str(), to);
}

void PrintError(ScriptRunner* runner) {
    ScriptContext* context = runner->context;
    PrintMessages(stderr,
                  context->longErrorText != nullptr ? context->longErrorText : context->errorText);
}

EngineOptions gEngineOptions = DefaultEngineOptions();

ScriptRunner* StartRunner() {
    ScriptRunner* runner = NewScriptRunner(&gEngineOptions);
    if (runner == nullptr) fprintf(stderr, "kelpo: cannot create a script engine\n");
    return runner;
}

bool FileExists(const char* path) {
    FILE* f = fopen(path, "rb");
    if (f == nullptr) return false;
    fclose(f);
    return true;
}

void SetArguments(ScriptRunner* runner, int count, char** items) {
    ScriptContext* context = runner->context;
    CatchRaise(context, [&] {
        Atom atom = InternAtom(context, "ARGV");
        Value list = NewArray(context, static_cast<uint64_t>(count));
        context->atomValues[atom] = list;
        for (int i = 0; i < count; ++i) {
            ArraySet(context, list, NewStringFromCString(context, items[i]),
                     static_cast<uint64_t>(i));
        }
    });
}

int Run(int argc, char** argv) {
    if (argc < 3) {
        fputs("kelpo run: missing FILE\n", stderr);
        return 2;
    }
    const char* path = argv[2];
    if (!FileExists(path)) {
        fprintf(stderr, "kelpo run: cannot open \"%s\"\n", path);
        return 1;
    }
    ScriptRunner* runner = StartRunner();
    if (runner == nullptr) return 1;
    SetArguments(runner, argc - 3, argv + 3);
    free(runner->context->longErrorText);
    runner->context->longErrorText = nullptr;
    int status = RunScriptFileStatus(runner, path);
    int exitCode = 0;
    if (status != 1) {
        PrintError(runner);
        exitCode = 1;
    }
    FreeScriptRunner(runner);
    return exitCode;
}

int Eval(int argc, char** argv) {
    if (argc < 3) {
        fputs("kelpo eval: missing TEXT\n", stderr);
        return 2;
    }
    ScriptRunner* runner = StartRunner();
    if (runner == nullptr) return 1;
    int exitCode = 0;
    if (!RunSource(runner, argv[2])) {
        PrintError(runner);
        exitCode = 1;
    } else {
        std::string text;
        if (ResultText(runner->context, &text)) {
            printf("%s\n", text.c_str());
        } else {
            PrintError(runner);
            exitCode = 1;
        }
    }
    FreeScriptRunner(runner);
    return exitCode;
}

int Compile(int argc, char** argv) {
    const char* source = nullptr;
    std::string output;
    bool lines = false;
    for (int i = 2; i < argc; ++i) {
        if (strcmp(argv[i], "-o") == 0) {
            if (i + 1 >= argc) {
                fputs("kelpo compile: -o needs a file name\n", stderr);
                return 2;
            }
            output = argv[++i];
        } else if (strcmp(argv[i], "--lines") == 0) {
            lines = true;
        } else if (argv[i][0] == '-') {
            fprintf(stderr, "kelpo compile: unknown option %s\n", argv[i]);
            return 2;
        } else if (source == nullptr) {
            source = argv[i];
        } else {
            fputs("kelpo compile: only one source file\n", stderr);
            return 2;
        }
    }
    if (source == nullptr) {
        fputs("kelpo compile: missing SRC\n", stderr);
        return 2;
    }
    if (output.empty()) {
        output = source;
        size_t dot = output.find_last_of('.');
        size_t slash = output.find_last_of("/\\");
        if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
            output.resize(dot);
        output += ".klc";
    }
    ScriptRunner* runner = StartRunner();
    if (runner == nullptr) return 1;
    ScriptContext* context = runner->context;
    uint32_t options = CompileOptionsOf(runner) | (lines ? LineTableOption : 0);
    ScriptStream* stream = nullptr;
    CatchRaise(context, [&] { stream = OpenScriptStream(context, source, FileReaderStream); });
    int exitCode = 0;
    if (stream == nullptr) {
        PrintError(runner);
        exitCode = 1;
    } else {
        ScriptStream* image = CompileScript(context, stream, options, nullptr, output.c_str());
        if (context->longErrorText != nullptr || context->errorText[0] != '\0') PrintError(runner);
        if (image == nullptr) {
            exitCode = 1;
        } else if (!FileExists(output.c_str())) {
            fprintf(stderr, "kelpo compile: cannot write \"%s\"\n", output.c_str());
            exitCode = 1;
        }
    }
    FreeScriptRunner(runner);
    return exitCode;
}

int Interactive(int, char**) {
    ScriptRunner* runner = StartRunner();
    if (runner == nullptr) return 1;
    int status = RunInteractive(runner);
    FreeScriptRunner(runner);
    return status;
}

int Disasm(int argc, char** argv) {
    if (argc < 3) {
        fputs("kelpo disasm: missing FILE\n", stderr);
        return 2;
    }
    FILE* file = fopen(argv[2], "rb");
    if (file == nullptr) {
        fprintf(stderr, "kelpo disasm: cannot open \"%s\"\n", argv[2]);
        return 1;
    }
    SectionList* list = ReadImageFile(file);
    fclose(file);
    if (list == nullptr) {
        fprintf(stderr, "kelpo disasm: \"%s\" is not a KS1b image\n", argv[2]);
        return 1;
    }
    std::string listing;
    bool ok = DisassembleImage(list, &listing);
    FreeSectionList(list);
    fputs(listing.c_str(), stdout);
    if (!ok) fprintf(stderr, "kelpo disasm: \"%s\" is damaged\n", argv[2]);
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
#if defined(_WIN32)
    // The same bytes on every platform: no text-mode line-end translation.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    // Options come before the command; what follows the command is its own.
    std::vector<char*> args{argv[0]};
    int first = 1;
    for (; first < argc && argv[first][0] == '-' && argv[first][1] == '-'; ++first) {
        const char* option = argv[first];
        if (strcmp(option, "--help") == 0) {
            fputs(kUsage, stdout);
            return 0;
        }
        if (strcmp(option, "--version") == 0) {
            fputs("kelpo " KELPO_VERSION_TEXT "\n", stdout);
            return 0;
        }
        std::string error;
        int used = ApplyEngineBoundOption(argc - first, argv + first, &gEngineOptions, &error);
        if (used == 0) {
            fprintf(stderr, "kelpo: %s\n\n%s", error.c_str(), kUsage);
            return 2;
        }
        first += used - 1;
    }
    if (first < argc && strcmp(argv[first], "-h") == 0) {
        fputs(kUsage, stdout);
        return 0;
    }
    static char repl[] = "repl";
    args.push_back(first < argc ? argv[first] : repl);
    for (int i = first + 1; i < argc; ++i) args.push_back(argv[i]);
    int count = static_cast<int>(args.size());
    char** list = args.data();

    InstallLibraries();
    const char* command = list[1];
    using Handler = int (*)(int, char**);
    const struct {
        const char* name;
        Handler handler;
    } commands[] = {{"run", Run},
                    {"eval", Eval},
                    {"compile", Compile},
                    {"disasm", Disasm},
                    {"repl", Interactive}};
    for (const auto& c : commands) {
        if (strcmp(command, c.name) != 0) continue;
        // "run FILE --help" passes --help to the script; help only when it
        // comes before the file.
        bool help = strcmp(c.name, "run") == 0 ? (count > 2 && WantsHelp(3, list, 2))
                                               : WantsHelp(count, list, 2);
        if (help) return CommandHelp(c.name);
        SetTraceSink(TraceToStdout, nullptr);
        return c.handler(count, list);
    }
    fprintf(stderr, "kelpo: unknown command \"%s\"\n\n%s", command, kUsage);
    return 2;
}
