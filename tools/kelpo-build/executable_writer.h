// Writing a planned build into a copy of the template executable: the copy
// is made in a temporary file beside the output, given its resources and
// appendix, and moved into place only when every step succeeded; on any
// failure the temporary file is deleted and the output left as it was.
#pragma once

#include <string>

#include "tools/kelpo-build/resource_plan.h"

namespace kelpo::build {

// False with a one-line reason on failure.
bool WriteProjectorExecutable(const std::string& templatePath, const std::string& outputPath,
                              const BuildPlan& plan, std::string& error);

}  // namespace kelpo::build
