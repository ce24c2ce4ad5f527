// Shape tags to outlines. Each record is read within the tag's bytes; a
// style or record cut short ends the outline where it was. Gradients keep
// their matrix (scaled to gradient space -1..1), spread, focal point and up
// to 15 stops; bitmap fills paint a neutral grey until pictures are decoded.
#include "player/core/shape_reader.h"

#include <algorithm>
#include <climits>

#include "player/core/geometry.h"
#include "player/core/record_reader.h"
#include "player/core/shape_builder.h"

namespace kelpo::player {

namespace {

// The gradient square spans -16384..16384 twips of the style's matrix.
constexpr double kGradientHalf = 16384.0;
constexpr uint32_t kBitmapStandIn = 0xFF808080;
// Style arrays larger than this are damaged; a shape never needs more.
constexpr size_t kMaxStyles = 4096;

struct Format {
    int version;  // 1 DefineShape ... 4 DefineShape4
    bool morph;
};

Format FormatOf(int tagCode) {
    switch (tagCode) {
        case 2: return {1, false};
        case 22: return {2, false};
        case 32: return {3, false};
        case 83: return {4, false};
        case 46: return {3, true};
        default: return {4, true};  // 84
    }
}

uint32_t ReadColor(ByteReader& reader, const Format& format) {
    return format.version >= 3 ? ReadRgba(reader) : ReadRgb(reader);
}

Matrix GradientMatrix(ByteReader& reader) {
    Matrix scale{kGradientHalf, 0, 0, kGradientHalf, 0, 0};
    return Multiply(ReadMatrix(reader), scale);
}

void SetStandIn(Paint& paint) {
    if (paint.kind != PaintKind::Solid && paint.stopCount > 0)
        paint.argb = paint.stops[paint.stopCount / 2].argb;
}

// One fill style; morph styles read the start into `start` and the end into `end`.
void ReadFill(ByteReader& reader, const Format& format, Paint& start, Paint& end) {
    uint8_t type = ReadU8(reader);
    if (type == 0x00) {
        start.argb = ReadColor(reader, format);
        if (format.morph) end.argb = ReadColor(reader, format);
    } else if (type == 0x10 || type == 0x12 || type == 0x13) {
        start.kind = end.kind =
            type == 0x10 ? PaintKind::LinearGradient : PaintKind::RadialGradient;
        start.matrix = GradientMatrix(reader);
        if (format.morph) end.matrix = GradientMatrix(reader);
        uint8_t header = ReadU8(reader);
        int count = std::min(header & 0x0F, kMaxGradientStops);
        if (!format.morph) {
            start.spread = static_cast<Spread>(std::min(header >> 6, 2));
        }
        double last = 0;
        for (int i = 0; i < count && !reader.failed; ++i) {
            Paint* sides[2] = {&start, &end};
            for (int side = 0; side < (format.morph ? 2 : 1); ++side) {
                // Ratios must not fall back; a damaged list is kept in order.
                double position = std::max(last, ReadU8(reader) / 255.0);
                sides[side]->stops[i] = GradientStop{position, ReadColor(reader, format)};
                if (!format.morph) last = position;
            }
        }
        start.stopCount = end.stopCount = count;
        if (type == 0x13 && !format.morph)
            start.focal = std::clamp(ReadS16(reader) / 256.0, -1.0, 1.0);
        end.spread = start.spread;
        SetStandIn(start);
        SetStandIn(end);
    } else if (type >= 0x40 && type <= 0x43) {
        ReadU16(reader);
        ReadMatrix(reader);
        if (format.morph) ReadMatrix(reader);
        start.argb = end.argb = kBitmapStandIn;
    } else {
        reader.failed = true;  // an unknown style makes the rest unreadable
    }
}

size_t ReadCount(ByteReader& reader, const Format& format) {
    size_t count = ReadU8(reader);
    if (count == 0xFF && format.version >= 2) count = ReadU16(reader);
    return std::min(count, kMaxStyles);
}

void ReadFills(ByteReader& reader, const Format& format, StyleSet& start, StyleSet& end) {
    size_t count = ReadCount(reader, format);
    for (size_t i = 0; i < count && !reader.failed; ++i) {
        Paint a, b;
        ReadFill(reader, format, a, b);
        start.fills.push_back(a);
        if (format.morph) end.fills.push_back(b);
    }
}

LineCap CapOf(uint32_t bits) {
    return bits == 1 ? LineCap::None : bits == 2 ? LineCap::Square : LineCap::Round;
}

void ReadLines(ByteReader& reader, const Format& format, StyleSet& start, StyleSet& end) {
    size_t count = ReadCount(reader, format);
    for (size_t i = 0; i < count && !reader.failed; ++i) {
        LineStyle a, b;
        a.width = ReadU16(reader);
        if (format.morph) b.width = ReadU16(reader);
        bool hasFill = false;
        if (format.version >= 4) {
            uint32_t startCap = ReadUBits(reader, 2);
            uint32_t join = ReadUBits(reader, 2);
            hasFill = ReadUBits(reader, 1) != 0;
            ReadUBits(reader, 3);  // no horizontal / vertical scale, pixel hinting
            ReadUBits(reader, 6);  // reserved, no close
            uint32_t endCap = ReadUBits(reader, 2);
            a.startCap = b.startCap = CapOf(startCap);
            a.endCap = b.endCap = CapOf(endCap);
            a.join = b.join = join == 1   ? LineJoin::Bevel
                              : join == 2 ? LineJoin::Miter
                                          : LineJoin::Round;
            if (join == 2) a.miterLimit = b.miterLimit = std::max(1.0, ReadU16(reader) / 256.0);
        }
        if (hasFill) {
            ReadFill(reader, format, a.paint, b.paint);
        } else {
            a.paint.argb = ReadColor(reader, format);
            if (format.morph) b.paint.argb = ReadColor(reader, format);
        }
        start.lines.push_back(a);
        if (format.morph) end.lines.push_back(b);
    }
}

// Coordinates add up in 64 bits and are kept in range, as hostile deltas may overflow.
int32_t Offset(int32_t base, int32_t delta) {
    int64_t sum = static_cast<int64_t>(base) + delta;
    return static_cast<int32_t>(std::clamp<int64_t>(sum, INT32_MIN, INT32_MAX));
}

// Shape records up to the end record. New styles are read only where the
// format allows them (not in glyphs, morphs or the first version).
void ReadRecords(ByteReader& reader, const Format& format, bool newStylesAllowed,
                 ShapeOutline& outline) {
    AlignBits(reader);
    int fillBits = static_cast<int>(ReadUBits(reader, 4));
    int lineBits = static_cast<int>(ReadUBits(reader, 4));
    uint32_t fill0 = 0, fill1 = 0, line = 0;
    uint32_t set = outline.styles.empty() ? 0 : static_cast<uint32_t>(outline.styles.size() - 1);
    int32_t x = 0, y = 0;
    while (!reader.failed) {
        if (ReadUBits(reader, 1) == 0) {
            uint32_t flags = ReadUBits(reader, 5);
            if (flags == 0) break;  // end of shape
            if (flags & 0x01) {
                int bits = static_cast<int>(ReadUBits(reader, 5));
                x = ReadSBits(reader, bits);
                y = ReadSBits(reader, bits);
            }
            if (flags & 0x02) fill0 = ReadUBits(reader, fillBits);
            if (flags & 0x04) fill1 = ReadUBits(reader, fillBits);
            if (flags & 0x08) line = ReadUBits(reader, lineBits);
            if (flags & 0x10) {
                if (!newStylesAllowed) break;
                StyleSet styles, unused;
                ReadFills(reader, format, styles, unused);
                ReadLines(reader, format, styles, unused);
                outline.styles.push_back(std::move(styles));
                set = static_cast<uint32_t>(outline.styles.size() - 1);
                AlignBits(reader);
                fillBits = static_cast<int>(ReadUBits(reader, 4));
                lineBits = static_cast<int>(ReadUBits(reader, 4));
                fill0 = fill1 = line = 0;
            }
            continue;
        }
        OutlineEdge edge{double(x), double(y), 0, 0, 0, 0, false, fill0, fill1, line, set};
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
            x = Offset(x, dx);
            y = Offset(y, dy);
        } else {
            edge.curve = true;
            int32_t cx = Offset(x, ReadSBits(reader, bits));
            int32_t cy = Offset(y, ReadSBits(reader, bits));
            x = Offset(cx, ReadSBits(reader, bits));
            y = Offset(cy, ReadSBits(reader, bits));
            edge.cx = cx;
            edge.cy = cy;
        }
        if (reader.failed) break;
        edge.x1 = x;
        edge.y1 = y;
        outline.edges.push_back(edge);
    }
}

}  // namespace

