// What the host learns about a movie file before the player shows it: the
// frame rectangle in pixels, version, length, frame rate and count, and the
// background colour. Movies appended to a stand-alone player executable
// (the movie's length in the file's last 4 bytes) are read as well.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kelpo {

struct MovieInfo {
    int left = 0, right = 0, top = 0, bottom = 0;  // pixels: twips * 0.05, truncated
    int width = 0, height = 0;
    int version = 0;
    uint32_t fileLength = 0;
    int frameRate = 0;  // the integer part
    int frameCount = 0;
    int32_t background = -1;  // 0xRRGGBB of the first SetBackgroundColor, -1 without one
};

// Reads a movie held in memory ("FWS" or "CWS"); false when it is not one
// or its header is cut short.
bool ReadMovieInfo(const uint8_t* bytes, size_t length, MovieInfo& info);

// Reads a movie file, or a movie appended to an executable; false (info
// zeroed, background -1) when the file holds neither.
bool ReadMovieInfoFromFile(const std::string& path, MovieInfo& info);

}  // namespace kelpo
