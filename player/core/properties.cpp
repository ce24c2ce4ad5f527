// Clip properties; see properties.h. Scale and rotation are read from the
// matrix and written back into it (a skewed matrix loses its skew).
#include "player/core/properties.h"

#include <cmath>

#include "player/core/display_list.h"
#include "player/core/targets.h"

namespace kelpo::player {

const char* const kPropertyNames[kPropertyCount] = {
    "_x",           "_y",           "_xscale",       "_yscale",       "_currentframe",
    "_totalframes", "_alpha",       "_visible",      "_width",        "_height",
    "_rotation",    "_target",      "_framesloaded", "_name",         "_droptarget",
    "_url",         "_highquality", "_focusrect",    "_soundbuftime", "_quality",
    "_xmouse",      "_ymouse",
};

namespace {

constexpr double kPi = 3.14159265358979323846;

double ScaleX(const Matrix& m) { return std::sqrt(m.a * m.a + m.b * m.b); }
double ScaleY(const Matrix& m) { return std::sqrt(m.c * m.c + m.d * m.d); }
double Rotation(const Matrix& m) { return std::atan2(m.b, m.a) * 180 / kPi; }

void Compose(Matrix& m, double sx, double sy, double degrees) {
    double r = degrees * kPi / 180;
    m.a = sx * std::cos(r);
    m.b = sx * std::sin(r);
    m.c = -sy * std::sin(r);
    m.d = sy * std::cos(r);
}

Bounds ParentBounds(const Instance& clip) {
    return TransformBounds(clip.matrix, LocalBounds(clip));
}

int FramesLoaded(const Instance& clip) {
    if (clip.kind == InstanceKind::Level && clip.movie && !clip.movie->complete)
        return std::min(FrameCount(clip), clip.movie->framesLoaded);
    return FrameCount(clip);
}

Value Flag(const Player& player, bool on) {
    return player.version >= 5 ? Bool(on) : Number(on ? 1 : 0);
}

}  // namespace

int PropertyIndex(const std::string& name) {
    for (int i = 0; i < kPropertyCount; ++i)
        if (SameName(name, kPropertyNames[i], false)) return i;
    return -1;
}

Matrix WorldMatrix(const Instance& clip) {
    return clip.parent ? Multiply(WorldMatrix(*clip.parent), clip.matrix) : clip.matrix;
}

Bounds LocalBounds(const Instance& clip) {
    Bounds bounds;
    if (clip.shape) {
        bounds = Bounds{double(clip.shape->xMin), double(clip.shape->yMin),
                        double(clip.shape->xMax), double(clip.shape->yMax), false};
    }
    if (clip.button && clip.movie) {
        for (const ButtonRecord& record : clip.button->records) {
            if (!(record.states & kButtonUp)) continue;
            auto found = clip.movie->characters.find(record.character);
            if (found == clip.movie->characters.end() || !found->second.shape) continue;
            const ShapeDefinition& s = *found->second.shape;
            AddBounds(bounds, TransformBounds(record.matrix,
                                              Bounds{double(s.xMin), double(s.yMin), double(s.xMax),
                                                     double(s.yMax), false}));
        }
    }
    if (clip.kind == InstanceKind::Picture)
        AddBounds(bounds, Bounds{0, 0, clip.pictureWidth * 20.0, clip.pictureHeight * 20.0, false});
    for (auto& [depth, child] : clip.children) AddBounds(bounds, ParentBounds(*child));
    return bounds;
}

Value GetProperty(Player& player, Instance& clip, int index) {
    const Matrix& m = clip.matrix;
    switch (index) {
        case 0: return Number(m.tx / 20);
        case 1: return Number(m.ty / 20);
        case 2: return Number(ScaleX(m) * 100);
        case 3: return Number(ScaleY(m) * 100);
        case 4: return Number(clip.frame + 1);
        case 5: return Number(FrameCount(clip));
        case 6: return Number(clip.color.mult[3] * 100.0 / 256);
        case 7: return Flag(player, clip.visible);
        case 8: {
            Bounds b = ParentBounds(clip);
            return Number(b.empty ? 0 : (b.xMax - b.xMin) / 20);
        }
        case 9: {
            Bounds b = ParentBounds(clip);
            return Number(b.empty ? 0 : (b.yMax - b.yMin) / 20);
        }
        case 10: return Number(Rotation(m));
        case 11: return String(SlashPath(clip));
        case 12: return Number(FramesLoaded(clip));
        case 13: return String(clip.parent ? clip.name : "");
        case 14: return String("");
        case 15: return String("");
        case 16: return Number(player.highQuality ? 1 : 0);
        case 17: return Number(player.focusRect ? 1 : 0);
        case 18: return Number(player.soundBufferTime);
        case 19: return String(player.quality);
        case 20:
        case 21: {
            Matrix inverse;
            if (!Invert(WorldMatrix(clip), inverse)) return Number(0);
            Point local = Transform(inverse, Point{player.mouseX, player.mouseY});
            return Number(std::round(index == 20 ? local.x / 20 : local.y / 20));
        }
        default: return Undefined();
    }
}

void SetProperty(Player& player, Instance& clip, int index, const Value& value) {
    double n = ToNumber(value, player.version);
    bool numeric = std::isfinite(n);
    Matrix& m = clip.matrix;
    switch (index) {
        case 0:
        case 1:
            if (!numeric) return;
            (index == 0 ? m.tx : m.ty) = n * 20;
            break;
        case 2:
        case 3:
            if (!numeric) return;
            Compose(m, index == 2 ? n / 100 : ScaleX(m), index == 3 ? n / 100 : ScaleY(m),
                    Rotation(m));
            break;
        case 6:
            if (!numeric) return;
            clip.color.mult[3] =
                static_cast<int16_t>(std::fmax(-32768, std::fmin(32767, n * 2.56)));
            break;
        case 7:
            clip.visible =
                ToBoolean(value, player.version) ||
                (value.type == ValueType::String && ToNumber(value, player.version) != 0);
            break;
        case 8:
        case 9: {
            if (!numeric || n < 0) return;
            Bounds b = ParentBounds(clip);
            double current = b.empty ? 0 : (index == 8 ? b.xMax - b.xMin : b.yMax - b.yMin) / 20;
            if (current <= 0) return;
            double factor = n / current;
            if (index == 8)
                Compose(m, ScaleX(m) * factor, ScaleY(m), Rotation(m));
            else
                Compose(m, ScaleX(m), ScaleY(m) * factor, Rotation(m));
            break;
        }
        case 10:
            if (!numeric) return;
            Compose(m, ScaleX(m), ScaleY(m), std::fmod(n, 360));
            break;
        case 13:
            if (clip.parent) clip.name = ToString(value, player.version);
            return;
        case 16: player.highQuality = n != 0; return;
        case 17: player.focusRect = n != 0; return;
        case 18:
            if (numeric) player.soundBufferTime = n;
            return;
        case 19: player.quality = ToString(value, player.version); return;
        default: return;  // read-only
    }
    clip.scripted = true;
    player.displayChanged = true;
}

}  // namespace kelpo::player
