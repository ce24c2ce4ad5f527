#include "hostobjects/player_window.h"

namespace kelpo {
namespace {

PlayerWindowSource gSource = nullptr;

}  // namespace

void SetPlayerWindowSource(PlayerWindowSource source) { gSource = source; }

Value PlayerWindowValue(ScriptContext* context) {
    return gSource != nullptr ? gSource(context) : MakeNull();
}

}  // namespace kelpo
