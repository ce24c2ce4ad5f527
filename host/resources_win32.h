// Access to the project stores in the executable's resources.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace kelpo {

// Finds and unpacks a packed resource of the projector's own module. Throws
// CTopBaseException when the resource is missing, empty or cannot be loaded,
// CZipException when its container is damaged.
std::vector<uint8_t> LoadPackedResource(const char* type, const char* name);

// Copies a resource's bytes without unpacking; false when it is missing.
bool ReadRawResource(const char* type, const char* name, std::vector<uint8_t>& bytes);

}  // namespace kelpo
