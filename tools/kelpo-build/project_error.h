// ProjectError: a fault in a project file or one of its inputs, with the JSON
// path of the field it was found at ("/appearance/borderStyle: expected a
// number"); faults of the whole file have no path. The builder prints it
// after the project file's name.
#pragma once

#include <stdexcept>
#include <string>

namespace kelpo::build {

class ProjectError : public std::runtime_error {
public:
    ProjectError(const std::string& path, const std::string& message)
        : std::runtime_error(path.empty() ? message : path + ": " + message) {}
};

}  // namespace kelpo::build
