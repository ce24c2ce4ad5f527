// Shape records to paths. Fills are even-odd: the edges that bound a fill
// style (on either side, but not on both) are chained into contours by
// matching end points, so the direction in which edges were written does
// not matter. Gradients and bitmaps paint as a single colour.
#include "player/core/shape_reader.h"

#include <climits>
#include <map>
#include <utility>

#include "player/core/record_reader.h"

namespace kelpo::player {

namespace {

struct Edge {
    int32_t x0, y0, cx, cy, x1, y1;
    bool curve;
};

struct StyleArrays {
    std::vector<uint32_t> fills;
    std::vector<std::pair<double, uint32_t>> lines;  // width, colour
};

// Coordinates add up in 64 bits and are kept in range, as hostile deltas may overflow.
int32_t Offset(int32_t base, int32_t delta) {
    int64_t sum = static_cast<int64_t>(base) + delta;
    if (sum > INT32_MAX) return INT32_MAX;
    if (sum < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(sum);
}

uint32_t ReadStyleColor(ByteReader& reader, bool alpha) {
    return alpha ? ReadRgba(reader) : ReadRgb(reader);
}

void ReadFillStyles(ByteReader& reader, int tagCode, std::vector<uint32_t>& fills) {
    bool alpha = tagCode == 32;
    size_t count = ReadU8(reader);
    if (count == 0xFF && tagCode != 2) count = ReadU16(reader);
    for (size_t i = 0; i < count && !reader.failed; ++i) {
        uint8_t type = ReadU8(reader);
        uint32_t color = 0xFF000000;
        if (type == 0x00) {
            color = ReadStyleColor(reader, alpha);
        } else if (type == 0x10 || type == 0x12 || type == 0x13) {
            ReadMatrix(reader);
            int records = ReadU8(reader) & 0x0F;
            for (int r = 0; r < records; ++r) {
                ReadU8(reader);  // ratio
                uint32_t stop = ReadStyleColor(reader, alpha);
                if (r == 0) color = stop;
            }
            if (type == 0x13) ReadU16(reader);  // focal point
        } else if (type >= 0x40 && type <= 0x43) {
            ReadU16(reader);
            ReadMatrix(reader);
            color = 0xFF808080;  // bitmaps are not decoded: a neutral grey
        } else {
            reader.failed = true;  // an unknown style makes the rest unreadable
        }
        fills.push_back(color);
    }
}

void ReadLineStyles(ByteReader& reader, int tagCode,
                    std::vector<std::pair<double, uint32_t>>& lines) {
    size_t count = ReadU8(reader);
    if (count == 0xFF && tagCode != 2) count = ReadU16(reader);
    for (size_t i = 0; i < count && !reader.failed; ++i) {
        double width = ReadU16(reader);
        lines.emplace_back(width, ReadStyleColor(reader, tagCode == 32));
    }
}

PathSegment Segment(bool moveTo, bool curve, double cx, double cy, double x, double y) {
    return PathSegment{curve, moveTo, Point{cx, cy}, Point{x, y}};
}

// Chains the edges of one fill style into closed contours.
std::vector<PathSegment> ChainContours(const std::vector<Edge>& edges) {
    std::multimap<std::pair<int32_t, int32_t>, size_t> byEnd;
    for (size_t i = 0; i < edges.size(); ++i) {
        byEnd.emplace(std::make_pair(edges[i].x0, edges[i].y0), i);
        byEnd.emplace(std::make_pair(edges[i].x1, edges[i].y1), i);
    }
    std::vector<bool> used(edges.size(), false);
    std::vector<PathSegment> path;
    for (size_t start = 0; start < edges.size(); ++start) {
        if (used[start]) continue;
        used[start] = true;
        const Edge& first = edges[start];
        path.push_back(Segment(true, false, 0, 0, first.x0, first.y0));
        path.push_back(Segment(false, first.curve, first.cx, first.cy, first.x1, first.y1));
        std::pair<int32_t, int32_t> at{first.x1, first.y1};
        const std::pair<int32_t, int32_t> origin{first.x0, first.y0};
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
            const Edge& e = edges[next];
            if (std::make_pair(e.x0, e.y0) == at) {
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

// Edges gathered under one generation of style arrays (NewStyles starts another).
struct Layer {
    StyleArrays styles;
    std::map<size_t, std::vector<Edge>> fillEdges;  // by 1-based style index
    std::map<size_t, std::vector<PathSegment>> lineSegments;
};

void FinishLayer(Layer& layer, ShapeDefinition& shape) {
    for (auto& [index, edges] : layer.fillEdges) {
        if (index == 0 || index > layer.styles.fills.size() || edges.empty()) continue;
        ShapePath path;
        path.argb = layer.styles.fills[index - 1];
        path.segments = ChainContours(edges);
        shape.fills.push_back(std::move(path));
    }
    for (auto& [index, segments] : layer.lineSegments) {
        if (index == 0 || index > layer.styles.lines.size() || segments.empty()) continue;
        ShapePath path;
        path.width = layer.styles.lines[index - 1].first;
        path.argb = layer.styles.lines[index - 1].second;
        path.segments = std::move(segments);
        shape.strokes.push_back(std::move(path));
    }
    layer = Layer();
}

}  // namespace

ShapeDefinition ReadShape(ByteReader& reader, int tagCode) {
    ShapeDefinition shape;
    TwipsRect bounds = ReadRect(reader);
    shape.xMin = bounds.xMin;
    shape.xMax = bounds.xMax;
    shape.yMin = bounds.yMin;
    shape.yMax = bounds.yMax;

    Layer layer;
    ReadFillStyles(reader, tagCode, layer.styles.fills);
    ReadLineStyles(reader, tagCode, layer.styles.lines);
    AlignBits(reader);
    int fillBits = static_cast<int>(ReadUBits(reader, 4));
    int lineBits = static_cast<int>(ReadUBits(reader, 4));

    size_t fill0 = 0, fill1 = 0, line = 0;
    int32_t x = 0, y = 0;
    std::pair<int32_t, int32_t> lineEnd{INT32_MIN, INT32_MIN};
    while (!reader.failed) {
        bool isEdge = ReadUBits(reader, 1) != 0;
        if (!isEdge) {
            uint32_t flags = ReadUBits(reader, 5);
            if (flags == 0) break;  // end of shape
            if (flags & 0x01) {     // move to
                int bits = static_cast<int>(ReadUBits(reader, 5));
                x = ReadSBits(reader, bits);
                y = ReadSBits(reader, bits);
            }
            if (flags & 0x02) fill0 = ReadUBits(reader, fillBits);
            if (flags & 0x04) fill1 = ReadUBits(reader, fillBits);
            if (flags & 0x08) line = ReadUBits(reader, lineBits);
            if (flags & 0x10) {
                if (tagCode == 2) break;  // not allowed in the first version
                FinishLayer(layer, shape);
                ReadFillStyles(reader, tagCode, layer.styles.fills);
                ReadLineStyles(reader, tagCode, layer.styles.lines);
                AlignBits(reader);
                fillBits = static_cast<int>(ReadUBits(reader, 4));
                lineBits = static_cast<int>(ReadUBits(reader, 4));
                fill0 = fill1 = line = 0;
            }
            lineEnd = {INT32_MIN, INT32_MIN};
            continue;
        }
        Edge edge{x, y, 0, 0, 0, 0, false};
        bool straight = ReadUBits(reader, 1) != 0;
        int bits = static_cast<int>(ReadUBits(reader, 4)) + 2;
        if (straight) {
            int32_t dx = 0, dy = 0;
            if (ReadUBits(reader, 1)) {
                dx = ReadSBits(reader, bits);
                dy = ReadSBits(reader, bits);
            } else if (ReadUBits(reader, 1)) {
                dy = ReadSBits(reader, bits);
            } else {
                dx = ReadSBits(reader, bits);
            }
            edge.x1 = Offset(x, dx);
            edge.y1 = Offset(y, dy);
        } else {
            edge.curve = true;
            edge.cx = Offset(x, ReadSBits(reader, bits));
            edge.cy = Offset(y, ReadSBits(reader, bits));
            edge.x1 = Offset(edge.cx, ReadSBits(reader, bits));
            edge.y1 = Offset(edge.cy, ReadSBits(reader, bits));
        }
        if (reader.failed) break;
        x = edge.x1;
        y = edge.y1;
        // An edge with the same style on both sides lies inside the fill.
        if (fill0 != fill1) {
            if (fill0) layer.fillEdges[fill0].push_back(edge);
            if (fill1) layer.fillEdges[fill1].push_back(edge);
        }
        if (line) {
            auto& segments = layer.lineSegments[line];
            if (lineEnd != std::make_pair(edge.x0, edge.y0) || segments.empty())
                segments.push_back(Segment(true, false, 0, 0, edge.x0, edge.y0));
            segments.push_back(Segment(false, edge.curve, edge.cx, edge.cy, edge.x1, edge.y1));
            lineEnd = {edge.x1, edge.y1};
        }
    }
    FinishLayer(layer, shape);
    return shape;
}

}  // namespace kelpo::player
