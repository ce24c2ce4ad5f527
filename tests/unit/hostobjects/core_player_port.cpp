#include "tests/unit/hostobjects/core_player_port.h"

#include <cstring>

namespace kelpo::test {
namespace {

CorePlayerPort* gInstalled = nullptr;

const PlayerPort* InstalledPort() { return gInstalled != nullptr ? &gInstalled->port() : nullptr; }

// Test texts are ASCII: one byte per code unit each way.
std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }
std::u16string Widen(const std::string& text) { return std::u16string(text.begin(), text.end()); }

bool Is(const char* a, const char* b) { return std::strcmp(a, b) == 0; }

}  // namespace

CorePlayerPort::CorePlayerPort() {
    player_ = player::NewPlayer(player::PlayerHost());
    port_.user = this;
    port_.get = Get;
    port_.put = Put;
    port_.call = Call;
    port_.movieSize = MovieSize;
    port_.clientSize = ClientSize;
}

CorePlayerPort::~CorePlayerPort() {
    if (gInstalled == this) gInstalled = nullptr;
    player::FreePlayer(player_);
}

bool CorePlayerPort::Load(const std::vector<uint8_t>& movie) {
    return player::LoadMovieBytes(player_, 0, movie.data(), movie.size());
}

void CorePlayerPort::Install(CorePlayerPort* port) {
    gInstalled = port;
    SetPlayerPortSource(port != nullptr ? InstalledPort : nullptr);
}

bool CorePlayerPort::Get(void* user, const char* name, ControlValue& out) {
    auto* self = static_cast<CorePlayerPort*>(user);
    self->calls.push_back(std::string("get ") + name);
    if (Is(name, "TotalFrames"))
        out = ControlValue::OfInteger(player::TotalFrames(self->player_));
    else if (Is(name, "Playing"))
        out = ControlValue::OfBoolean(player::IsPlaying(self->player_));
    else if (Is(name, "ScaleMode"))
        out = ControlValue::OfInteger(self->scaleMode);
    else if (Is(name, "Loop"))
        out = ControlValue::OfBoolean(player::GetLoop(self->player_));
    else
        return false;
    return true;
}

bool CorePlayerPort::Put(void* user, const char* name, const ControlValue& value) {
    auto* self = static_cast<CorePlayerPort*>(user);
    self->calls.push_back(std::string("put ") + name);
    if (Is(name, "Playing")) {
        if (value.boolean)
            player::Play(self->player_);
        else
            player::StopPlay(self->player_);
    } else if (Is(name, "ScaleMode")) {
        self->scaleMode = value.integer;
    } else if (Is(name, "Loop")) {
        player::SetLoop(self->player_, value.boolean);
    } else {
        return false;
    }
    return true;
}

bool CorePlayerPort::Call(void* user, const char* name, const ControlValue* args, int count,
                          ControlValue& out) {
    auto* self = static_cast<CorePlayerPort*>(user);
    player::Player* p = self->player_;
    self->calls.push_back(name);
    auto text = [&](int k) { return k < count ? Narrow(args[k].text) : std::string(); };
    auto integer = [&](int k) { return k < count ? args[k].integer : 0; };
    if (Is(name, "Play"))
        player::Play(p);
    else if (Is(name, "StopPlay") || Is(name, "Stop"))
        player::StopPlay(p);
    else if (Is(name, "GotoFrame"))
        player::GotoFrame(p, integer(0));
    else if (Is(name, "CurrentFrame"))
        out = ControlValue::OfInteger(player::CurrentFrame(p));
    else if (Is(name, "IsPlaying"))
        out = ControlValue::OfBoolean(player::IsPlaying(p));
    else if (Is(name, "SetVariable"))
        return player::SetVariable(p, text(0), text(1));
    else if (Is(name, "GetVariable")) {
        std::string value;
        if (!player::GetVariable(p, text(0), value)) return false;
        out = ControlValue::OfText(Widen(value));
    } else if (Is(name, "TCallFrame"))
        return player::TCallFrame(p, text(0), integer(1));
    else if (Is(name, "TGotoFrame"))
        return player::TGotoFrame(p, text(0), integer(1));
    else if (Is(name, "TCurrentFrame")) {
        int frame = 0;
        if (!player::TCurrentFrame(p, text(0), frame)) return false;
        out = ControlValue::OfInteger(frame);
    } else if (Is(name, "TGetProperty")) {
        std::string value;
        if (!player::TGetProperty(p, text(0), integer(1), value)) return false;
        out = ControlValue::OfText(Widen(value));
    } else if (Is(name, "TSetProperty"))
        return player::TSetProperty(p, text(0), integer(1), text(2));
    else if (Is(name, "TGetPropertyNum")) {
        double value = 0;
        if (!player::TGetPropertyNum(p, text(0), integer(1), value)) return false;
        out = ControlValue::OfFloat(value);
    } else if (Is(name, "TSetPropertyNum"))
        return player::TSetPropertyNum(p, text(0), integer(1), args[2].number);
    else
        return false;
    return true;
}

bool CorePlayerPort::MovieSize(void* user, int& width, int& height) {
    auto* self = static_cast<CorePlayerPort*>(user);
    if (!player::HasMovie(self->player_)) return false;
    const player::MovieInfo info = player::GetMovieInfo(self->player_);
    width = (info.xMax - info.xMin) / 20;
    height = (info.yMax - info.yMin) / 20;
    return true;
}

bool CorePlayerPort::ClientSize(void* user, int& width, int& height) {
    auto* self = static_cast<CorePlayerPort*>(user);
    width = self->clientWidth;
    height = self->clientHeight;
    return width > 0 && height > 0;
}

}  // namespace kelpo::test
