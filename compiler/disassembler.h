// Readable listings of compiled images.
#pragma once

#include <string>

#include "compiler/image.h"

namespace kelpo {

// Appends the listing of an image to `out`; false (after listing what could
// be read) when a section is malformed.
bool DisassembleImage(const SectionList* list, std::string* out);

}  // namespace kelpo
