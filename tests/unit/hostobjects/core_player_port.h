// A player port for tests: the portable player core answers the control's
// calls, so the script objects drive a real movie without Windows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hostobjects/player_port.h"
#include "player/core/player.h"

namespace kelpo::test {

class CorePlayerPort {
public:
    CorePlayerPort();
    ~CorePlayerPort();
    CorePlayerPort(const CorePlayerPort&) = delete;
    CorePlayerPort& operator=(const CorePlayerPort&) = delete;

    bool Load(const std::vector<uint8_t>& movie);
    player::Player* player() const { return player_; }
    const PlayerPort& port() const { return port_; }

    // What the control would report about its window.
    int clientWidth = 0, clientHeight = 0;
    int scaleMode = 0;
    // Control calls seen, by name, in order.
    std::vector<std::string> calls;

    // Makes this port the main frame's control (null: none) for the test.
    static void Install(CorePlayerPort* port);

private:
    static bool Get(void* user, const char* name, ControlValue& out);
    static bool Put(void* user, const char* name, const ControlValue& value);
    static bool Call(void* user, const char* name, const ControlValue* args, int count,
                     ControlValue& out);
    static bool MovieSize(void* user, int& width, int& height);
    static bool ClientSize(void* user, int& width, int& height);

    player::Player* player_ = nullptr;
    PlayerPort port_;
};

}  // namespace kelpo::test
