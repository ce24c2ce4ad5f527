// Mouse input: finding the top-most button under the pointer (its hit-test
// shapes, even-odd, through the composed matrices) and the button state
// machine, whose transitions queue the button's actions on its parent clip.
#include "player/core/input.h"

#include "player/core/properties.h"

namespace kelpo::player {

namespace {

bool ButtonHit(const Instance& button, Point movie) {
    if (!button.button || !button.movie) return false;
    Matrix world = WorldMatrix(button);
    for (uint8_t states : {uint8_t(kButtonHitTest), uint8_t(kButtonUp)}) {
        bool any = false;
        for (const ButtonRecord& record : button.button->records) {
            if (!(record.states & states)) continue;
            auto found = button.movie->characters.find(record.character);
            if (found == button.movie->characters.end() || !found->second.shape) continue;
            any = true;
            Matrix inverse;
            if (!Invert(Multiply(world, record.matrix), inverse)) continue;
            Point local = Transform(inverse, movie);
            for (const ShapePath& fill : found->second.shape->fills)
                if (PathContains(fill.segments.data(), fill.segments.size(), local)) return true;
        }
        if (any) return false;  // the up state stands in only for a missing hit-test state
    }
    return false;
}

Instance* TopButton(Instance& clip, Point movie) {
    if (!clip.visible) return nullptr;
    for (auto it = clip.children.rbegin(); it != clip.children.rend(); ++it) {
        Instance& child = *it->second;
        if (child.kind == InstanceKind::Button) {
            if (child.visible && ButtonHit(child, movie)) return &child;
        } else if (Instance* found = TopButton(child, movie)) {
            return found;
        }
    }
    return nullptr;
}

}  // namespace

Instance* ButtonAt(Player& player, double x, double y) {
    for (auto it = player.levels.rbegin(); it != player.levels.rend(); ++it)
        if (Instance* found = TopButton(*it->second, Point{x, y})) return found;
    return nullptr;
}

void ChangeButtonState(Player& player, Instance& button, ButtonState state, uint16_t condition) {
    button.buttonState = state;
    player.displayChanged = true;
    if (!button.button || !button.parent) return;
    for (const ButtonAction& action : button.button->actions)
        if (action.conditions & condition)
            player.queue.push_back(QueuedActions{button.parent, action.actions});
}

bool TrackMouse(Player& player, double x, double y) {
    player.mouseX = x;
    player.mouseY = y;
    Instance* hit = ButtonAt(player, x, y);
    if (player.mouseIsDown && player.pressedButton) {
        Instance& pressed = *player.pressedButton;
        if (hit == &pressed && pressed.buttonState == ButtonState::OutDown)
            ChangeButtonState(player, pressed, ButtonState::OverDown, kOutDownToOverDown);
        else if (hit != &pressed && pressed.buttonState == ButtonState::OverDown)
            ChangeButtonState(player, pressed, ButtonState::OutDown, kOverDownToOutDown);
        return hit == &pressed;
    }
    Instance* before = player.buttonUnderMouse;
    if (before != hit) {
        if (before && before->buttonState == ButtonState::OverUp)
            ChangeButtonState(player, *before, ButtonState::Idle, kOverUpToIdle);
        if (hit && hit->buttonState == ButtonState::Idle)
            ChangeButtonState(player, *hit, ButtonState::OverUp, kIdleToOverUp);
        player.buttonUnderMouse = hit;
    }
    return hit != nullptr;
}

void PressMouse(Player& player, double x, double y) {
    TrackMouse(player, x, y);
    player.mouseIsDown = true;
    Instance* hit = player.buttonUnderMouse;
    if (hit && hit->buttonState == ButtonState::OverUp) {
        ChangeButtonState(player, *hit, ButtonState::OverDown, kOverUpToOverDown);
        player.pressedButton = hit;
    }
}

void ReleaseMouse(Player& player, double x, double y) {
    TrackMouse(player, x, y);
    player.mouseIsDown = false;
    if (Instance* pressed = player.pressedButton) {
        player.pressedButton = nullptr;
        if (pressed->buttonState == ButtonState::OverDown)
            ChangeButtonState(player, *pressed, ButtonState::OverUp, kOverDownToOverUp);
        else if (pressed->buttonState == ButtonState::OutDown)
            ChangeButtonState(player, *pressed, ButtonState::Idle, kOutDownToIdle);
    }
    TrackMouse(player, x, y);
}

}  // namespace kelpo::player
