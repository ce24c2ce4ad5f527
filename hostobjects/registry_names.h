// Registry names that come from scripts: the profile section keys of
// readProfile and writeProfile, and the keys Application.associate
// writes. Every name is checked before it reaches the registry, so that a
// script cannot step outside the key it is meant to write below.
#pragma once

#include <string>

#include "host/id_resource.h"

namespace kelpo {

// Longest registry key name and value name accepted.
constexpr size_t kMaxKeyName = 255;
constexpr size_t kMaxValueName = 16383;

// A single key name: not empty, no backslash, at most kMaxKeyName bytes.
bool IsRegistryKeyName(const std::string& name);

// "Software\<key>\<profile>\<section>" of the application profile; false
// when the section is not a single key name or the project has no key.
bool ProfileSectionKey(const ProjectIdentity& identity, const std::string& section,
                       std::string& key);

// What associate writes in HKEY_CLASSES_ROOT for a type: the icon key, the
// open command key and their default values for the executable `exePath`.
struct AssociationKeys {
    std::string iconKey;       // typeName\DefaultIcon
    std::string iconValue;     // exePath,1
    std::string commandKey;    // typeName\shell\open\command
    std::string commandValue;  // exePath "%1"
};
// False when the extension or the type name is not a single key name or the
// path is longer than a path text.
bool MakeAssociationKeys(const std::string& extension, const std::string& typeName,
                         const std::string& exePath, AssociationKeys& keys);

// Step 3 of associate: whether the extension's current default value (as
// read; `readable` false when it could not be read) is to be replaced by the
// type name. An extension bound to another type stays bound.
bool ShouldBindExtension(bool readable, const std::string& current, const std::string& extension);

}  // namespace kelpo
