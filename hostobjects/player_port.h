// The script objects' way to the main frame's player control: its
// properties and methods by their control names ("Playing", "TGotoFrame"),
// plus the two sizes coordinate conversion needs. The projector answers
// through the control's IDispatch; tests answer with a player of their own.
#pragma once

#include <cstdint>
#include <string>

namespace kelpo {

// A value crossing to or from the control.
struct ControlValue {
    enum class Kind { None, Boolean, Integer, Float, Text };
    Kind kind = Kind::None;
    bool boolean = false;
    int32_t integer = 0;
    double number = 0;
    std::u16string text;

    static ControlValue OfBoolean(bool value);
    static ControlValue OfInteger(int32_t value);
    static ControlValue OfFloat(double value);
    static ControlValue OfText(std::u16string value);
};

struct PlayerPort {
    void* user = nullptr;
    // Reads or writes a property; false when the control refused.
    bool (*get)(void* user, const char* name, ControlValue& out) = nullptr;
    bool (*put)(void* user, const char* name, const ControlValue& value) = nullptr;
    // Calls a method; `out` receives its result (Kind::None for none).
    bool (*call)(void* user, const char* name, const ControlValue* args, int count,
                 ControlValue& out) = nullptr;
    // The current movie's frame size and the control's client size, in
    // pixels; false when there is no movie or no window.
    bool (*movieSize)(void* user, int& width, int& height) = nullptr;
    bool (*clientSize)(void* user, int& width, int& height) = nullptr;
};

// The port of the main frame's control, or null when there is none.
using PlayerPortSource = const PlayerPort* (*)();
void SetPlayerPortSource(PlayerPortSource source);
const PlayerPort* CurrentPlayerPort();

// Conveniences over the current port; false without a control.
bool GetControlProperty(const char* name, ControlValue& out);
bool PutControlProperty(const char* name, const ControlValue& value);

}  // namespace kelpo
