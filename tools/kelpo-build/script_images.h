// Scripts for the "KELPO" resources: sources compiled with the engine into
// KS1b images, compiled images taken as they are after a check.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kelpo::build {

// Compiles the source file at `path` as `kelpo compile` does; false with the
// compiler's messages folded into one line.
bool CompileScriptFile(const std::string& path, std::vector<uint8_t>& image, std::string& message);

// True when the bytes split into the sections of a KS1b image.
bool IsScriptImage(const std::vector<uint8_t>& bytes);

}  // namespace kelpo::build
