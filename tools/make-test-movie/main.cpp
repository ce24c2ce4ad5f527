// make-test-movie: writes a Flash movie file for tests.
//
//   make-test-movie [--width PX] [--height PX] [--rate FPS] [--frames N]
//                   [--version N] [--background RRGGBB] [--compressed]
//                   [--label FRAME:TEXT]... [--fscommand FRAME:COMMAND[:ARGS]]...
//                   [--actions FRAME:ASSEMBLY]... [--button X,Y,W,H:COMMAND[:ARGS]]...
//                   [--gradient X,Y,W,H:KIND:RRGGBB:RRGGBB]... [--circle X,Y,R:RRGGBB]...
//                   [--text X,Y,H:TEXT]... [--tag CODE:HEXBYTES]... -o OUT.swf
//
// Frames count from 1. Errors go to standard error with exit status 1.
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

#include "tools/movie-writer/movie_assembler.h"
#include "tools/movie-writer/movie_file.h"

namespace {

using namespace kelpo::movies;

const char kUsage[] =
    "usage: make-test-movie [options] -o OUT.swf\n"
    "  --width PX, --height PX     frame size in pixels (550 x 400)\n"
    "  --rate FPS                  frame rate, 8.8 fixed point (12)\n"
    "  --frames N                  frame count (1)\n"
    "  --version N                 file version byte (6)\n"
    "  --background RRGGBB         SetBackgroundColor tag\n"
    "  --compressed                CWS: zlib-compressed body\n"
    "  --label FRAME:TEXT          FrameLabel on a frame\n"
    "  --fscommand FRAME:CMD[:ARGS]  DoAction with an fscommand on a frame\n"
    "  --actions FRAME:ASSEMBLY    DoAction of assembled action text on a frame\n"
    "                              (\"push 'n', 5; setVariable\"), before its fscommands\n"
    "  --button X,Y,W,H:CMD[:ARGS]  a grey rectangle button (pixels) on every frame whose\n"
    "                              release runs an fscommand\n"
    "  --gradient X,Y,W,H:KIND:RRGGBB:RRGGBB  a rectangle (pixels) filled with a linear or\n"
    "                              radial gradient from the first colour to the second\n"
    "  --circle X,Y,R:RRGGBB       a disc of curved edges (pixels)\n"
    "  --text X,Y,H:TEXT           black text in block letters, baseline at X,Y, H pixels high\n"
    "  --tag CODE:HEXBYTES         a raw tag before the first frame\n";

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

long ParseInteger(const std::string& text, long low, long high, const char* what) {
    char* end = nullptr;
    errno = 0;
    long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || value < low || value > high)
        throw UsageError(std::string(what) + " must be a number from " + std::to_string(low) +
                         " to " + std::to_string(high) + ", not \"" + text + "\"");
    return value;
}

uint16_t ParseRate(const std::string& text) {
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(value >= 0 && value < 256))
        throw UsageError("--rate must be a number from 0 to 255.99, not \"" + text + "\"");
    return static_cast<uint16_t>(value * 256 + 0.5 > 65535 ? 65535 : value * 256 + 0.5);
}

