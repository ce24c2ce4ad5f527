// What the script objects read from outside: region files (".msk"), the
// process command line and movie variable texts. The first byte picks the
// reader, the rest is its input.
#include <cstdlib>
#include <string>
#include <vector>

#include "hostobjects/command_items.h"
#include "hostobjects/movie_text.h"
#include "hostobjects/region_file.h"
#include "runtime/errors.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

void CheckRegionFile(const uint8_t* data, size_t size) {
    std::vector<uint8_t> file(data, data + size), region;
    if (!kelpo::ParseRegionFile(file, region)) return;
    // The region data lies within the file, after its count, and holds at
    // least the header the region call reads.
    if (region.size() < kelpo::kRegionHeaderSize || region.size() + 4 > size) abort();
}

void CheckCommandLine(const uint8_t* data, size_t size) {
    for (const std::string& item : kelpo::SplitCommandItems(std::string(data, data + size))) {
        if (item.empty() || item.size() > size) abort();
    }
}

void CheckMovieText(const uint8_t* data, size_t size) {
    kelpo::ScriptRunner* runner = kelpo::fuzz::NewFuzzRunner();
    std::u16string text;
    for (size_t i = 0; i + 1 < size; i += 2)
        text += static_cast<char16_t>(data[i] | data[i + 1] << 8);
    kelpo::CatchRaise(runner->context, [&] {
        kelpo::Value value = kelpo::MovieTextToValue(runner->context, text);
        // Texts that are not words or numbers come back unchanged.
        if (value.tag == kelpo::ValueTag::String && kelpo::TextOf(value) != text) abort();
    });
    kelpo::FreeScriptRunner(runner);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    switch (data[0] % 3) {
        case 0: CheckRegionFile(data + 1, size - 1); break;
        case 1: CheckCommandLine(data + 1, size - 1); break;
        default: CheckMovieText(data + 1, size - 1); break;
    }
    return 0;
}
