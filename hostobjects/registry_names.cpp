#include "hostobjects/registry_names.h"

#include "runtime/native_args.h"

namespace kelpo {

bool IsRegistryKeyName(const std::string& name) {
    return !name.empty() && name.size() <= kMaxKeyName && name.find('\\') == std::string::npos;
}

bool ProfileSectionKey(const ProjectIdentity& identity, const std::string& section,
                       std::string& key) {
    key.clear();
    if (!IsRegistryKeyName(section) || identity.key.empty() || identity.profile.empty())
        return false;
    key = "Software\\" + identity.key + "\\" + identity.profile + "\\" + section;
    return true;
}

bool MakeAssociationKeys(const std::string& extension, const std::string& typeName,
                         const std::string& exePath, AssociationKeys& keys) {
    if (!IsRegistryKeyName(extension) || !IsRegistryKeyName(typeName) ||
        exePath.size() > kMaxPathText)
        return false;
    keys.iconKey = typeName + "\\DefaultIcon";
    keys.iconValue = exePath + ",1";
    keys.commandKey = typeName + "\\shell\\open\\command";
    keys.commandValue = exePath + " \"%1\"";
    return true;
}

bool ShouldBindExtension(bool readable, const std::string& current, const std::string& extension) {
    return !readable || current.empty() || current == extension;
}

}  // namespace kelpo
