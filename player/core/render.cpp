// Drawing traversal: every level in order, each display list in depth
// order, matrices and colour transforms composed on the way down; shapes go
// to the sink as device-space paths.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "player/core/geometry.h"
#include "player/core/player_state.h"

namespace kelpo::player {

namespace {

struct Tint {
    double mult[4] = {1, 1, 1, 1};
    double add[4] = {0, 0, 0, 0};
};

// `outer` applied after `inner`.
Tint Combine(const Tint& outer, const ColorTransform& inner) {
    Tint t;
    for (int i = 0; i < 4; ++i) {
        t.mult[i] = outer.mult[i] * inner.mult[i] / 256.0;
        t.add[i] = outer.mult[i] * inner.add[i] + outer.add[i];
    }
    return t;
}

uint32_t Apply(const Tint& t, uint32_t argb) {
    // Channels in 0xAARRGGBB order; the transform is RGBA.
    const int shifts[4] = {16, 8, 0, 24};
    uint32_t out = 0;
    for (int i = 0; i < 4; ++i) {
        double c = ((argb >> shifts[i]) & 0xFF) * t.mult[i] + t.add[i];
        long v = std::lround(std::fmin(255, std::fmax(0, c)));
        out |= static_cast<uint32_t>(v) << shifts[i];
    }
    return out;
}

std::vector<PathSegment> ToDevice(const Matrix& m, const std::vector<PathSegment>& segments) {
    std::vector<PathSegment> out = segments;
    for (PathSegment& s : out) {
        s.to = Transform(m, s.to);
        if (s.curve) s.control = Transform(m, s.control);
    }
    return out;
}

// The paint in device space: gradient matrices follow the shape's, colours the tint.
Paint ToDevice(const Matrix& m, const Tint& tint, const Paint& paint) {
    Paint out = paint;
    out.argb = Apply(tint, paint.argb);
    out.matrix = Multiply(m, paint.matrix);
    for (int i = 0; i < out.stopCount; ++i) out.stops[i].argb = Apply(tint, paint.stops[i].argb);
    return out;
}

bool Invisible(const Paint& paint) {
    if (paint.kind == PaintKind::Solid) return (paint.argb >> 24) == 0;
    for (int i = 0; i < paint.stopCount; ++i)
        if (paint.stops[i].argb >> 24) return false;
    return true;
}

void DrawFill(const ShapePath& fill, const Matrix& m, const Tint& tint, RenderSink& sink) {
    Paint paint = ToDevice(m, tint, fill.paint);
    if (Invisible(paint)) return;
    std::vector<PathSegment> device = ToDevice(m, fill.segments);
    sink.fillPath(sink.user, device.data(), device.size(), paint);
}

void DrawStroke(const ShapePath& path, const Matrix& m, const Tint& tint, RenderSink& sink) {
    Stroke stroke;
    // Gradient line fills stroke in their stand-in colour.
    stroke.argb = Apply(tint, path.paint.argb);
    if ((stroke.argb >> 24) == 0) return;
    double scale = std::sqrt(std::fabs(m.a * m.d - m.b * m.c));
    stroke.width = std::fmax(1.0, path.width * scale);
    stroke.startCap = path.startCap;
    stroke.endCap = path.endCap;
    stroke.join = path.join;
    stroke.miterLimit = path.miterLimit;
    std::vector<PathSegment> device = ToDevice(m, path.segments);
    sink.strokePath(sink.user, device.data(), device.size(), stroke);
}

// Style set by style set: the set's fills, then its strokes.
void DrawShape(const ShapeDefinition& shape, const Matrix& m, const Tint& tint, RenderSink& sink) {
    size_t f = 0, s = 0;
    while (f < shape.fills.size() || s < shape.strokes.size()) {
        uint32_t set = f < shape.fills.size() ? shape.fills[f].styleSet : UINT32_MAX;
        if (s < shape.strokes.size()) set = std::min(set, shape.strokes[s].styleSet);
        for (; f < shape.fills.size() && shape.fills[f].styleSet == set; ++f)
            if (sink.fillPath) DrawFill(shape.fills[f], m, tint, sink);
        for (; s < shape.strokes.size() && shape.strokes[s].styleSet == set; ++s)
            if (sink.strokePath) DrawStroke(shape.strokes[s], m, tint, sink);
    }
}

uint8_t ButtonStateBit(ButtonState state) {
    switch (state) {
        case ButtonState::OverUp: return kButtonOver;
        case ButtonState::OverDown: return kButtonDown;
        default: return kButtonUp;
    }
}

void DrawInstance(const Instance& instance, const Matrix& parent, const Tint& parentTint,
                  RenderSink& sink) {
    if (!instance.visible) return;
    Matrix m = Multiply(parent, instance.matrix);
    Tint tint = Combine(parentTint, instance.color);
    switch (instance.kind) {
        case InstanceKind::Shape:
            if (instance.shape) DrawShape(*instance.shape, m, tint, sink);
            return;
        case InstanceKind::Button: {
            if (!instance.button || !instance.movie) return;
            uint8_t bit = ButtonStateBit(instance.buttonState);
            for (const ButtonRecord& record : instance.button->records) {
                if (!(record.states & bit)) continue;
                auto found = instance.movie->characters.find(record.character);
                if (found == instance.movie->characters.end() || !found->second.shape) continue;
                DrawShape(*found->second.shape, Multiply(m, record.matrix),
                          Combine(tint, record.color), sink);
            }
            return;
        }
        case InstanceKind::Picture:
            if (sink.drawImage && !instance.pixels.empty()) {
                // Picture pixels are one movie pixel (20 twips) each.
                Matrix pixelToTwips{20, 0, 0, 20, 0, 0};
                sink.drawImage(sink.user, instance.pixels.data(), instance.pictureWidth,
                               instance.pictureHeight, Multiply(m, pixelToTwips));
            }
            break;
        default: break;
    }
    for (const auto& [depth, child] : instance.children) DrawInstance(*child, m, tint, sink);
}

}  // namespace

void RenderFrame(Player* player, const Matrix& toDevice, RenderSink& sink) {
    if (!player) return;
    uint32_t background = 0xFFFFFF;
    auto level0 = player->levels.find(0);
    if (level0 != player->levels.end() && level0->second->movie)
        background = level0->second->movie->info.background;
    if (sink.clear) sink.clear(sink.user, 0xFF000000u | background);
    for (const auto& [number, level] : player->levels) DrawInstance(*level, toDevice, Tint(), sink);
}

}  // namespace kelpo::player
