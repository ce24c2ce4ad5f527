// The saved options in the registry:
// HKEY_CURRENT_USER\Software\<key>\<profile>\Settings, values "crc" (the
// settings identity they belong to) and "Options" (a settings stream).
#pragma once

#include <cstdint>
#include <vector>

#include "host/id_resource.h"

namespace kelpo {

bool ReadSavedValue(const ProjectIdentity& identity, const char* name, std::vector<uint8_t>& bytes);
bool WriteSavedValue(const ProjectIdentity& identity, const char* name,
                     const std::vector<uint8_t>& bytes);

}  // namespace kelpo
