// EmbeddedFile: a CountedText bare file name, a u32 length L and L bytes.
// Reading writes the bytes to the instance folder and keeps the full path;
// writing embeds the file a path names, or nothing when there is none.
#pragma once

#include <string>

#include "host/byte_stream.h"

namespace kelpo {

// Reads one embedded file. When L > 0 and the name is a safe bare name the
// content is written to instanceFolder + name and that path is stored in
// `path` (a 260-byte path text); otherwise `path` is left empty. A name that
// would leave the folder, or a file that cannot be written, is reported.
void ReadEmbeddedFile(ByteReader& reader, const std::string& instanceFolder, char* path);

// Embeds the file named by `path` (bare name, size, content) when it exists;
// otherwise an empty name and length 0.
void WriteEmbeddedFile(ByteWriter& writer, const char* path);

}  // namespace kelpo
