// Static texts with embedded fonts: every glyph is filled in the record's
// colour, placed at the record's offsets and scaled to its height; glyphs
// follow one another by their advances. Damaged fonts and texts draw what
// they can.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "player/core/bit_reader.h"
#include "player/core/geometry.h"
#include "player/core/text_reader.h"
#include "tests/unit/player/player_test_support.h"

namespace kelpo::player::testing {
namespace {

Bounds PathBounds(const DrawnPath& path) {
    Bounds b{1e9, 1e9, -1e9, -1e9, false};
    for (const PathSegment& s : path.segments) {
        b.xMin = std::min(b.xMin, s.to.x);
        b.yMin = std::min(b.yMin, s.to.y);
        b.xMax = std::max(b.xMax, s.to.x);
        b.yMax = std::max(b.yMax, s.to.y);
    }
    return b;
}

struct TextCase {
    const char* text;
    int32_t height;      // twips
    size_t glyphsDrawn;  // blanks draw nothing
};

TEST(TextTest, GlyphsArePlacedByOffsetsHeightAndAdvances) {
    const TextCase cases[] = {
        {"Hi", 1024, 2},
        {"H H", 512, 2},
        {"Quit", 2048, 4},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.text);
        movies::MovieBuilder movie;
        uint16_t font = movie.Font(" HQiqtu");
        uint16_t text = movie.Text(font, c.text, 400, 1000, c.height, 0xC0102030);
        movie.PlaceAt(1, text, movies::Translate(100, 0)).ShowFrame();
        PlayerFixture fixture;
        ASSERT_TRUE(fixture.Load(movie.Bytes()));
        RecordingSink sink;
        RenderFrame(fixture.get(), Matrix(), sink.sink);
        ASSERT_EQ(c.glyphsDrawn, sink.paths.size());
        double scale = c.height / 1024.0;
        double advance = std::round(600 * scale);  // block glyphs advance 600 units
        size_t drawn = 0;
        for (size_t i = 0; c.text[i]; ++i) {
            if (c.text[i] == ' ') continue;
            const DrawnPath& glyph = sink.paths[drawn++];
            EXPECT_TRUE(glyph.fill);
            EXPECT_EQ(0xC0102030u, glyph.argb);
            Bounds b = PathBounds(glyph);
            // The cells start at the glyph's origin; capitals rise 700 units above the baseline.
            if (c.text[i] == 'H') {
                EXPECT_NEAR(500 + advance * static_cast<double>(i), b.xMin, 1e-6);
                EXPECT_NEAR(1000 - 700 * scale, b.yMin, 1e-6);
                EXPECT_NEAR(1000, b.yMax, 1e-6);
                EXPECT_NEAR(500 * scale, b.xMax - b.xMin, 1e-6);
            }
        }
    }
}

TEST(TextTest, FontsKeepTheirCodesAndAdvances) {
    movies::MovieBuilder movie;
    movie.Font("AbC");
    std::vector<uint8_t> bytes = movie.Tags();
    // The DefineFont2 tag: a long header, then the id.
    ASSERT_GT(bytes.size(), 8u);
    ByteReader reader = MakeReader(bytes.data() + 6, bytes.size() - 6);
    ASSERT_EQ(1, ReadU16(reader));
    FontDefinition font = ReadFont(reader, 48);
    EXPECT_FALSE(reader.failed);
    ASSERT_EQ(3u, font.glyphs.size());
    EXPECT_EQ((std::vector<uint16_t>{'A', 'b', 'C'}), font.codes);
    EXPECT_EQ((std::vector<double>{600, 600, 600}), font.advances);
    for (const auto& glyph : font.glyphs) EXPECT_FALSE(glyph.empty());
}

TEST(TextTest, TheThirdFontVersionIsTwentyTimesFiner) {
    movies::MovieBuilder movie;
    movie.Font("H");
    std::vector<uint8_t> bytes = movie.Tags();
    ByteReader second = MakeReader(bytes.data() + 8, bytes.size() - 8);
    ByteReader third = second;
    FontDefinition a = ReadFont(second, 48);
    FontDefinition b = ReadFont(third, 75);
    ASSERT_EQ(1u, a.glyphs.size());
    ASSERT_EQ(a.glyphs[0].size(), b.glyphs[0].size());
    EXPECT_NEAR(a.glyphs[0][1].to.x / 20, b.glyphs[0][1].to.x, 1e-9);
    EXPECT_NEAR(a.advances[0] / 20, b.advances[0], 1e-9);
}

TEST(TextTest, TheFirstFontVersionReadsTheSameGlyphs) {
    movies::MovieBuilder movie;
    movie.Font("H");
    std::vector<uint8_t> tags = movie.Tags();
    // DefineFont2 body after the long tag header: id, flags, language, name
    // "Block", count, one 32-bit offset and the code table offset.
    const uint8_t* body = tags.data() + 6;
    const size_t table = 12;
    auto u32 = [&](size_t at) {
        return body[at] | body[at + 1] << 8 | body[at + 2] << 16 | uint32_t(body[at + 3]) << 24;
    };
    std::vector<uint8_t> first{2, 0};  // one offset: the glyph follows the table
    first.insert(first.end(), body + table + u32(table), body + table + u32(table + 4));
    ByteReader a = MakeReader(first.data(), first.size());
    ByteReader b = MakeReader(body + 2, tags.size() - 8);
    FontDefinition old = ReadFont(a, 10), second = ReadFont(b, 48);
    ASSERT_EQ(1u, old.glyphs.size());
    ASSERT_EQ(second.glyphs[0].size(), old.glyphs[0].size());
    for (size_t i = 0; i < old.glyphs[0].size(); ++i) {
        EXPECT_EQ(second.glyphs[0][i].to.x, old.glyphs[0][i].to.x);
        EXPECT_EQ(second.glyphs[0][i].to.y, old.glyphs[0][i].to.y);
    }
    EXPECT_TRUE(old.advances.empty());
}

struct FontInfoCase {
    int tagCode;
    std::vector<uint8_t> body;  // after the font id
    std::vector<uint16_t> codes;
};

TEST(TextTest, FontInfoGivesTheGlyphsTheirCodes) {
    const FontInfoCase cases[] = {
        {13, {1, 'F', 0x00, 'x', 'y'}, {'x', 'y'}},                // narrow codes
        {13, {0, 0x01, 0x41, 0x04, 0x42, 0x00}, {0x441, 0x42}},    // wide codes
        {62, {0, 0x00, 1, 0x41, 0x00, 0x42, 0x00}, {0x41, 0x42}},  // always wide, a language
        {13, {0, 0x00, 'x'}, {'x'}},                               // cut short
    };
    for (const FontInfoCase& c : cases) {
        SCOPED_TRACE(c.tagCode);
        FontDefinition font;
        font.glyphs.resize(2);
        ByteReader reader = MakeReader(c.body.data(), c.body.size());
        ReadFontInfo(reader, c.tagCode, font);
        EXPECT_EQ(c.codes, font.codes);
    }
}

struct BrokenCase {
    const char* name;
    std::vector<uint8_t> body;  // after the font id
};

TEST(TextTest, DamagedFontsReadWithinTheirBytes) {
    const BrokenCase cases[] = {
        {"empty", {}},
        {"many glyphs, no offsets", {0x00, 0, 0, 0xFF, 0xFF}},
        {"offsets past the end", {0x08, 0, 0, 1, 0, 0xFF, 0xFF, 0xFF, 0x7F, 0, 0, 0, 0}},
        {"code table before the glyphs", {0x80, 0, 0, 1, 0, 4, 0, 0, 0, 0x10, 0x20}},
        {"offsets going back",
         {0x00, 0, 0, 4, 0, 10, 0, 2, 0, 10, 0, 2, 0, 12, 0, 0x15, 0x00, 0x30, 0x00, 0x00}},
    };
    for (const BrokenCase& c : cases) {
        SCOPED_TRACE(c.name);
        for (int code : {10, 48, 75}) {
            ByteReader reader = MakeReader(c.body.data(), c.body.size());
            FontDefinition font = ReadFont(reader, code);
            EXPECT_LE(font.glyphs.size(), 0xFFFFu);
            size_t segments = 0;
            for (const auto& glyph : font.glyphs) segments += glyph.size();
            EXPECT_LE(segments, c.body.size());  // no byte read twice
        }
    }
}

TEST(TextTest, GlyphOffsetsThatGoBackReadAsEmptyGlyphs) {
    movies::MovieBuilder movie;
    movie.Font("HHH");
    std::vector<uint8_t> tags = movie.Tags();
    std::vector<uint8_t> body(tags.begin() + 8, tags.end());
    // The third glyph's 32-bit offset (at 10 + 8) goes back to the first's:
    // its bytes were read already.
    for (int k = 0; k < 4; ++k) body[18 + k] = body[10 + k];
    ByteReader reader = MakeReader(body.data(), body.size());
    FontDefinition font = ReadFont(reader, 48);
    ASSERT_EQ(3u, font.glyphs.size());
    EXPECT_FALSE(font.glyphs[0].empty());
    EXPECT_TRUE(font.glyphs[1].empty());  // it would end before it starts
    EXPECT_TRUE(font.glyphs[2].empty());
}

TEST(TextTest, TextsWithoutTheirFontDrawNothing) {
    movies::MovieBuilder movie;
    uint16_t font = movie.Font("H");
    uint16_t text = movie.Text(font, "HH", 0, 1000, 400, 0xFF000000);
    std::vector<uint8_t> tags = movie.Tags();
    movies::MovieBuilder other;
    // The text's tag alone, without the font before it.
    size_t fontTag = 2 + 4 + (tags[2] | tags[3] << 8 | tags[4] << 16);
    size_t header = (tags[fontTag] & 0x3F) == 0x3F ? 6 : 2;
    other.RawTag(
        33, std::vector<uint8_t>(tags.begin() + static_cast<long>(fontTag + header), tags.end()));
    other.Place(1, text).ShowFrame();
    PlayerFixture fixture;
    ASSERT_TRUE(fixture.Load(other.Bytes()));
    RecordingSink sink;
    RenderFrame(fixture.get(), Matrix(), sink.sink);
    EXPECT_TRUE(sink.paths.empty());
}

}  // namespace
}  // namespace kelpo::player::testing
