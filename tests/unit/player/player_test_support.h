// Shared helpers for the player core's tests: a host that records what the
// player raises, a sink that records what it draws, and a player owned for
// one test.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "player/core/player.h"
#include "tools/movie-writer/movie_assembler.h"

using namespace kelpo::movies;

namespace kelpo::player::testing {

struct Recorded {
    std::vector<std::pair<std::string, std::string>> fsCommands;
    std::vector<std::pair<std::string, std::string>> urls;
    std::vector<std::string> traces;
    int invalidations = 0;
};

struct DrawnPath {
    bool fill = true;
    std::vector<PathSegment> segments;
    uint32_t argb = 0;
    double width = 0;
    Paint paint;    // fills
    Stroke stroke;  // strokes
};

struct RecordingSink {
    std::vector<uint32_t> clears;
    std::vector<DrawnPath> paths;
    RenderSink sink;
    RecordingSink();
};

class PlayerFixture {
public:
    PlayerFixture();
    ~PlayerFixture();
    PlayerFixture(const PlayerFixture&) = delete;
    PlayerFixture& operator=(const PlayerFixture&) = delete;

    Player* get() const { return player_; }
    bool Load(const std::vector<uint8_t>& bytes, int level = 0);
    Recorded& recorded() { return *recorded_; }
    // The variable's text, or "<missing>" when GetVariable fails.
    std::string Var(const std::string& name);

private:
    std::unique_ptr<Recorded> recorded_;
    Player* player_;
};

// A one-frame movie whose frame runs `actions`; version as given.
std::vector<uint8_t> ScriptMovie(const std::string& actions, int version = 6);
// Runs `actions` in a fresh player and returns the traces.
std::vector<std::string> RunTraces(const std::string& actions, int version = 6);

}  // namespace kelpo::player::testing
