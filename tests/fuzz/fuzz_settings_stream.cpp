// The settings stream: any bytes read or throw; a record that reads writes
// a stream that reads back to the same bytes, and embedded files land only
// in the instance folder.
#include <cstdlib>

#include "host/host_exceptions.h"
#include "host/settings_stream.h"
#include "tests/fuzz/project_fuzz_support.h"

using namespace kelpo;

namespace {

bool Read(const uint8_t* data, size_t size, ProjectSettings& settings) {
    ByteReader reader = MakeByteReader(data, size);
    try {
        ReadSettingsStream(reader, settings, fuzz::ScratchFolder());
        return true;
    } catch (const CTopBaseException&) {
        return false;
    }
}

void CheckPath(const char* path) {
    if (path[0] && !fuzz::IsInside(path, fuzz::ScratchFolder())) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ClearScratchFolder();
    ProjectSettings settings = EmptyProjectSettings();
    if (Read(data, size, settings)) {
        CheckPath(settings.misc.helpFile);
        CheckPath(settings.about.picture);
        ByteWriter first;
        WriteSettingsStream(first, settings);
        ProjectSettings again = EmptyProjectSettings();
        if (!Read(first.data(), first.size(), again)) abort();
        ByteWriter second;
        WriteSettingsStream(second, again);
        if (first != second) abort();
    }
    return 0;
}
