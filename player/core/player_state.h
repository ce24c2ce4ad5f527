// The player's run-time state: levels holding trees of placed instances
// (levels, sprites, shapes, buttons, pictures), the object arena, the queue
// of frame actions and the input state. Removed instances wait in a
// graveyard until the current outside call ends, so code still running on
// them never touches freed memory.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "player/core/movie_data.h"
#include "player/core/player.h"
#include "player/core/values.h"

namespace kelpo::player {

enum class InstanceKind { Level, Sprite, Shape, Button, Picture };
enum class ButtonState { Idle, OverUp, OverDown, OutDown };

// Sprites inside sprites are instantiated this deep at most.
constexpr int kMaxNesting = 24;
// At most this many objects live in one player; creating more yields undefined.
constexpr size_t kMaxObjects = 200000;
// At most this many placed instances live in one player; more are not placed.
constexpr size_t kMaxInstances = 50000;
// Steps that all the queued frame actions of one outside call may take together.
constexpr size_t kMaxOperationSteps = 4000000;

struct Instance {
    Instance() = default;
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;
    ~Instance() {
        if (liveCount) --*liveCount;
    }
    size_t* liveCount = nullptr;  // the player's count of live instances
    InstanceKind kind = InstanceKind::Sprite;
    std::string name;
    int depth = 0;
    int level = -1;   // levels: their number
    int nesting = 0;  // levels are 0, their children 1, ...
    uint16_t character = 0;
    Instance* parent = nullptr;
    std::shared_ptr<const MovieDefinition> movie;
    std::shared_ptr<const TimelineDefinition> timeline;  // levels and sprites
    std::shared_ptr<const ShapeDefinition> shape;        // morphs: the shape at `ratio`
    std::shared_ptr<const MorphDefinition> morph;
    uint16_t ratio = 0;
    std::shared_ptr<const ButtonDefinition> button;
    int frame = 0;  // 0-based
    bool playing = true;
    std::map<int, std::unique_ptr<Instance>> children;  // by depth
    std::unique_ptr<Object> variables;  // sprites and levels; never a Value's object
    Matrix matrix;
    ColorTransform color;
    bool visible = true;
    bool scripted = false;  // moved by a script: the timeline leaves its matrix alone
    bool removed = false;
    bool dynamic = false;  // made by a script: timeline rebuilds keep it
    ButtonState buttonState = ButtonState::Idle;
    std::vector<uint32_t> pixels;  // pictures
    int pictureWidth = 0, pictureHeight = 0;
};

struct QueuedActions {
    Instance* clip;
    ActionBlock block;
};

struct Player {
    size_t liveInstances = 0;  // first: instances count themselves out when destroyed
    PlayerHost host;
    std::map<int, std::unique_ptr<Instance>> levels;
    std::vector<std::unique_ptr<Object>> objects;
    std::vector<std::unique_ptr<Instance>> graveyard;
    std::vector<QueuedActions> queue;
    std::set<std::pair<const void*, size_t>> initActionsRun;
    int operationDepth = 0;
    bool displayChanged = false;  // something drawn changed: the host is asked to repaint
    bool loop = true;
    bool caseSensitive = false;  // version 7 movies
    int version = 6;             // of _level0
    std::string loadVariables;   // "a=1&b=two", set on _level0 at each load
    int nextInstanceNumber = 1;

    Object* global = nullptr;
    Object* objectPrototype = nullptr;
    Object* arrayPrototype = nullptr;
    Object* functionPrototype = nullptr;
    Object* stringPrototype = nullptr;
    Object* clipPrototype = nullptr;
    uint64_t randomState = 0x2545F4914F6CDD1Dull;
    double startTime = 0;     // milliseconds, for GetTime
    size_t collectAt = 4096;  // arena size that starts the next collection

    double mouseX = 0, mouseY = 0;  // twips, movie space
    bool mouseIsDown = false;
    Instance* buttonUnderMouse = nullptr;
    Instance* pressedButton = nullptr;

    bool highQuality = true;
    bool focusRect = true;
    double soundBufferTime = 5;
    std::string quality = "HIGH";
};

Object* NewObject(Player& player);  // null when the arena is full
Instance* RootOf(Player& player, int level);
// Frees the objects nothing reaches. Only between outside calls, when no
// script runs, so every live value is reachable from the roots.
void CollectGarbage(Player& player);
double ElapsedMilliseconds(const Player& player);

}  // namespace kelpo::player
