// Display lists and timelines; see display_list.h. Going forward replays
// the display operations of the frames in between; going back rebuilds the
// wanted list from the first frame and keeps the instances that are still
// there (same depth and character), so their variables survive.
#include "player/core/display_list.h"

#include "player/core/interpreter.h"
#include "player/core/shape_builder.h"

#include <algorithm>
#include <cctype>

namespace kelpo::player {

namespace {

const FrameDefinition* FrameAt(const Instance& clip, int frame) {
    if (!clip.timeline || frame < 0 || static_cast<size_t>(frame) >= clip.timeline->frames.size())
        return nullptr;
    return &clip.timeline->frames[static_cast<size_t>(frame)];
}

void MarkRemoved(Player& player, Instance& clip) {
    clip.removed = true;
    if (player.buttonUnderMouse == &clip) player.buttonUnderMouse = nullptr;
    if (player.pressedButton == &clip) player.pressedButton = nullptr;
    for (auto& [depth, child] : clip.children) MarkRemoved(player, *child);
}

void RemoveAtDepth(Player& player, Instance& clip, int depth) {
    auto found = clip.children.find(depth);
    if (found == clip.children.end()) return;
    MarkRemoved(player, *found->second);
    player.graveyard.push_back(std::move(found->second));
    clip.children.erase(found);
    player.displayChanged = true;
}

void EnterFirstFrame(Player& player, Instance& clip);

// A morph's shape is made again only when its ratio changes.
void SetRatio(Instance& instance, uint16_t ratio) {
    if (!instance.morph || (instance.shape && instance.ratio == ratio)) return;
    instance.ratio = ratio;
    instance.shape = std::make_shared<ShapeDefinition>(MorphAt(*instance.morph, ratio));
}

Instance* PlaceCharacter(Player& player, Instance& clip, const PlaceOperation& place,
                         const std::string& keptName) {
    if (!clip.movie) return nullptr;
    auto found = clip.movie->characters.find(place.character);
    if (found == clip.movie->characters.end()) return nullptr;
    const Character& character = found->second;
    if (character.kind == CharacterKind::Sprite && clip.nesting >= kMaxNesting) return nullptr;
    if (player.liveInstances >= kMaxInstances) return nullptr;

    auto instance = std::make_unique<Instance>();
    instance->liveCount = &player.liveInstances;
    ++player.liveInstances;
    instance->parent = &clip;
    instance->depth = place.depth;
    instance->nesting = clip.nesting + 1;
    instance->character = place.character;
    instance->movie = clip.movie;
    if (place.hasMatrix) instance->matrix = place.matrix;
    if (place.hasColor) instance->color = place.color;
    switch (character.kind) {
        case CharacterKind::Shape:
            instance->kind = InstanceKind::Shape;
            instance->shape = character.shape;
            break;
        case CharacterKind::Button:
            instance->kind = InstanceKind::Button;
            instance->button = character.button;
            break;
        case CharacterKind::Morph:
            instance->kind = InstanceKind::Shape;
            instance->morph = character.morph;
            SetRatio(*instance, place.hasRatio ? place.ratio : 0);
            break;
        case CharacterKind::Sprite:
            instance->kind = InstanceKind::Sprite;
            instance->timeline = character.sprite;
            instance->variables = std::make_unique<Object>(player.caseSensitive);
            break;
    }
    if (place.hasName)
        instance->name = place.name;
    else if (!keptName.empty())
        instance->name = keptName;
    else
        instance->name = "instance" + std::to_string(player.nextInstanceNumber++);

    RemoveAtDepth(player, clip, place.depth);
    Instance* placed = instance.get();
    clip.children[place.depth] = std::move(instance);
    player.displayChanged = true;
    if (placed->kind == InstanceKind::Sprite) EnterFirstFrame(player, *placed);
    return placed;
}

void ApplyOperation(Player& player, Instance& clip, const DisplayOperation& op) {
    const PlaceOperation& place = op.place;
    if (op.remove) {
        RemoveAtDepth(player, clip, place.depth);
        return;
    }
    auto existing = clip.children.find(place.depth);
    if (!place.move || existing == clip.children.end()) {
        if (place.hasCharacter) PlaceCharacter(player, clip, place, "");
        return;
    }
    Instance& target = *existing->second;
    if (place.hasCharacter && place.character != target.character) {
        PlaceOperation replacement = place;
        if (!place.hasMatrix) {
            replacement.hasMatrix = true;
            replacement.matrix = target.matrix;
        }
        PlaceCharacter(player, clip, replacement, target.name);
        return;
    }
    if (target.scripted) return;
    player.displayChanged = true;
    if (place.hasMatrix) target.matrix = place.matrix;
    if (place.hasColor) target.color = place.color;
    if (place.hasName) target.name = place.name;
    if (place.hasRatio) SetRatio(target, place.ratio);
}

size_t ApplyFrameOperations(Player& player, Instance& clip, int frame) {
    const FrameDefinition* definition = FrameAt(clip, frame);
    if (!definition) return 0;
    for (const DisplayOperation& op : definition->operations) {
        if (clip.removed) break;
        ApplyOperation(player, clip, op);
    }
    return definition->operations.size();
}

void EnterFirstFrame(Player& player, Instance& clip) {
    clip.frame = 0;
    ApplyFrameOperations(player, clip, 0);
    QueueFrameActions(player, clip);
}

// Back to an earlier frame: what the display list holds at `frame`.
size_t RebuildTo(Player& player, Instance& clip, int frame) {
    std::map<int, PlaceOperation> wanted;
    size_t work = 0;
    for (int f = 0; f <= frame; ++f) {
        const FrameDefinition* definition = FrameAt(clip, f);
        if (!definition) continue;
        work += definition->operations.size() + 1;
        for (const DisplayOperation& op : definition->operations) {
            if (op.remove) {
                wanted.erase(op.place.depth);
                continue;
            }
            auto at = wanted.find(op.place.depth);
            if (!op.place.move || at == wanted.end()) {
                if (op.place.hasCharacter) wanted[op.place.depth] = op.place;
                continue;
            }
            PlaceOperation& merged = at->second;
            if (op.place.hasCharacter && op.place.character != merged.character) {
                merged.character = op.place.character;
            }
            if (op.place.hasMatrix) {
                merged.hasMatrix = true;
                merged.matrix = op.place.matrix;
            }
            if (op.place.hasColor) {
                merged.hasColor = true;
                merged.color = op.place.color;
            }
            if (op.place.hasName) {
                merged.hasName = true;
                merged.name = op.place.name;
            }
            if (op.place.hasRatio) {
                merged.hasRatio = true;
                merged.ratio = op.place.ratio;
            }
        }
    }
    std::vector<int> stale;
    for (auto& [depth, child] : clip.children) {
        auto at = wanted.find(depth);
        if (child->dynamic) continue;
        if (at == wanted.end() || at->second.character != child->character) stale.push_back(depth);
    }
    for (int depth : stale) RemoveAtDepth(player, clip, depth);
    for (auto& [depth, place] : wanted) {
        if (clip.removed) break;
        auto existing = clip.children.find(depth);
        if (existing == clip.children.end()) {
            PlaceCharacter(player, clip, place, "");
            continue;
        }
        Instance& kept = *existing->second;
        if (kept.scripted) continue;
        kept.matrix = place.hasMatrix ? place.matrix : Matrix();
        kept.color = place.hasColor ? place.color : ColorTransform();
        SetRatio(kept, place.hasRatio ? place.ratio : 0);
    }
    return work;
}

}  // namespace

int FrameCount(const Instance& clip) {
    return clip.timeline ? std::max(1, clip.timeline->frameCount) : 1;
}

void QueueFrameActions(Player& player, Instance& clip) {
    const FrameDefinition* definition = FrameAt(clip, clip.frame);
    if (!definition) return;
    if (player.queue.size() >= kMaxQueuedBlocks) return;
    for (const ActionBlock& block : definition->initActions) {
        auto key = std::make_pair(static_cast<const void*>(block.bytes.get()), block.offset);
        if (player.initActionsRun.insert(key).second)
            player.queue.push_back(QueuedActions{&clip, block});
    }
    for (const ActionBlock& block : definition->actions)
        player.queue.push_back(QueuedActions{&clip, block});
}

size_t GotoFrameOf(Player& player, Instance& clip, int frame) {
    if (!clip.timeline) return 0;
    frame = std::clamp(frame, 0, FrameCount(clip) - 1);
    if (frame == clip.frame) return 0;
    player.displayChanged = true;
    size_t work = 0;
    if (frame > clip.frame) {
        for (int f = clip.frame + 1; f <= frame && !clip.removed; ++f)
            work += ApplyFrameOperations(player, clip, f) + 1;
    } else {
        work = RebuildTo(player, clip, frame);
    }
    clip.frame = frame;
    if (!clip.removed) QueueFrameActions(player, clip);
    return work;
}

void AdvanceClip(Player& player, Instance& clip) {
    if (!clip.timeline || !clip.playing || clip.removed) return;
    int count = FrameCount(clip);
    if (count <= 1) return;
    if (clip.frame + 1 < count) {
        GotoFrameOf(player, clip, clip.frame + 1);
    } else if (clip.kind == InstanceKind::Level && clip.level == 0 && !player.loop) {
        clip.playing = false;
    } else {
        GotoFrameOf(player, clip, 0);
    }
}

namespace {

void AdvanceTree(Player& player, Instance& clip) {
    std::vector<Instance*> sprites;
    for (auto& [depth, child] : clip.children)
        if (child->kind == InstanceKind::Sprite) sprites.push_back(child.get());
    AdvanceClip(player, clip);
    for (Instance* sprite : sprites)
        if (!sprite->removed) AdvanceTree(player, *sprite);
}

}  // namespace

void AdvanceAll(Player& player) {
    std::vector<Instance*> levels;
    for (auto& [number, level] : player.levels) levels.push_back(level.get());
    for (Instance* level : levels)
        if (!level->removed) AdvanceTree(player, *level);
}

void RemoveInstance(Player& player, Instance& clip) {
    if (clip.removed) return;
    if (!clip.parent) {  // a level: a movie or a picture
        auto found = player.levels.find(clip.level);
        if (found == player.levels.end() || found->second.get() != &clip) return;
        MarkRemoved(player, clip);
        player.graveyard.push_back(std::move(found->second));
        player.levels.erase(found);
        return;
    }
    if (clip.parent) RemoveAtDepth(player, *clip.parent, clip.depth);
}

Instance* MakeLevel(Player& player, int level, std::shared_ptr<const MovieDefinition> movie) {
    auto found = player.levels.find(level);
    if (found != player.levels.end()) RemoveInstance(player, *found->second);
    auto instance = std::make_unique<Instance>();
    instance->liveCount = &player.liveInstances;
    ++player.liveInstances;
    instance->kind = InstanceKind::Level;
    instance->level = level;
    instance->name = "_level" + std::to_string(level);
    instance->variables = std::make_unique<Object>(player.caseSensitive);
    instance->movie = movie;
    if (movie) instance->timeline = std::shared_ptr<const TimelineDefinition>(movie, &movie->root);
    Instance* made = instance.get();
    player.levels[level] = std::move(instance);
    if (movie) EnterFirstFrame(player, *made);
    return made;
}

int FindLabel(const Instance& clip, const std::string& label) {
    if (!clip.timeline) return -1;
    const auto& frames = clip.timeline->frames;
    for (size_t i = 0; i < frames.size(); ++i)
        if (!frames[i].label.empty() && SameName(frames[i].label, label, false))
            return static_cast<int>(i);
    return -1;
}

std::string CurrentLabel(const Instance& clip) {
    for (int f = clip.frame; f >= 0; --f) {
        const FrameDefinition* definition = FrameAt(clip, f);
        if (definition && !definition->label.empty()) return definition->label;
    }
    return "";
}

Instance* DuplicateClip(Player& player, Instance& clip, const std::string& name, int depth) {
    if (clip.kind != InstanceKind::Sprite || !clip.parent || clip.removed) return nullptr;
    PlaceOperation place;
    place.depth = depth;
    place.hasCharacter = true;
    place.character = clip.character;
    place.hasMatrix = true;
    place.matrix = clip.matrix;
    place.hasColor = true;
    place.color = clip.color;
    place.hasName = true;
    place.name = name;
    Instance& parent = *clip.parent;
    Instance* copy = PlaceCharacter(player, parent, place, "");
    if (copy) {
        copy->visible = clip.visible;
        copy->dynamic = true;
    }
    return copy;
}

}  // namespace kelpo::player
