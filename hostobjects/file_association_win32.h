// Application.associate: a file type in HKEY_CLASSES_ROOT opened by this
// executable, and an extension bound to it unless already bound elsewhere.
#pragma once

#include <string>

namespace kelpo {

// Writes typeName\DefaultIcon, then typeName\shell\open\command, then binds
// the extension; each step only when the one before it succeeded.
void AssociateFileType(const std::string& extension, const std::string& typeName);

}  // namespace kelpo
