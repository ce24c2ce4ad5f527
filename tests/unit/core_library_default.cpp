// Test programs create contexts in many ways (directly, through runners,
// through the command bridge); all of them register the core library, as
// the kelpo command does.
#include "corelib/core_library.h"

namespace {

const bool kCoreLibraryInstalled = (kelpo::InstallCoreLibrary(), true);

}  // namespace
