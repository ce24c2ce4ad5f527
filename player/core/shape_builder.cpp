// Outlines to paths. Fills are even-odd: the edges that bound a fill style
// (on either side, but not on both) are chained into contours by matching
// end points, so the direction in which edges were written does not matter.
// Morphs pair the i-th start edge with the i-th end edge.
#include "player/core/shape_builder.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

namespace kelpo::player {

namespace {

using Key = std::pair<double, double>;

PathSegment Segment(bool moveTo, bool curve, double cx, double cy, double x, double y) {
    return PathSegment{curve, moveTo, Point{cx, cy}, Point{x, y}};
}

// Chains the edges of one fill style into closed contours.
std::vector<PathSegment> ChainContours(const std::vector<const OutlineEdge*>& edges) {
    std::multimap<Key, size_t> byEnd;
    for (size_t i = 0; i < edges.size(); ++i) {
        byEnd.emplace(Key{edges[i]->x0, edges[i]->y0}, i);
        byEnd.emplace(Key{edges[i]->x1, edges[i]->y1}, i);
    }
    std::vector<bool> used(edges.size(), false);
    std::vector<PathSegment> path;
    for (size_t start = 0; start < edges.size(); ++start) {
        if (used[start]) continue;
        used[start] = true;
        const OutlineEdge& first = *edges[start];
        path.push_back(Segment(true, false, 0, 0, first.x0, first.y0));
        path.push_back(Segment(false, first.curve, first.cx, first.cy, first.x1, first.y1));
        Key at{first.x1, first.y1};
        const Key origin{first.x0, first.y0};
        while (at != origin) {
            size_t next = edges.size();
            auto range = byEnd.equal_range(at);
            for (auto it = range.first; it != range.second; ++it)
                if (!used[it->second]) {
                    next = it->second;
                    break;
                }
            if (next == edges.size()) break;  // an open contour: the fill closes it
            used[next] = true;
            const OutlineEdge& e = *edges[next];
            if (Key{e.x0, e.y0} == at) {
                path.push_back(Segment(false, e.curve, e.cx, e.cy, e.x1, e.y1));
                at = {e.x1, e.y1};
            } else {
                path.push_back(Segment(false, e.curve, e.cx, e.cy, e.x0, e.y0));
                at = {e.x0, e.y0};
            }
        }
    }
    return path;
}

double Mix(double a, double b, double t) { return a + (b - a) * t; }

uint32_t MixColor(uint32_t a, uint32_t b, double t) {
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        double c = Mix((a >> shift) & 0xFF, (b >> shift) & 0xFF, t);
        out |= static_cast<uint32_t>(std::lround(c)) << shift;
    }
    return out;
}

Matrix MixMatrix(const Matrix& a, const Matrix& b, double t) {
    return Matrix{Mix(a.a, b.a, t), Mix(a.b, b.b, t),   Mix(a.c, b.c, t),
                  Mix(a.d, b.d, t), Mix(a.tx, b.tx, t), Mix(a.ty, b.ty, t)};
}

Paint MixPaint(const Paint& a, const Paint& b, double t) {
    Paint p = a;
    p.argb = MixColor(a.argb, b.argb, t);
    p.matrix = MixMatrix(a.matrix, b.matrix, t);
    for (int i = 0; i < a.stopCount && i < b.stopCount; ++i) {
        p.stops[i].position = Mix(a.stops[i].position, b.stops[i].position, t);
        p.stops[i].argb = MixColor(a.stops[i].argb, b.stops[i].argb, t);
    }
    return p;
}

// A straight edge as the curve with the same course, to pair with a curve.
OutlineEdge AsCurve(OutlineEdge e) {
    if (!e.curve) {
        e.curve = true;
        e.cx = (e.x0 + e.x1) / 2;
        e.cy = (e.y0 + e.y1) / 2;
    }
    return e;
}

}  // namespace

