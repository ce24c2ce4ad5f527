// SettingsStream: ProjectSettings serialized as its groups in fixed order,
// with no header, tags or version. The reader and the writer walk the same
// sequence, so a stream read and written again comes back byte for byte.
#pragma once

#include <string>
#include <vector>

#include "host/byte_stream.h"
#include "host/project_settings.h"

namespace kelpo {

// Reads the whole record; embedded files are extracted into `instanceFolder`.
// Throws CTopBaseException when the stream ends early.
void ReadSettingsStream(ByteReader& reader, ProjectSettings& settings,
                        const std::string& instanceFolder);
void WriteSettingsStream(ByteWriter& writer, const ProjectSettings& settings);

void ReadLinkFont(ByteReader& reader, LinkFont& font);
void WriteLinkFont(ByteWriter& writer, const LinkFont& font);

}  // namespace kelpo
