// What a movie file defines, as read: the character dictionary (shapes,
// sprites, buttons) and the timelines (per frame: display operations, action
// blocks, label). Read once, shared read-only by every instance; action
// blocks point into the movie's bytes, which they keep alive.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "player/core/player.h"

namespace kelpo::player {

using MovieBytes = std::shared_ptr<const std::vector<uint8_t>>;

// A run of action byte code inside the movie's bytes.
struct ActionBlock {
    MovieBytes bytes;
    size_t offset = 0;
    size_t length = 0;
};

// Colour transform: channel' = channel * mult / 256 + add (RGBA order).
struct ColorTransform {
    int16_t mult[4] = {256, 256, 256, 256};
    int16_t add[4] = {0, 0, 0, 0};
};

// PlaceObject / PlaceObject2: `move` modifies the object at `depth`.
struct PlaceOperation {
    int depth = 0;
    bool move = false;
    bool hasCharacter = false;
    uint16_t character = 0;
    bool hasMatrix = false;
    Matrix matrix;
    bool hasColor = false;
    ColorTransform color;
    bool hasName = false;
    std::string name;
    bool hasRatio = false;
    uint16_t ratio = 0;  // morph shapes: 0 start to 65535 end
};

struct DisplayOperation {
    bool remove = false;  // RemoveObject(2) at `place.depth`
    PlaceOperation place;
};

struct FrameDefinition {
    std::vector<DisplayOperation> operations;
    std::vector<ActionBlock> initActions;  // DoInitAction: once per player
    std::vector<ActionBlock> actions;      // DoAction, in tag order
    std::string label;
};

struct TimelineDefinition {
    std::vector<FrameDefinition> frames;  // frames read; later frames are empty
    int frameCount = 1;                   // declared, at least the frames read
};

// One filled or stroked path of a shape, in the shape's twips. A fill's
// gradient matrix maps gradient space (-1 to 1) to the shape's twips.
struct ShapePath {
    std::vector<PathSegment> segments;
    Paint paint;
    double width = 0;  // stroke width in twips (strokes only)
    LineCap startCap = LineCap::Round, endCap = LineCap::Round;
    LineJoin join = LineJoin::Round;
    double miterLimit = 3;
    uint32_t styleSet = 0;  // paths of later style sets paint over earlier ones
};

struct ShapeDefinition {
    int32_t xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    // By style set; within a set fills are painted first, in style order.
    std::vector<ShapePath> fills;
    std::vector<ShapePath> strokes;
};

// A line style: its paint (gradient line fills paint as their stand-in colour).
struct LineStyle {
    double width = 0;
    Paint paint;
    LineCap startCap = LineCap::Round, endCap = LineCap::Round;
    LineJoin join = LineJoin::Round;
    double miterLimit = 3;
};

// The fill and line styles in force for a run of edges; StyleChange records
// with new styles start another set.
struct StyleSet {
    std::vector<Paint> fills;
    std::vector<LineStyle> lines;
};

// An edge with absolute coordinates and the styles on its sides (1-based, 0 none).
struct OutlineEdge {
    double x0, y0, cx, cy, x1, y1;
    bool curve;
    uint32_t fill0, fill1, line;
    uint32_t styleSet;  // index into the shape's style sets
};

struct ShapeOutline {
    std::vector<StyleSet> styles;
    std::vector<OutlineEdge> edges;
};

// DefineMorphShape(2): start and end outlines with paired edges and styles;
// a placement's ratio (0 to 65535) picks the shape in between.
struct MorphDefinition {
    int32_t xMin = 0, yMin = 0, xMax = 0, yMax = 0;  // the union of both bounds
    ShapeOutline start, end;
};

// An embedded font's glyphs, in units of 1/1024 em (DefineFont3's 20480 are scaled down).
struct FontDefinition {
    std::vector<std::vector<PathSegment>> glyphs;
    std::vector<double> advances;  // empty without layout
    std::vector<uint16_t> codes;   // character code of each glyph, when given
};

enum ButtonStateBit : uint8_t {
    kButtonUp = 1,
    kButtonOver = 2,
    kButtonDown = 4,
    kButtonHitTest = 8
};

// Conditions of a button action (DefineButton2's condition bits).
enum ButtonCondition : uint16_t {
    kIdleToOverUp = 0x01,
    kOverUpToIdle = 0x02,
    kOverUpToOverDown = 0x04,
    kOverDownToOverUp = 0x08,
    kOverDownToOutDown = 0x10,
    kOutDownToOverDown = 0x20,
    kOutDownToIdle = 0x40,
    kIdleToOverDown = 0x80,
    kOverDownToIdle = 0x100,
};

struct ButtonRecord {
    uint8_t states = 0;
    uint16_t character = 0;
    int depth = 0;
    Matrix matrix;
    ColorTransform color;
};

struct ButtonAction {
    uint16_t conditions = 0;
    ActionBlock actions;
};

struct ButtonDefinition {
    std::vector<ButtonRecord> records;  // in depth order
    std::vector<ButtonAction> actions;
    bool trackAsMenu = false;
};

// Texts are shapes: their glyphs are laid out when read.
enum class CharacterKind { Shape, Sprite, Button, Morph };

struct Character {
    CharacterKind kind = CharacterKind::Shape;
    std::shared_ptr<const ShapeDefinition> shape;
    std::shared_ptr<const TimelineDefinition> sprite;
    std::shared_ptr<const ButtonDefinition> button;
    std::shared_ptr<const MorphDefinition> morph;
};

struct MovieDefinition {
    MovieInfo info;
    MovieBytes bytes;  // the uncompressed file (action blocks point here)
    TimelineDefinition root;
    std::map<uint16_t, Character> characters;
    std::map<uint16_t, std::shared_ptr<FontDefinition>> fonts;
    int framesLoaded = 0;   // ShowFrame tags read on the main timeline
    bool complete = false;  // the End tag was reached
};

}  // namespace kelpo::player