ShapeDefinition BuildShape(const ShapeOutline& outline) {
    ShapeDefinition shape;
    // By style set, then style index: the order styles are painted in.
    std::map<std::pair<uint32_t, uint32_t>, std::vector<const OutlineEdge*>> fills;
    std::map<std::pair<uint32_t, uint32_t>, std::vector<const OutlineEdge*>> lines;
    for (const OutlineEdge& e : outline.edges) {
        // An edge with the same style on both sides lies inside the fill.
        if (e.fill0 != e.fill1) {
            if (e.fill0) fills[{e.styleSet, e.fill0}].push_back(&e);
            if (e.fill1) fills[{e.styleSet, e.fill1}].push_back(&e);
        }
        if (e.line) lines[{e.styleSet, e.line}].push_back(&e);
    }
    for (const auto& [key, edges] : fills) {
        if (key.first >= outline.styles.size()) continue;
        const StyleSet& styles = outline.styles[key.first];
        if (key.second > styles.fills.size()) continue;
        ShapePath path;
        path.styleSet = key.first;
        path.paint = styles.fills[key.second - 1];
        path.segments = ChainContours(edges);
        shape.fills.push_back(std::move(path));
    }
    for (const auto& [key, edges] : lines) {
        if (key.first >= outline.styles.size()) continue;
        const StyleSet& styles = outline.styles[key.first];
        if (key.second > styles.lines.size()) continue;
        const LineStyle& style = styles.lines[key.second - 1];
        ShapePath path;
        path.styleSet = key.first;
        path.paint = style.paint;
        path.width = style.width;
        path.startCap = style.startCap;
        path.endCap = style.endCap;
        path.join = style.join;
        path.miterLimit = style.miterLimit;
        Key end{NAN, NAN};
        for (const OutlineEdge* e : edges) {
            if (path.segments.empty() || end != Key{e->x0, e->y0})
                path.segments.push_back(Segment(true, false, 0, 0, e->x0, e->y0));
            path.segments.push_back(Segment(false, e->curve, e->cx, e->cy, e->x1, e->y1));
            end = {e->x1, e->y1};
        }
        shape.strokes.push_back(std::move(path));
    }
    return shape;
}

ShapeDefinition MorphAt(const MorphDefinition& morph, uint16_t ratio) {
    double t = ratio / 65535.0;
    ShapeOutline mixed;
    mixed.styles.resize(1);
    if (!morph.start.styles.empty() && !morph.end.styles.empty()) {
        const StyleSet& a = morph.start.styles[0];
        const StyleSet& b = morph.end.styles[0];
        for (size_t i = 0; i < a.fills.size() && i < b.fills.size(); ++i)
            mixed.styles[0].fills.push_back(MixPaint(a.fills[i], b.fills[i], t));
        for (size_t i = 0; i < a.lines.size() && i < b.lines.size(); ++i) {
            LineStyle line = a.lines[i];
            line.width = Mix(a.lines[i].width, b.lines[i].width, t);
            line.paint = MixPaint(a.lines[i].paint, b.lines[i].paint, t);
            mixed.styles[0].lines.push_back(line);
        }
    }
    size_t count = std::min(morph.start.edges.size(), morph.end.edges.size());
    for (size_t i = 0; i < count; ++i) {
        OutlineEdge a = morph.start.edges[i], b = morph.end.edges[i];
        if (a.curve != b.curve) {
            a = AsCurve(a);
            b = AsCurve(b);
        }
        OutlineEdge e = a;
        e.x0 = Mix(a.x0, b.x0, t);
        e.y0 = Mix(a.y0, b.y0, t);
        e.cx = Mix(a.cx, b.cx, t);
        e.cy = Mix(a.cy, b.cy, t);
        e.x1 = Mix(a.x1, b.x1, t);
        e.y1 = Mix(a.y1, b.y1, t);
        e.styleSet = 0;
        mixed.edges.push_back(e);
    }
    ShapeDefinition shape = BuildShape(mixed);
    shape.xMin = morph.xMin;
    shape.xMax = morph.xMax;
    shape.yMin = morph.yMin;
    shape.yMax = morph.yMax;
    return shape;
}

}  // namespace kelpo::player
