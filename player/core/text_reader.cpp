// Fonts and static texts; see text_reader.h. Offsets inside a font tag are
// checked against the tag's bytes and each byte belongs to one glyph at
// most; a text whose glyphs add up to more than kMaxTextSegments stops
// there, so a small tag cannot make a huge shape.
#include "player/core/text_reader.h"

#include <algorithm>

#include "player/core/geometry.h"
#include "player/core/record_reader.h"
#include "player/core/shape_builder.h"
#include "player/core/shape_reader.h"

namespace kelpo::player {

namespace {

constexpr size_t kMaxTextSegments = 200000;
// Glyph units per em: DefineFont and DefineFont2 use 1024, DefineFont3 20 times as many.
constexpr double kEm = 1024.0;

std::vector<PathSegment> ReadGlyph(const ByteReader& tag, size_t from, size_t to, double scale) {
    if (from >= to || to > tag.length) return {};
    ByteReader reader = MakeReader(tag.bytes + from, to - from);
    ShapeDefinition shape = BuildShape(ReadGlyphOutline(reader));
    std::vector<PathSegment> glyph;
    for (const ShapePath& fill : shape.fills)
        for (PathSegment s : fill.segments) {
            s.to = Point{s.to.x * scale, s.to.y * scale};
            s.control = Point{s.control.x * scale, s.control.y * scale};
            glyph.push_back(s);
        }
    return glyph;
}

// Glyph shapes between the offsets (relative to `table`), the last one up to `end`.
void ReadGlyphs(const ByteReader& reader, size_t table, const std::vector<size_t>& offsets,
                size_t end, double scale, FontDefinition& font) {
    // Glyphs lie in offset order; one that goes back reads as empty, so no
    // byte is read for more than one glyph.
    size_t reached = 0;
    for (size_t i = 0; i < offsets.size(); ++i) {
        size_t from = table + offsets[i];
        size_t to = i + 1 < offsets.size() ? table + offsets[i + 1] : end;
        to = std::min(to, reader.length);
        if (from < reached || from >= to) {
            font.glyphs.emplace_back();
            continue;
        }
        font.glyphs.push_back(ReadGlyph(reader, from, to, scale));
        reached = to;
    }
}

FontDefinition ReadFirstFont(ByteReader& reader) {
    FontDefinition font;
    size_t table = reader.position;
    size_t first = ReadU16(reader);
    std::vector<size_t> offsets{first};
    for (size_t i = 1; i < first / 2 && !reader.failed; ++i) offsets.push_back(ReadU16(reader));
    if (reader.failed || first == 0) return font;
    ReadGlyphs(reader, table, offsets, reader.length, 1.0, font);
    return font;
}

}  // namespace

FontDefinition ReadFont(ByteReader& reader, int tagCode) {
    if (tagCode == 10) return ReadFirstFont(reader);
    FontDefinition font;
    uint8_t flags = ReadU8(reader);
    bool hasLayout = flags & 0x80, wideOffsets = flags & 0x08, wideCodes = flags & 0x04;
    ReadU8(reader);                // language
    Skip(reader, ReadU8(reader));  // name
    size_t count = ReadU16(reader);
    size_t table = reader.position;
    std::vector<size_t> offsets;
    for (size_t i = 0; i < count && !reader.failed; ++i)
        offsets.push_back(wideOffsets ? ReadU32(reader) : ReadU16(reader));
    size_t codeTable = table + (wideOffsets ? ReadU32(reader) : ReadU16(reader));
    if (reader.failed) return font;
    double scale = tagCode == 75 ? 1.0 / 20 : 1.0;
    ReadGlyphs(reader, table, offsets, codeTable, scale, font);
    if (codeTable > reader.length) return font;
    reader.position = codeTable;
    for (size_t i = 0; i < count && !reader.failed; ++i)
        font.codes.push_back(wideCodes ? ReadU16(reader) : ReadU8(reader));
    if (!hasLayout || reader.failed) return font;
    ReadU16(reader);  // ascent
    ReadU16(reader);  // descent
    ReadU16(reader);  // leading
    for (size_t i = 0; i < count && !reader.failed; ++i)
        font.advances.push_back(ReadS16(reader) * scale);
    if (reader.failed) font.advances.clear();
    return font;
}

void ReadFontInfo(ByteReader& reader, int tagCode, FontDefinition& font) {
    Skip(reader, ReadU8(reader));  // name
    bool wide = (ReadU8(reader) & 0x01) != 0 || tagCode == 62;
    if (tagCode == 62) ReadU8(reader);  // language
    std::vector<uint16_t> codes;
    for (size_t i = 0; i < font.glyphs.size() && !reader.failed; ++i) {
        uint16_t code = wide ? ReadU16(reader) : ReadU8(reader);
        if (!reader.failed) codes.push_back(code);
    }
    font.codes = std::move(codes);
}

ShapeDefinition ReadText(ByteReader& reader, int tagCode, const MovieDefinition& movie) {
    ShapeDefinition shape;
    TwipsRect bounds = ReadRect(reader);
    shape.xMin = bounds.xMin;
    shape.xMax = bounds.xMax;
    shape.yMin = bounds.yMin;
    shape.yMax = bounds.yMax;
    Matrix matrix = ReadMatrix(reader);
    int glyphBits = ReadU8(reader);
    int advanceBits = ReadU8(reader);
    const FontDefinition* font = nullptr;
    uint32_t color = 0xFF000000;
    double x = 0, y = 0, height = 0;
    size_t segments = 0;
    while (!reader.failed) {
        uint8_t flags = ReadU8(reader);
        if (flags == 0 || reader.failed) break;  // end of records
        if (flags & 0x08) {
            auto found = movie.fonts.find(ReadU16(reader));
            font = found == movie.fonts.end() ? nullptr : found->second.get();
        }
        if (flags & 0x04) color = tagCode == 33 ? ReadRgba(reader) : ReadRgb(reader);
        if (flags & 0x01) x = ReadS16(reader);
        if (flags & 0x02) y = ReadS16(reader);
        if (flags & 0x08) height = ReadU16(reader);
        int count = ReadU8(reader);
        for (int i = 0; i < count && !reader.failed; ++i) {
            uint32_t index = ReadUBits(reader, glyphBits);
            int32_t advance = ReadSBits(reader, advanceBits);
            if (reader.failed) break;
            if (font && index < font->glyphs.size() && !font->glyphs[index].empty() &&
                segments + font->glyphs[index].size() <= kMaxTextSegments) {
                Matrix place = Multiply(matrix, Matrix{height / kEm, 0, 0, height / kEm, x, y});
                ShapePath path;
                path.paint.argb = color;
                for (PathSegment s : font->glyphs[index]) {
                    s.to = Transform(place, s.to);
                    s.control = Transform(place, s.control);
                    path.segments.push_back(s);
                }
                segments += path.segments.size();
                shape.fills.push_back(std::move(path));
            }
            x += advance;
        }
        AlignBits(reader);
    }
    return shape;
}

}  // namespace kelpo::player
