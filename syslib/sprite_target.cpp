#include "syslib/sprite_target.h"

namespace kelpo {

SpriteTarget& TheSpriteTarget() {
    static SpriteTarget sprite;
    return sprite;
}

}  // namespace kelpo
