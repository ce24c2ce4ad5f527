// The object arena and its collector: mark from _global, the built-in
// prototypes and every instance's variables; sweep what was not reached.
#include <chrono>

#include "player/core/player_state.h"

namespace kelpo::player {

namespace {

void MarkValue(const Value& v, std::vector<Object*>& pending) {
    if (v.type == ValueType::Object && v.object && !v.object->marked) pending.push_back(v.object);
}

void MarkObject(Object* root, std::vector<Object*>& pending) {
    if (root && !root->marked) pending.push_back(root);
    while (!pending.empty()) {
        Object* o = pending.back();
        pending.pop_back();
        if (o->marked) continue;
        o->marked = true;
        for (auto& [name, value] : o->members) MarkValue(value, pending);
        for (const Value& value : o->elements) MarkValue(value, pending);
        if (o->proto && !o->proto->marked) pending.push_back(o->proto);
        if (o->scopeParent && !o->scopeParent->marked) pending.push_back(o->scopeParent);
        if (o->function && o->function->closure && !o->function->closure->marked)
            pending.push_back(o->function->closure);
    }
}

void MarkInstance(const Instance& instance, std::vector<Object*>& pending) {
    if (instance.variables) MarkObject(instance.variables.get(), pending);
    for (const auto& [depth, child] : instance.children) MarkInstance(*child, pending);
}

// Instance variables live outside the arena: their marks are cleared here.
void UnmarkInstance(const Instance& instance) {
    if (instance.variables) instance.variables->marked = false;
    for (const auto& [depth, child] : instance.children) UnmarkInstance(*child);
}

}  // namespace

Object* NewObject(Player& player) {
    if (player.objects.size() >= kMaxObjects) return nullptr;
    player.objects.push_back(std::make_unique<Object>(player.caseSensitive));
    return player.objects.back().get();
}

Instance* RootOf(Player& player, int level) {
    auto found = player.levels.find(level);
    return found == player.levels.end() ? nullptr : found->second.get();
}

void CollectGarbage(Player& player) {
    std::vector<Object*> pending;
    for (Object* root : {player.global, player.objectPrototype, player.arrayPrototype,
                         player.functionPrototype, player.stringPrototype, player.clipPrototype})
        MarkObject(root, pending);
    for (const auto& [number, level] : player.levels) MarkInstance(*level, pending);
    for (const auto& dead : player.graveyard) MarkInstance(*dead, pending);
    size_t kept = 0;
    for (auto& object : player.objects) {
        if (!object->marked) continue;
        object->marked = false;
        player.objects[kept++] = std::move(object);
    }
    player.objects.resize(kept);
    for (const auto& [number, level] : player.levels) UnmarkInstance(*level);
    for (const auto& dead : player.graveyard) UnmarkInstance(*dead);
    player.collectAt = std::max<size_t>(4096, kept * 2);
}

double ElapsedMilliseconds(const Player& player) {
    double now = std::chrono::duration<double, std::milli>(
                     std::chrono::steady_clock::now().time_since_epoch())
                     .count();
    return now - player.startTime;
}

}  // namespace kelpo::player
