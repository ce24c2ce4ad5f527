// The player's outside interface (player.h). Every entry point is an
// operation: when the outermost one ends, the frame actions it queued run,
// removed instances are freed and, now and then, unreachable objects; the
// host is asked to repaint only when something drawn changed.
#include <algorithm>
#include <cctype>
#include <cmath>

#include "player/core/display_list.h"
#include "player/core/input.h"
#include "player/core/interpreter.h"
#include "player/core/movie_reader.h"
#include "player/core/properties.h"
#include "player/core/targets.h"

namespace kelpo::player {

namespace {

class Operation {
public:
    explicit Operation(Player& player, bool repaint = false) : player_(player), repaint_(repaint) {
        ++player_.operationDepth;
    }
    ~Operation() {
        if (player_.operationDepth == 1) {
            RunQueuedActions(player_);
            player_.graveyard.clear();
            if (player_.objects.size() >= player_.collectAt) CollectGarbage(player_);
            if ((repaint_ || player_.displayChanged) && player_.host.invalidate)
                player_.host.invalidate(player_.host.user);
            player_.displayChanged = false;
        }
        --player_.operationDepth;
    }
    Operation(const Operation&) = delete;
    Operation& operator=(const Operation&) = delete;

private:
    Player& player_;
    bool repaint_;
};

Instance* Level0(Player* player) { return player ? RootOf(*player, 0) : nullptr; }

const Instance* Level0(const Player* player) {
    if (!player) return nullptr;
    auto found = player->levels.find(0);
    return found == player->levels.end() ? nullptr : found->second.get();
}

Instance* Target(Player* player, const std::string& target) {
    if (!player) return nullptr;
    return ResolveTarget(*player, nullptr, target.empty() ? "/" : target);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

std::string UrlDecode(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') {
            out += ' ';
        } else if (text[i] == '%' && i + 2 < text.size() + 0 && HexDigit(text[i + 1]) >= 0 &&
                   HexDigit(text[i + 2]) >= 0) {
            out += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

void ApplyLoadVariables(Player& player) {
    Instance* root = RootOf(player, 0);
    if (!root || !root->variables) return;
    size_t start = 0;
    while (start < player.loadVariables.size()) {
        size_t end = player.loadVariables.find('&', start);
        if (end == std::string::npos) end = player.loadVariables.size();
        std::string pair = player.loadVariables.substr(start, end - start);
        size_t equals = pair.find('=');
        std::string name = UrlDecode(pair.substr(0, equals));
        std::string value = equals == std::string::npos ? "" : UrlDecode(pair.substr(equals + 1));
        if (!name.empty()) root->variables->members[name] = String(value);
        start = end + 1;
    }
}

std::string HostText(const Player& player, const Value& v) {
    return ToString(v, std::max(player.version, 5));
}

bool MoveLevel0(Player* player, int frame, bool stop) {
    Instance* root = Level0(player);
    if (!root) return false;
    Operation op(*player);
    GotoFrameOf(*player, *root, frame);
    if (stop) root->playing = false;
    return true;
}

}  // namespace

Player* NewPlayer(const PlayerHost& host) {
    Player* player = new Player();
    player->host = host;
    player->startTime = ElapsedMilliseconds(*player);
    InstallBuiltins(*player);
    return player;
}

void FreePlayer(Player* player) { delete player; }

bool LoadMovieBytes(Player* player, int level, const uint8_t* bytes, size_t length) {
    if (!player || level < 0) return false;
    std::shared_ptr<MovieDefinition> movie = ReadMovie(bytes, length);
    if (!movie) return false;
    Operation op(*player, true);
    if (level == 0) {
        std::vector<Instance*> all;
        for (auto& [number, instance] : player->levels) all.push_back(instance.get());
        for (Instance* instance : all) RemoveInstance(*player, *instance);
        player->version = movie->info.version;
        player->caseSensitive = movie->info.version >= 7;
    }
    MakeLevel(*player, level, movie);
    if (level == 0) ApplyLoadVariables(*player);
    return true;
}

bool LoadPicture(Player* player, int level, std::vector<uint32_t> pixels, int width, int height) {
    if (!player || level < 0 || width <= 0 || height <= 0 ||
        pixels.size() != static_cast<size_t>(width) * static_cast<size_t>(height))
        return false;
    Operation op(*player, true);
    Instance* made = MakeLevel(*player, level, nullptr);
    made->kind = InstanceKind::Picture;
    made->pixels = std::move(pixels);
    made->pictureWidth = width;
    made->pictureHeight = height;
    return true;
}

void UnloadLevel(Player* player, int level) {
    if (!player) return;
    Operation op(*player, true);
    if (Instance* root = RootOf(*player, level)) RemoveInstance(*player, *root);
}

bool HasMovie(const Player* player) {
    const Instance* root = Level0(player);
    return root && root->movie;
}

MovieInfo GetMovieInfo(const Player* player) {
    const Instance* root = Level0(player);
    return root && root->movie ? root->movie->info : MovieInfo();
}

void AdvanceFrame(Player* player) {
    if (!player) return;
    Operation op(*player);
    AdvanceAll(*player);
}

void Play(Player* player) {
    if (Instance* root = Level0(player)) root->playing = true;
}

void StopPlay(Player* player) {
    if (Instance* root = Level0(player)) root->playing = false;
}

bool IsPlaying(const Player* player) {
    const Instance* root = Level0(player);
    return root && root->playing;
}

void SetLoop(Player* player, bool loop) {
    if (player) player->loop = loop;
}

bool GetLoop(const Player* player) { return player && player->loop; }

void GotoFrame(Player* player, int frame) { MoveLevel0(player, frame, false); }

void Back(Player* player) {
    if (Instance* root = Level0(player)) MoveLevel0(player, root->frame - 1, true);
}

void Forward(Player* player) {
    if (Instance* root = Level0(player)) MoveLevel0(player, root->frame + 1, true);
}

void Rewind(Player* player) { MoveLevel0(player, 0, true); }

int CurrentFrame(const Player* player) {
    const Instance* root = Level0(player);
    return root ? root->frame : 0;
}

int TotalFrames(const Player* player) {
    const Instance* root = Level0(player);
    return root && root->timeline ? FrameCount(*root) : 0;
}

int PercentLoaded(const Player* player) { return HasMovie(player) ? 100 : 0; }

bool FrameLoaded(const Player* player, int frame) {
    const Instance* root = Level0(player);
    if (!root || !root->movie || frame < 0) return false;
    return frame < (root->movie->complete ? FrameCount(*root) : root->movie->framesLoaded);
}

bool TGotoFrame(Player* player, const std::string& target, int frame) {
    Instance* clip = Target(player, target);
    if (!clip || !clip->timeline) return false;
    Operation op(*player);
    GotoFrameOf(*player, *clip, frame);
    return true;
}

bool TGotoLabel(Player* player, const std::string& target, const std::string& label) {
    Instance* clip = Target(player, target);
    if (!clip) return false;
    int frame = FindLabel(*clip, label);
    if (frame < 0) return false;
    Operation op(*player);
    GotoFrameOf(*player, *clip, frame);
    return true;
}

bool TCurrentFrame(Player* player, const std::string& target, int& frame) {
    Instance* clip = Target(player, target);
    if (!clip) return false;
    frame = clip->frame;
    return true;
}

bool TCurrentLabel(Player* player, const std::string& target, std::string& label) {
    Instance* clip = Target(player, target);
    if (!clip) return false;
    label = CurrentLabel(*clip);
    return true;
}

bool TPlay(Player* player, const std::string& target) {
    Instance* clip = Target(player, target);
    if (!clip) return false;
    clip->playing = true;
    return true;
}

bool TStopPlay(Player* player, const std::string& target) {
    Instance* clip = Target(player, target);
    if (!clip) return false;
    clip->playing = false;
    return true;
}

bool TGetProperty(Player* player, const std::string& target, int property, std::string& value) {
    Instance* clip = Target(player, target);
    if (!clip || property < 0 || property >= kPropertyCount) return false;
    value = HostText(*player, GetProperty(*player, *clip, property));
    return true;
}

bool TSetProperty(Player* player, const std::string& target, int property,
                  const std::string& value) {
    Instance* clip = Target(player, target);
    if (!clip || property < 0 || property >= kPropertyCount) return false;
    Operation op(*player);
    SetProperty(*player, *clip, property, String(value));
    return true;
}

bool TGetPropertyNum(Player* player, const std::string& target, int property, double& value) {
    Instance* clip = Target(player, target);
    if (!clip || property < 0 || property >= kPropertyCount) return false;
    value = ToNumber(GetProperty(*player, *clip, property), 7);
    return true;
}

bool TSetPropertyNum(Player* player, const std::string& target, int property, double value) {
    Instance* clip = Target(player, target);
    if (!clip || property < 0 || property >= kPropertyCount) return false;
    Operation op(*player);
    SetProperty(*player, *clip, property, Number(value));
    return true;
}

bool TCallFrame(Player* player, const std::string& target, int frame) {
    Instance* clip = Target(player, target);
    if (!clip || !clip->timeline || frame < 0 || frame >= FrameCount(*clip)) return false;
    Operation op(*player);
    Interpreter in{*player};
    CallFrameActions(in, *clip, frame);
    return true;
}

bool TCallLabel(Player* player, const std::string& target, const std::string& label) {
    Instance* clip = Target(player, target);
    if (!clip) return false;
    int frame = FindLabel(*clip, label);
    return frame >= 0 && TCallFrame(player, target, frame);
}

bool SetVariable(Player* player, const std::string& name, const std::string& value) {
    Instance* root = Level0(player);
    if (!root || name.empty()) return false;
    Operation op(*player);
    Interpreter in{*player};
    CallFrame frame = FrameOn(root);
    SetVariableValue(in, frame, name, String(value));
    return true;
}

bool GetVariable(Player* player, const std::string& name, std::string& value) {
    Instance* root = Level0(player);
    if (!root || name.empty()) return false;
    Operation op(*player);
    Interpreter in{*player};
    CallFrame frame = FrameOn(root);
    bool found = false;
    Value v = GetVariableValue(in, frame, name, &found);
    if (!found) return false;
    value = HostText(*player, v);
    return true;
}

void SetFlashVars(Player* player, const std::string& flashVars) {
    if (!player) return;
    player->loadVariables = flashVars;
    ApplyLoadVariables(*player);
}

bool MouseMove(Player* player, double x, double y) {
    if (!player) return false;
    Operation op(*player);
    return TrackMouse(*player, x, y);
}

void MouseDown(Player* player, double x, double y) {
    if (!player) return;
    Operation op(*player);
    PressMouse(*player, x, y);
}

void MouseUp(Player* player, double x, double y) {
    if (!player) return;
    Operation op(*player);
    ReleaseMouse(*player, x, y);
}

}  // namespace kelpo::player
