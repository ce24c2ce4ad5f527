// Writes small Flash movie files (test movies, the demo's movie): the file
// header (uncompressed "FWS" or zlib-compressed "CWS"), the frame
// rectangle, rate and count, and a run of tags always closed by the End tag.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace kelpo::movies {

constexpr uint16_t kTagEnd = 0;
constexpr uint16_t kTagShowFrame = 1;
constexpr uint16_t kTagSetBackgroundColor = 9;
constexpr uint16_t kTagDoAction = 12;
constexpr uint16_t kTagFrameLabel = 43;

constexpr uint8_t kActionEnd = 0x00;
constexpr uint8_t kActionGetUrl = 0x83;

constexpr int kTwipsPerPixel = 20;

struct MovieHeader {
    uint8_t version = 6;
    int32_t widthTwips = 550 * kTwipsPerPixel;
    int32_t heightTwips = 400 * kTwipsPerPixel;
    uint16_t frameRate = 12 << 8;  // 8.8 fixed point
    uint16_t frameCount = 1;
    bool compressed = false;
};

// The bit-packed RECT record: 5 bits Nbits, then xmin, xmax, ymin, ymax as
// Nbits-wide signed fields, padded to a whole byte.
std::vector<uint8_t> EncodeRect(int32_t xmin, int32_t xmax, int32_t ymin, int32_t ymax);

// One tag: u16 code << 6 | length, or length 0x3F and a u32 length when the
// body has 63 bytes or more.
std::vector<uint8_t> EncodeTag(uint16_t code, const std::vector<uint8_t>& body);

std::vector<uint8_t> BackgroundColorTag(uint32_t rgb);  // 0xRRGGBB
std::vector<uint8_t> ShowFrameTag();
std::vector<uint8_t> FrameLabelTag(const std::string& label);
std::vector<uint8_t> DoActionTag(const std::vector<uint8_t>& actions);
// ActionGetURL with "FSCommand:" + command and the arguments as target,
// followed by the action end.
std::vector<uint8_t> FsCommandActions(const std::string& command, const std::string& arguments);

// The whole file: header, then `tags`, then the End tag.
std::vector<uint8_t> WriteMovie(const MovieHeader& header, const std::vector<uint8_t>& tags);

// A movie described frame by frame; frames are numbered from 1.
struct FramedMovie {
    MovieHeader header;
    bool hasBackground = false;
    uint32_t background = 0xFFFFFF;
    std::map<int, std::string> labels;
    std::multimap<int, std::vector<uint8_t>> actions;  // DoAction bodies, before the fscommands
    std::multimap<int, std::pair<std::string, std::string>> fsCommands;  // command, arguments
    std::vector<uint8_t> extraTags;  // raw tags placed before the first frame
};

// Background, extra tags, then for each frame its label, its fscommands
// and ShowFrame.
std::vector<uint8_t> WriteFramedMovie(const FramedMovie& movie);

}  // namespace kelpo::movies
