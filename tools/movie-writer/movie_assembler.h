// Builds movies from symbolic parts: action blocks from a small assembly
// text, shapes (outlines with solid or gradient fills and lines), morph
// shapes, block-letter fonts and texts, sprites, buttons and
// timelines with place, move, remove, labels and actions. Files come out
// through movie_file's header and tag writers.
//
// Action text: instructions separated by ';' or new lines, operands by
// commas, `name:` marks a place for jump, if, with and function ends.
//   push 'Kelpo_Run', "Init", 1, 2.5, true, null, undefined, r:1, c:0, f:1.5
//   getURL2 0; jump done; if again; gotoFrame 3; gotoFrame2 1; setTarget '/clip'
//   defineFunction 'name', end, 'a', 'b'    (body: up to label `end`)
//   defineFunction2 'name', registers, flags, end, 'a', '1:b'   (param in register 1)
//   with end; constantPool 'a', 'b'; storeRegister 1; raw 0x99, 0x02, 0x00
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "tools/movie-writer/movie_file.h"

namespace kelpo::movies {

// Throws std::invalid_argument for text it does not understand.
std::vector<uint8_t> AssembleActions(const std::string& text);

struct TestMatrix {
    double scaleX = 1, scaleY = 1, rotate0 = 0, rotate1 = 0;
    int32_t translateX = 0, translateY = 0;  // twips
};
TestMatrix Translate(int32_t x, int32_t y);
std::vector<uint8_t> EncodeMatrix(const TestMatrix& m);

struct ShapeEdge {
    bool curve = false;
    int32_t controlX = 0, controlY = 0;
    int32_t x = 0, y = 0;  // absolute end point, twips
};

// One closed outline from (startX, startY) through the edges, filled with
// `fill` and outlined when `lineWidth` is not zero.
// A gradient fill: `type` 0x10 linear, 0x12 radial, 0x13 focal radial; the
// matrix maps the gradient square (-16384..16384) to the shape; stops are
// ratio (0-255) and 0xAARRGGBB colour.
struct ShapeGradient {
    uint8_t type = 0x10;
    TestMatrix matrix;
    uint8_t spread = 0;  // 0 pad, 1 reflect, 2 repeat
    std::vector<std::pair<uint8_t, uint32_t>> stops;
    double focal = 0;
};

struct ShapeDrawing {
    int32_t startX = 0, startY = 0;
    std::vector<ShapeEdge> edges;
    std::vector<ShapeGradient> gradient;  // one: the fill is this gradient (DefineShape3)
    bool shape4 = false;                 // DefineShape4 with caps and joins
    uint8_t cap = 0, join = 0;           // 0 round; cap 1 none, 2 square; join 1 bevel, 2 miter
    uint32_t fill = 0xFF0000;            // 0xRRGGBB, or 0xAARRGGBB with `alpha`
    bool filled = true;
    uint16_t lineWidth = 0;
    uint32_t lineColor = 0x000000;
    bool alpha = false;  // DefineShape3 with RGBA colours
};
ShapeDrawing RectangleShape(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t fill);
ShapeDrawing TriangleShape(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                           uint32_t fill);

struct Placement {
    int depth = 1;
    uint16_t character = 0;  // 0: none (a move without a new character)
    bool move = false;
    bool hasMatrix = false;
    TestMatrix matrix;
    bool hasRatio = false;
    uint16_t ratio = 0;  // morph shapes
    std::string name;
};

// A timeline: the main one or a sprite's.
class TimelineBuilder {
public:
    TimelineBuilder& Place(int depth, uint16_t character, const std::string& name = "");
    TimelineBuilder& PlaceAt(int depth, uint16_t character, const TestMatrix& matrix,
                             const std::string& name = "");
    TimelineBuilder& Place(const Placement& placement);
    TimelineBuilder& Move(int depth, const TestMatrix& matrix);
    TimelineBuilder& Remove(int depth);
    TimelineBuilder& Label(const std::string& label);
    TimelineBuilder& Actions(const std::string& text);
    TimelineBuilder& ActionBytes(const std::vector<uint8_t>& actions);
    TimelineBuilder& RawTag(uint16_t code, const std::vector<uint8_t>& body);
    TimelineBuilder& ShowFrame();
    int frames() const { return frames_; }
    const std::vector<uint8_t>& tags() const { return tags_; }

private:
    std::vector<uint8_t> tags_;
    int frames_ = 0;
};

struct ButtonLayer {
    uint8_t states = 0x0F;  // up 1, over 2, down 4, hit test 8
    uint16_t character = 0;
    int depth = 1;
    TestMatrix matrix;
};

struct ButtonHandler {
    uint16_t conditions = 0x08;  // OverDownToOverUp (release); 0x04 press
    std::string actions;
};

class MovieBuilder : public TimelineBuilder {
public:
    explicit MovieBuilder(MovieHeader header = MovieHeader());
    MovieBuilder& Background(uint32_t rgb);
    uint16_t Shape(const ShapeDrawing& shape);
    uint16_t Sprite(const TimelineBuilder& sprite, uint16_t id = 0);  // id 0: the next free one
    // DefineButton: one release action list.
    uint16_t Button(const std::vector<ButtonLayer>& records, const std::string& releaseActions);
    // DefineButton2: condition action records.
    uint16_t Button2(const std::vector<ButtonLayer>& records,
                     const std::vector<ButtonHandler>& actions);
    // DefineMorphShape between two drawings with the same edges (solid fills, lines).
    uint16_t MorphShape(const ShapeDrawing& start, const ShapeDrawing& end);
    // DefineFont2 (1024 units per em) of the block letters for `characters`.
    uint16_t Font(const std::string& characters);
    // DefineText2 of `text` in a font from Font(): baseline at (x, y), height in twips.
    uint16_t Text(uint16_t font, const std::string& text, int32_t x, int32_t y, int32_t height,
                  uint32_t argb);
    uint16_t NextId() const { return nextId_; }
    // The file; the header's frame count is the frames shown unless set.
    std::vector<uint8_t> Bytes(bool compressed = false) const;
    // Every tag so far, definitions first, without a header: to put into
    // another movie's first frame.
    std::vector<uint8_t> Tags() const;

private:
    MovieHeader header_;
    std::vector<uint8_t> dictionary_;
    uint16_t nextId_ = 1;
    std::map<uint16_t, std::string> fonts_;  // font id: its characters in glyph order
};

}  // namespace kelpo::movies
