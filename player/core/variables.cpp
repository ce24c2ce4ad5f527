// Variables and members: plain names through the scope chain (with
// scopes, function locals, the target clip, _global), paths in slash syntax
// ("/clip:var") and dot syntax with brackets ("_root.list[2]").
#include <algorithm>

#include "player/core/interpreter.h"
#include "player/core/properties.h"
#include "player/core/targets.h"

namespace kelpo::player {

namespace {

constexpr int kMaxProtoChain = 64;

bool IsPathName(const std::string& name) { return name.find_first_of(":/.[") != std::string::npos; }

// "a.b[2]['c']" to {"a", "b", "2", "c"}.
std::vector<std::string> SplitDotted(const std::string& name) {
    std::vector<std::string> pieces;
    std::string current;
    for (size_t i = 0; i < name.size(); ++i) {
        char c = name[i];
        if (c == '.') {
            pieces.push_back(current);
            current.clear();
        } else if (c == '[') {
            if (!current.empty()) pieces.push_back(current);
            size_t close = name.find(']', i);
            if (close == std::string::npos) close = name.size();
            std::string index = name.substr(i + 1, close - i - 1);
            if (index.size() >= 2 && (index[0] == '\'' || index[0] == '"') &&
                index.back() == index[0])
                index = index.substr(1, index.size() - 2);
            pieces.push_back(index);
            current.clear();
            i = close;
            if (i + 1 < name.size() && name[i + 1] == '.') ++i;
        } else {
            current += c;
        }
    }
    if (!current.empty() || pieces.empty()) pieces.push_back(current);
    return pieces;
}

bool OwnMember(const Object* o, const std::string& name, Value* out) {
    if (o->isArray) {
        if (name == "length") {
            if (out) *out = Number(static_cast<double>(o->elements.size()));
            return true;
        }
        long index = ArrayIndex(name);
        if (index >= 0 && static_cast<size_t>(index) < o->elements.size()) {
            if (out) *out = o->elements[static_cast<size_t>(index)];
            return true;
        }
    }
    auto found = o->members.find(name);
    if (found == o->members.end()) return false;
    if (out) *out = found->second;
    return true;
}

bool ObjectMember(const Object* o, const std::string& name, Value* out) {
    for (int hops = 0; o && hops < kMaxProtoChain; ++hops, o = o->proto)
        if (OwnMember(o, name, out)) return true;
    return false;
}

Value ClipRef(Instance& clip) { return ClipValue(DotPath(clip)); }

// A plain name through the scope chain.
Value LookupPlain(Interpreter& in, CallFrame& frame, const std::string& name, bool* found) {
    Player& player = in.player;
    if (found) *found = true;
    Value value;
    for (auto scope = frame.withs.rbegin(); scope != frame.withs.rend(); ++scope) {
        bool has = false;
        value = GetMemberValue(in, scope->object, name, &has);
        if (has) return value;
    }
    for (Object* s = frame.locals; s; s = s->scopeParent)
        if (OwnMember(s, name, &value)) return value;
    Instance* clip = ScopeClip(frame);
    if (SameName(name, "this", false))
        return frame.thisValue.type != ValueType::Undefined ? frame.thisValue
                                                            : (clip ? ClipRef(*clip) : Undefined());
    if (SameName(name, "_global", false)) return ObjectValue(player.global);
    if (clip && (SameName(name, "_root", false) || SameName(name, "_parent", false) ||
                 name.rfind("_level", 0) == 0 || name.rfind("_LEVEL", 0) == 0)) {
        Instance* resolved = ResolveTarget(player, clip, name);
        if (resolved) return ClipRef(*resolved);
    }
    if (clip) {
        int property = name.empty() || name[0] != '_' ? -1 : PropertyIndex(name);
        if (property >= 0) return GetProperty(player, *clip, property);
        if (clip->variables && OwnMember(clip->variables.get(), name, &value)) return value;
        if (Instance* child = FindChild(player, *clip, name)) return ClipRef(*child);
    }
    if (OwnMember(player.global, name, &value)) return value;
    if (found) *found = false;
    return Undefined();
}

// The holder of a path's last name: {holder value, last name}.
bool SplitPath(Interpreter& in, CallFrame& frame, const std::string& name, Value& holder,
               std::string& last) {
    Player& player = in.player;
    size_t colon = name.rfind(':');
    size_t slash = name.rfind('/');
    if (colon != std::string::npos || slash != std::string::npos) {
        size_t cut = colon != std::string::npos ? colon : slash;
        std::string path = name.substr(0, cut);
        Instance* clip =
            ResolveTarget(player, ScopeClip(frame), path.empty() && cut == 0 ? "/" : path);
        if (!clip) return false;
        holder = ClipRef(*clip);
        last = name.substr(cut + 1);
        return true;
    }
    std::vector<std::string> pieces = SplitDotted(name);
    if (pieces.size() < 2) return false;
    bool found = false;
    holder = LookupPlain(in, frame, pieces[0], &found);
    if (!found) return false;
    for (size_t i = 1; i + 1 < pieces.size(); ++i) {
        holder = GetMemberValue(in, holder, pieces[i], &found);
        if (!found) return false;
    }
    last = pieces.back();
    return true;
}

}  // namespace

Instance* ClipOf(Player& player, const Value& value) {
    if (value.type != ValueType::Clip) return nullptr;
    return ResolveTarget(player, nullptr, value.text);
}

Object* NewArray(Player& player) {
    Object* array = NewObject(player);
    if (!array) return nullptr;
    array->isArray = true;
    array->className = "Array";
    array->proto = player.arrayPrototype;
    return array;
}

Value GetMemberValue(Interpreter& in, const Value& object, const std::string& name, bool* found) {
    Player& player = in.player;
    if (found) *found = true;
    Value value;
    switch (object.type) {
        case ValueType::Clip: {
            Instance* clip = ClipOf(player, object);
            if (!clip) break;
            int property = name.empty() || name[0] != '_' ? -1 : PropertyIndex(name);
            if (property >= 0) return GetProperty(player, *clip, property);
            if (clip->variables && OwnMember(clip->variables.get(), name, &value)) return value;
            if (Instance* child = FindChild(player, *clip, name)) return ClipRef(*child);
            if (SameName(name, "_parent", false) && clip->parent) return ClipRef(*clip->parent);
            if (SameName(name, "_root", false)) return ClipRef(*LevelRoot(*clip));
            if (ObjectMember(player.clipPrototype, name, &value)) return value;
            break;
        }
        case ValueType::Object:
            if (ObjectMember(object.object, name, &value)) return value;
            break;
        case ValueType::String:
            if (name == "length") return Number(static_cast<double>(object.text.size()));
            if (ObjectMember(player.stringPrototype, name, &value)) return value;
            break;
        default: break;
    }
    if (found) *found = false;
    return Undefined();
}

void SetMemberValue(Interpreter& in, const Value& object, const std::string& name,
                    const Value& value) {
    Player& player = in.player;
    if (object.type == ValueType::Clip) {
        Instance* clip = ClipOf(player, object);
        if (!clip) return;
        int property = name.empty() || name[0] != '_' ? -1 : PropertyIndex(name);
        if (property >= 0) {
            SetProperty(player, *clip, property, value);
        } else if (clip->variables) {
            clip->variables->members[name] = value;
        }
        return;
    }
    if (object.type != ValueType::Object) return;
    Object* o = object.object;
    if (o->isArray) {
        if (name == "length") {
            double n = ToNumber(value, player.version);
            if (n >= 0 && n <= kMaxArrayLength) o->elements.resize(static_cast<size_t>(n));
            return;
        }
        long index = ArrayIndex(name);
        if (index >= 0 && static_cast<size_t>(index) < kMaxArrayLength) {
            if (static_cast<size_t>(index) >= o->elements.size())
                o->elements.resize(static_cast<size_t>(index) + 1);
            o->elements[static_cast<size_t>(index)] = value;
            return;
        }
    }
    o->members[name] = value;
}

bool DeleteMember(Interpreter& in, const Value& object, const std::string& name) {
    Object* holder = nullptr;
    if (object.type == ValueType::Object) holder = object.object;
    if (object.type == ValueType::Clip) {
        Instance* clip = ClipOf(in.player, object);
        if (clip) holder = clip->variables.get();
    }
    if (!holder) return false;
    return holder->members.erase(name) > 0;
}

Value GetVariableValue(Interpreter& in, CallFrame& frame, const std::string& name, bool* found) {
    if (!IsPathName(name) || name == "." || name == "..") {
        if (name == "..") {
            Instance* clip = ScopeClip(frame);
            if (found) *found = clip && clip->parent;
            return clip && clip->parent ? ClipRef(*clip->parent) : Undefined();
        }
        return LookupPlain(in, frame, name, found);
    }
    // A path that names a clip is that clip ("/", "/clip", "_root.clip").
    if (name.find(':') == std::string::npos) {
        if (Instance* clip = ResolveTarget(in.player, ScopeClip(frame), name)) {
            if (found) *found = true;
            return ClipRef(*clip);
        }
    }
    Value holder;
    std::string last;
    if (!SplitPath(in, frame, name, holder, last)) {
        if (found) *found = false;
        return Undefined();
    }
    return GetMemberValue(in, holder, last, found);
}

void SetVariableValue(Interpreter& in, CallFrame& frame, const std::string& name,
                      const Value& value) {
    if (IsPathName(name)) {
        Value holder;
        std::string last;
        if (SplitPath(in, frame, name, holder, last)) SetMemberValue(in, holder, last, value);
        return;
    }
    for (auto scope = frame.withs.rbegin(); scope != frame.withs.rend(); ++scope) {
        bool has = false;
        GetMemberValue(in, scope->object, name, &has);
        if (has) {
            SetMemberValue(in, scope->object, name, value);
            return;
        }
    }
    for (Object* s = frame.locals; s; s = s->scopeParent) {
        auto found = s->members.find(name);
        if (found != s->members.end()) {
            found->second = value;
            return;
        }
    }
    Instance* clip = ScopeClip(frame);
    if (clip) SetMemberValue(in, ClipRef(*clip), name, value);
}

void DefineLocalValue(Interpreter& in, CallFrame& frame, const std::string& name,
                      const Value& value) {
    if (frame.locals) {
        frame.locals->members[name] = value;
        return;
    }
    SetVariableValue(in, frame, name, value);
}

bool DeleteVariable(Interpreter& in, CallFrame& frame, const std::string& name) {
    for (Object* s = frame.locals; s; s = s->scopeParent)
        if (s->members.erase(name) > 0) return true;
    Instance* clip = ScopeClip(frame);
    if (clip && clip->variables && clip->variables->members.erase(name) > 0) return true;
    return in.player.global->members.erase(name) > 0;
}

std::vector<std::string> MemberNames(Interpreter& in, const Value& object) {
    std::vector<std::string> names;
    const Object* holder = nullptr;
    if (object.type == ValueType::Object) holder = object.object;
    if (object.type == ValueType::Clip) {
        Instance* clip = ClipOf(in.player, object);
        if (!clip) return names;
        holder = clip->variables.get();
        for (auto& [depth, child] : clip->children)
            if (child->kind != InstanceKind::Shape) names.push_back(child->name);
    }
    if (!holder) return names;
    for (size_t i = 0; i < holder->elements.size(); ++i) names.push_back(std::to_string(i));
    for (auto& [name, value] : holder->members) names.push_back(name);
    return names;
}

}  // namespace kelpo::player
