// Composing the instance folder's path.
#include "host/instance_folder.h"

namespace kelpo {

std::string ComposeInstanceFolder(const std::string& tmp, const std::string& temp,
                                  const std::string& windowsFolder, const std::string& guidText) {
    auto usable = [](const std::string& value) { return !value.empty() && value.size() <= 259; };
    std::string base = usable(tmp) ? tmp : usable(temp) ? temp : windowsFolder;
    if (!base.empty() && base.back() == '/') base.back() = '\\';
    if (base.empty() || base.back() != '\\') base += '\\';
    return base + guidText + '\\';
}

}  // namespace kelpo
