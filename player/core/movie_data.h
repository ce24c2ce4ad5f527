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

// One filled or stroked path of a shape, in the shape's twips.
struct ShapePath {
    std::vector<PathSegment> segments;
    uint32_t argb = 0xFF000000;
    double width = 0;  // stroke width in twips (strokes only)
};

struct ShapeDefinition {
    int32_t xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    std::vector<ShapePath> fills;  // painted first, in style order
    std::vector<ShapePath> strokes;
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

enum class CharacterKind { Shape, Sprite, Button };

struct Character {
    CharacterKind kind = CharacterKind::Shape;
    std::shared_ptr<const ShapeDefinition> shape;
    std::shared_ptr<const TimelineDefinition> sprite;
    std::shared_ptr<const ButtonDefinition> button;
};

struct MovieDefinition {
    MovieInfo info;
    MovieBytes bytes;  // the uncompressed file (action blocks point here)
    TimelineDefinition root;
    std::map<uint16_t, Character> characters;
    int framesLoaded = 0;   // ShowFrame tags read on the main timeline
    bool complete = false;  // the End tag was reached
};

}  // namespace kelpo::player