ShapeDefinition ReadShape(ByteReader& reader, int tagCode) {
    Format format = FormatOf(tagCode);
    TwipsRect bounds = ReadRect(reader);
    if (format.version >= 4) {
        ReadRect(reader);  // edge bounds
        ReadU8(reader);    // winding rule and scaling hints
    }
    ShapeOutline outline;
    StyleSet styles, unused;
    ReadFills(reader, format, styles, unused);
    ReadLines(reader, format, styles, unused);
    outline.styles.push_back(std::move(styles));
    if (!reader.failed) ReadRecords(reader, format, format.version >= 2, outline);
    ShapeDefinition shape = BuildShape(outline);
    shape.xMin = bounds.xMin;
    shape.xMax = bounds.xMax;
    shape.yMin = bounds.yMin;
    shape.yMax = bounds.yMax;
    return shape;
}

MorphDefinition ReadMorphShape(ByteReader& reader, int tagCode) {
    Format format = FormatOf(tagCode);
    MorphDefinition morph;
    TwipsRect a = ReadRect(reader);
    TwipsRect b = ReadRect(reader);
    morph.xMin = std::min(a.xMin, b.xMin);
    morph.xMax = std::max(a.xMax, b.xMax);
    morph.yMin = std::min(a.yMin, b.yMin);
    morph.yMax = std::max(a.yMax, b.yMax);
    if (tagCode == 84) {
        ReadRect(reader);
        ReadRect(reader);
        ReadU8(reader);
    }
    uint32_t offset = ReadU32(reader);
    size_t endEdges = reader.position + offset;
    StyleSet start, end;
    ReadFills(reader, format, start, end);
    ReadLines(reader, format, start, end);
    morph.start.styles.push_back(std::move(start));
    morph.end.styles.push_back(std::move(end));
    if (reader.failed) return morph;
    ReadRecords(reader, format, false, morph.start);
    // The end edges start where the offset says, whatever the start edges read.
    if (endEdges >= reader.length) return morph;
    ByteReader rest = MakeReader(reader.bytes + endEdges, reader.length - endEdges);
    ReadRecords(rest, format, false, morph.end);
    return morph;
}

ShapeOutline ReadGlyphOutline(ByteReader& reader) {
    ShapeOutline outline;
    StyleSet styles;
    styles.fills.push_back(Paint());  // glyphs fill with style 1; the text gives the colour
    outline.styles.push_back(styles);
    ReadRecords(reader, Format{1, false}, false, outline);
    return outline;
}

}  // namespace kelpo::player
