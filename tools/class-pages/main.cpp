// kelpo-class-pages: writes docs/classes.md from the libraries themselves,
// or checks that the page in the tree still matches them.
//   kelpo-class-pages                 the page on standard output
//   kelpo-class-pages --check FILE    exit 1 when FILE differs or a member
//                                     has no line
//   kelpo-class-pages --lines         exit 1 when a member has no line (a
//                                     build with fewer libraries than the
//                                     page's)
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

#include "corelib/classes.h"
#include "corelib/globals.h"
#include "hostobjects/flash_player_classes.h"
#include "syslib/classes.h"
#include "tools/class-pages/class_pages.h"
#ifdef _WIN32
#include "hostobjects/application_class.h"
#include "hostobjects/form_class.h"
#include "hostobjects/host_functions.h"
#include "netlib/classes.h"
#include "syslib/message_pump_win32.h"
#endif

namespace kelpo {
namespace {

#define KELPO_STEP(group, names, function) {#group, names, function},
const GroupedStep kEveryStep[] = {
#include "corelib/registration_order.def"
};
#undef KELPO_STEP

std::string WithoutCarriageReturns(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c != '\r') out += c;
    }
    return out;
}

int Check(const ClassPages& pages, const char* path) {
    int status = 0;
    for (const std::string& name : pages.undescribed) {
        fprintf(stderr, "kelpo-class-pages: no line for %s\n", name.c_str());
        status = 1;
    }
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    std::string stored = WithoutCarriageReturns(buffer.str());
    if (stored != pages.markdown) {
        // Name the first line that differs, so the cause is plain.
        std::istringstream a(stored), b(pages.markdown);
        std::string la, lb;
        int line = 1;
        while (true) {
            bool ha = static_cast<bool>(std::getline(a, la));
            bool hb = static_cast<bool>(std::getline(b, lb));
            if (!ha && !hb) break;
            if (!ha || !hb || la != lb) {
                fprintf(stderr,
                        "kelpo-class-pages: %s differs from the libraries at line %d:\n"
                        "  page:      %s\n  libraries: %s\n"
                        "Write it again with kelpo-class-pages > docs/classes.md.\n",
                        path, line, ha ? la.c_str() : "(end)", hb ? lb.c_str() : "(end)");
                break;
            }
            ++line;
        }
        status = 1;
    }
    return status;
}

}  // namespace
}  // namespace kelpo

int main(int argc, char** argv) {
    using namespace kelpo;
#if defined(_WIN32)
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    const int count = static_cast<int>(sizeof(kEveryStep) / sizeof(kEveryStep[0]));
    ClassPages pages = MakeClassPages(kEveryStep, count);
    if (argc == 3 && strcmp(argv[1], "--check") == 0) return Check(pages, argv[2]);
    if (argc == 2 && strcmp(argv[1], "--lines") == 0) {
        for (const std::string& name : pages.undescribed) {
            fprintf(stderr, "kelpo-class-pages: no line for %s\n", name.c_str());
        }
        return pages.undescribed.empty() ? 0 : 1;
    }
    if (argc != 1) {
        fputs("usage: kelpo-class-pages [--check FILE | --lines]\n", stderr);
        return 2;
    }
    fwrite(pages.markdown.data(), 1, pages.markdown.size(), stdout);
    for (const std::string& name : pages.undescribed) {
        fprintf(stderr, "kelpo-class-pages: no line for %s\n", name.c_str());
    }
    return 0;
}
