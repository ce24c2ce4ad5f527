// Target path resolution; see targets.h.
#include "player/core/targets.h"

#include <cctype>
#include <vector>

namespace kelpo::player {

Instance* LevelRoot(Instance& clip) {
    Instance* at = &clip;
    while (at->parent) at = at->parent;
    return at;
}

Instance* FindChild(Player& player, Instance& clip, const std::string& name) {
    for (auto& [depth, child] : clip.children)
        if (child->kind != InstanceKind::Shape && SameName(child->name, name, player.caseSensitive))
            return child.get();
    return nullptr;
}

bool ParseLevelName(const std::string& name, int& level) {
    if (name.size() <= 6 || name.size() > 12 || !SameName(name.substr(0, 6), "_level", false))
        return false;
    int value = 0;
    for (size_t i = 6; i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) return false;
        value = value * 10 + (name[i] - '0');
    }
    level = value;
    return true;
}

namespace {

Instance* Step(Player& player, Instance* at, const std::string& piece) {
    if (piece.empty() || piece == "." || SameName(piece, "this", false)) return at;
    if (piece == ".." || SameName(piece, "_parent", false)) return at->parent;
    if (SameName(piece, "_root", false)) return LevelRoot(*at);
    int level = 0;
    if (ParseLevelName(piece, level)) return RootOf(player, level);
    return FindChild(player, *at, piece);
}

}  // namespace

Instance* ResolveTarget(Player& player, Instance* base, const std::string& path) {
    if (!base) base = RootOf(player, 0);
    // Without a level 0, paths naming their level ("_level1.clip") still resolve.
    if (!base && !player.levels.empty()) base = player.levels.begin()->second.get();
    if (!base) return nullptr;
    Instance* at = base;
    size_t i = 0;
    if (!path.empty() && path[0] == '/') {
        at = LevelRoot(*base);
        i = 1;
    }
    bool slashes = path.find('/') != std::string::npos;
    while (at && i <= path.size()) {
        size_t end = slashes ? path.find('/', i) : path.find('.', i);
        if (end == std::string::npos) end = path.size();
        std::string piece = path.substr(i, end - i);
        if (slashes && piece != ".." && piece.find('.') != std::string::npos) {
            // "_root.clip" written inside a slash path.
            size_t j = 0;
            while (at && j <= piece.size()) {
                size_t stop = piece.find('.', j);
                if (stop == std::string::npos) stop = piece.size();
                at = Step(player, at, piece.substr(j, stop - j));
                j = stop + 1;
            }
        } else {
            at = Step(player, at, piece);
        }
        i = end + 1;
    }
    return at;
}

std::string DotPath(const Instance& clip) {
    if (!clip.parent) return clip.level >= 0 ? "_level" + std::to_string(clip.level) : clip.name;
    return DotPath(*clip.parent) + "." + clip.name;
}

std::string SlashPath(const Instance& clip) {
    if (!clip.parent) return clip.level == 0 ? "/" : "_level" + std::to_string(clip.level);
    std::string parent = SlashPath(*clip.parent);
    return (parent == "/" ? "" : parent) + "/" + clip.name;
}

}  // namespace kelpo::player
