#include "hostobjects/player_port.h"

#include <utility>

namespace kelpo {
namespace {

PlayerPortSource gSource = nullptr;

}  // namespace

ControlValue ControlValue::OfBoolean(bool value) {
    ControlValue v;
    v.kind = Kind::Boolean;
    v.boolean = value;
    return v;
}

ControlValue ControlValue::OfInteger(int32_t value) {
    ControlValue v;
    v.kind = Kind::Integer;
    v.integer = value;
    return v;
}

ControlValue ControlValue::OfFloat(double value) {
    ControlValue v;
    v.kind = Kind::Float;
    v.number = value;
    return v;
}

ControlValue ControlValue::OfText(std::u16string value) {
    ControlValue v;
    v.kind = Kind::Text;
    v.text = std::move(value);
    return v;
}

void SetPlayerPortSource(PlayerPortSource source) { gSource = source; }

const PlayerPort* CurrentPlayerPort() { return gSource != nullptr ? gSource() : nullptr; }

bool GetControlProperty(const char* name, ControlValue& out) {
    const PlayerPort* port = CurrentPlayerPort();
    return port != nullptr && port->get != nullptr && port->get(port->user, name, out);
}

bool PutControlProperty(const char* name, const ControlValue& value) {
    const PlayerPort* port = CurrentPlayerPort();
    return port != nullptr && port->put != nullptr && port->put(port->user, name, value);
}

}  // namespace kelpo