uint32_t ParseColor(const std::string& text) {
    if (text.size() != 6 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        throw UsageError("--background must be six hex digits RRGGBB, not \"" + text + "\"");
    return static_cast<uint32_t>(std::strtoul(text.c_str(), nullptr, 16));
}

std::vector<uint8_t> ParseHexBytes(const std::string& text) {
    if (text.size() % 2 != 0 ||
        text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        throw UsageError("tag bytes must be pairs of hex digits, not \"" + text + "\"");
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < text.size(); i += 2)
        bytes.push_back(static_cast<uint8_t>(std::strtoul(text.substr(i, 2).c_str(), nullptr, 16)));
    return bytes;
}

// Splits "FRAME:REST" and checks the frame number.
int SplitFrame(const std::string& text, std::string& rest, const char* option) {
    size_t colon = text.find(':');
    if (colon == std::string::npos)
        throw UsageError(std::string(option) + " needs FRAME:..., not \"" + text + "\"");
    rest = text.substr(colon + 1);
    return static_cast<int>(ParseInteger(text.substr(0, colon), 1, 65535, option));
}

// "--button X,Y,W,H:COMMAND[:ARGS]": a rectangle button in `buttons`,
// placed at the next depth, whose release runs the fscommand.
void AddButton(MovieBuilder& buttons, int depth, const std::string& value) {
    const size_t colon = value.find(':');
    long box[4] = {0, 0, 0, 0};
    size_t start = 0;
    for (int k = 0; k < 4; ++k) {
        const size_t end = k < 3 ? value.find(',', start) : colon;
        if (end == std::string::npos || end > colon)
            throw UsageError("--button needs X,Y,W,H:COMMAND, not \"" + value + "\"");
        box[k] =
            ParseInteger(value.substr(start, end - start), k < 2 ? 0 : 1, 4000, "--button size");
        start = end + 1;
    }
    const std::string rest = value.substr(colon + 1);
    const size_t split = rest.find(':');
    const std::string command = rest.substr(0, split);
    const std::string arguments = split == std::string::npos ? "" : rest.substr(split + 1);
    if (command.empty()) throw UsageError("--button needs a command name");
    if ((command + arguments).find_first_of("'\"") != std::string::npos)
        throw UsageError("--button commands cannot hold quotes");
    const int32_t twips = 20;
    uint16_t face = buttons.Shape(RectangleShape(0, 0, static_cast<int32_t>(box[2]) * twips,
                                                 static_cast<int32_t>(box[3]) * twips, 0x808080));
    uint16_t button = buttons.Button(
        {{0x0F, face, 1, {}}}, "push 'FSCommand:" + command + "', '" + arguments + "'; getURL2 0");
    buttons.PlaceAt(
        depth, button,
        Translate(static_cast<int32_t>(box[0]) * twips, static_cast<int32_t>(box[1]) * twips));
}

// "X,Y,...:REST": `count` integers before the colon (pixels).
std::vector<int32_t> ParseNumbers(const std::string& value, int count, std::string& rest,
                                  const char* option) {
    const size_t colon = value.find(':');
    if (colon == std::string::npos)
        throw UsageError(std::string(option) + " needs numbers and a colon, not \"" + value + "\"");
    rest = value.substr(colon + 1);
    std::vector<int32_t> numbers;
    size_t start = 0;
    for (int k = 0; k < count; ++k) {
        const size_t end = k + 1 < count ? value.find(',', start) : colon;
        if (end == std::string::npos || end > colon)
            throw UsageError(std::string(option) + " needs " + std::to_string(count) +
                             " numbers, not \"" + value + "\"");
        numbers.push_back(
            static_cast<int32_t>(ParseInteger(value.substr(start, end - start), 0, 4000, option)));
        start = end + 1;
    }
    return numbers;
}

uint32_t ParseRgb(const std::string& text, const char* option) {
    if (text.size() != 6 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        throw UsageError(std::string(option) + " colours are six hex digits, not \"" + text + "\"");
    return 0xFF000000u | static_cast<uint32_t>(std::strtoul(text.c_str(), nullptr, 16));
}

void AddGradient(MovieBuilder& movie, int depth, const std::string& value) {
    std::string rest;
    std::vector<int32_t> box = ParseNumbers(value, 4, rest, "--gradient");
    const size_t first = rest.find(':'), second = rest.find(':', first + 1);
    if (first == std::string::npos || second == std::string::npos)
        throw UsageError("--gradient needs X,Y,W,H:KIND:RRGGBB:RRGGBB");
    const std::string kind = rest.substr(0, first);
    if (kind != "linear" && kind != "radial")
        throw UsageError("--gradient kind is linear or radial, not \"" + kind + "\"");
    const int32_t twips = kTwipsPerPixel;
    ShapeDrawing shape = RectangleShape(0, 0, box[2] * twips, box[3] * twips, 0);
    ShapeGradient gradient;
    gradient.type = kind == "linear" ? 0x10 : 0x12;
    // Linear: across the width; radial: out to the nearer side.
    double size = kind == "linear" ? box[2] : std::min(box[2], box[3]);
    gradient.matrix.scaleX = gradient.matrix.scaleY = size * twips / 32768.0;
    gradient.matrix.translateX = box[2] * twips / 2;
    gradient.matrix.translateY = box[3] * twips / 2;
    gradient.stops = {{0, ParseRgb(rest.substr(first + 1, second - first - 1), "--gradient")},
                      {255, ParseRgb(rest.substr(second + 1), "--gradient")}};
    shape.gradient = {gradient};
    movie.PlaceAt(depth, movie.Shape(shape), Translate(box[0] * twips, box[1] * twips));
}

void AddCircle(MovieBuilder& movie, int depth, const std::string& value) {
    std::string rest;
    std::vector<int32_t> n = ParseNumbers(value, 3, rest, "--circle");
    const int32_t t = kTwipsPerPixel, x = n[0] * t, y = n[1] * t, r = n[2] * t;
    // Eight quadratic curves, their control points on the circle's octagon.
    ShapeDrawing disc;
    disc.startX = x + r;
    disc.startY = y;
    for (int i = 0; i < 8; ++i) {
        double a0 = i * 3.14159265358979 / 4, a1 = (i + 1) * 3.14159265358979 / 4;
        double am = (a0 + a1) / 2, reach = r / std::cos(3.14159265358979 / 8);
        disc.edges.push_back({true, x + static_cast<int32_t>(std::lround(reach * std::cos(am))),
                              y + static_cast<int32_t>(std::lround(reach * std::sin(am))),
                              x + static_cast<int32_t>(std::lround(r * std::cos(a1))),
                              y + static_cast<int32_t>(std::lround(r * std::sin(a1)))});
    }
    disc.edges.back().x = disc.startX;
    disc.edges.back().y = disc.startY;
    disc.fill = ParseRgb(rest, "--circle") & 0xFFFFFF;
    movie.Place(depth, movie.Shape(disc));
}

void AddText(MovieBuilder& movie, int depth, const std::string& value) {
    std::string text;
    std::vector<int32_t> n = ParseNumbers(value, 3, text, "--text");
    if (text.empty()) throw UsageError("--text needs a text");
    std::string characters;
    for (char c : text)
        if (characters.find(c) == std::string::npos) characters += c;
    uint16_t font = movie.Font(characters);
    const int32_t t = kTwipsPerPixel;
    movie.Place(depth, movie.Text(font, text, n[0] * t, n[1] * t, n[2] * t, 0xFF000000));
}

int Run(int argc, char** argv) {
    FramedMovie movie;
    MovieBuilder drawings;
    int depth = 0;
    std::string output;
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        if (option == "--help" || option == "-h") {
            fputs(kUsage, stdout);
            return 0;
        }
        if (option == "--compressed") {
            movie.header.compressed = true;
            continue;
        }
        if (i + 1 >= argc) throw UsageError(option + " needs a value");
        std::string value = argv[++i];
        std::string rest;
        if (option == "-o") {
            output = value;
        } else if (option == "--width") {
            movie.header.widthTwips =
                static_cast<int32_t>(ParseInteger(value, 0, 20000, "--width")) * kTwipsPerPixel;
        } else if (option == "--height") {
            movie.header.heightTwips =
                static_cast<int32_t>(ParseInteger(value, 0, 20000, "--height")) * kTwipsPerPixel;
        } else if (option == "--rate") {
            movie.header.frameRate = ParseRate(value);
        } else if (option == "--frames") {
            movie.header.frameCount =
                static_cast<uint16_t>(ParseInteger(value, 0, 65535, "--frames"));
        } else if (option == "--version") {
            movie.header.version = static_cast<uint8_t>(ParseInteger(value, 1, 255, "--version"));
        } else if (option == "--background") {
            movie.hasBackground = true;
            movie.background = ParseColor(value);
        } else if (option == "--label") {
            int frame = SplitFrame(value, rest, "--label");
            movie.labels[frame] = rest;
        } else if (option == "--fscommand") {
            int frame = SplitFrame(value, rest, "--fscommand");
            size_t colon = rest.find(':');
            std::string command = rest.substr(0, colon);
            std::string arguments = colon == std::string::npos ? "" : rest.substr(colon + 1);
            if (command.empty()) throw UsageError("--fscommand needs a command name");
            movie.fsCommands.emplace(frame, std::make_pair(command, arguments));
        } else if (option == "--actions") {
            int frame = SplitFrame(value, rest, "--actions");
            try {
                movie.actions.emplace(frame, AssembleActions(rest));
            } catch (const std::invalid_argument& error) {
                throw UsageError(std::string("--actions: ") + error.what());
            }
        } else if (option == "--button") {
            AddButton(drawings, ++depth, value);
        } else if (option == "--gradient") {
            AddGradient(drawings, ++depth, value);
        } else if (option == "--circle") {
            AddCircle(drawings, ++depth, value);
        } else if (option == "--text") {
            AddText(drawings, ++depth, value);
        } else if (option == "--tag") {
            size_t colon = value.find(':');
            if (colon == std::string::npos)
                throw UsageError("--tag needs CODE:HEXBYTES, not \"" + value + "\"");
            auto code =
                static_cast<uint16_t>(ParseInteger(value.substr(0, colon), 0, 1023, "--tag code"));
            std::vector<uint8_t> tag = EncodeTag(code, ParseHexBytes(value.substr(colon + 1)));
            movie.extraTags.insert(movie.extraTags.end(), tag.begin(), tag.end());
        } else {
            throw UsageError("unknown option " + option);
        }
    }
    if (output.empty()) throw UsageError("missing -o OUT.swf");
    for (const auto& entry : movie.labels)
        if (entry.first > movie.header.frameCount)
            throw UsageError("--label frame " + std::to_string(entry.first) +
                             " is past the last frame");
    for (const auto& entry : movie.fsCommands)
        if (entry.first > movie.header.frameCount)
            throw UsageError("--fscommand frame " + std::to_string(entry.first) +
                             " is past the last frame");
    for (const auto& entry : movie.actions)
        if (entry.first > movie.header.frameCount)
            throw UsageError("--actions frame " + std::to_string(entry.first) +
                             " is past the last frame");

    // Buttons and drawings are defined and placed before the first frame,
    // so every frame shows them.
    const std::vector<uint8_t> buttonTags = drawings.Tags();
    movie.extraTags.insert(movie.extraTags.end(), buttonTags.begin(), buttonTags.end());
    std::vector<uint8_t> bytes = WriteFramedMovie(movie);
    FILE* file = std::fopen(output.c_str(), "wb");
    bool written =
        file != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (file != nullptr && std::fclose(file) != 0) written = false;
    if (!written) {
        std::remove(output.c_str());
        fprintf(stderr, "make-test-movie: cannot write \"%s\"\n", output.c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::exception& error) {
        fprintf(stderr, "make-test-movie: %s\n", error.what());
        return 1;
    }
}
