// Header, decompression and the tag loop; shapes and buttons have their own
// readers. Tags are read only while they lie wholly inside the file.
#include "player/core/movie_reader.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "player/core/bit_reader.h"
#include "player/core/button_reader.h"
#include "player/core/record_reader.h"
#include "player/core/shape_reader.h"
#include "player/core/text_reader.h"

namespace kelpo::player {

namespace {

enum TagCode : uint16_t {
    kEnd = 0,
    kShowFrame = 1,
    kDefineShape = 2,
    kPlaceObject = 4,
    kRemoveObject = 5,
    kDefineButton = 7,
    kSetBackgroundColor = 9,
    kDefineFont = 10,
    kDefineText = 11,
    kDoAction = 12,
    kDefineFontInfo = 13,
    kDefineShape2 = 22,
    kPlaceObject2 = 26,
    kRemoveObject2 = 28,
    kDefineShape3 = 32,
    kDefineText2 = 33,
    kDefineButton2 = 34,
    kDefineSprite = 39,
    kFrameLabel = 43,
    kDefineMorphShape = 46,
    kDefineFont2 = 48,
    kDoInitAction = 59,
    kDefineFontInfo2 = 62,
    kPlaceObject3 = 70,
    kDefineFont3 = 75,
    kDefineShape4 = 83,
    kDefineMorphShape2 = 84,
};

// The uncompressed file: the 8 header bytes followed by the inflated body,
// as far as zlib could inflate it.
std::vector<uint8_t> Inflate(const uint8_t* bytes, size_t length, uint32_t declared) {
    size_t limit = std::min<size_t>(std::max<uint32_t>(declared, 8), kMaxMovieBytes);
    std::vector<uint8_t> out(bytes, bytes + 8);
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) return out;
    stream.next_in = const_cast<Bytef*>(bytes + 8);
    stream.avail_in = static_cast<uInt>(std::min<size_t>(length - 8, UINT32_MAX));
    uint8_t chunk[16384];
    while (out.size() < limit) {
        stream.next_out = chunk;
        stream.avail_out = static_cast<uInt>(std::min(sizeof chunk, limit - out.size()));
        int status = inflate(&stream, Z_NO_FLUSH);
        size_t produced = static_cast<size_t>(stream.next_out - chunk);
        out.insert(out.end(), chunk, chunk + produced);
        if (status != Z_OK || produced == 0) break;
    }
    inflateEnd(&stream);
    return out;
}

PlaceOperation ReadPlaceObject(ByteReader& reader, size_t end) {
    PlaceOperation place;
    place.hasCharacter = true;
    place.character = ReadU16(reader);
    place.depth = ReadU16(reader);
    place.hasMatrix = true;
    place.matrix = ReadMatrix(reader);
    if (reader.position < end) {
        place.hasColor = true;
        place.color = ReadColorTransform(reader, false);
    }
    return place;
}

PlaceOperation ReadPlaceObject2(ByteReader& reader, bool third) {
    PlaceOperation place;
    uint8_t flags = ReadU8(reader);
    uint8_t flags2 = third ? ReadU8(reader) : 0;
    place.depth = ReadU16(reader);
    if (third && ((flags2 & 0x08) || ((flags2 & 0x10) && (flags & 0x02))))
        ReadString(reader);  // class name
    place.move = (flags & 0x01) != 0;
    if (flags & 0x02) {
        place.hasCharacter = true;
        place.character = ReadU16(reader);
    }
    if (flags & 0x04) {
        place.hasMatrix = true;
        place.matrix = ReadMatrix(reader);
    }
    if (flags & 0x08) {
        place.hasColor = true;
        place.color = ReadColorTransform(reader, true);
    }
    if (flags & 0x10) {
        place.hasRatio = true;
        place.ratio = ReadU16(reader);
    }
    if (flags & 0x20) {
        place.hasName = true;
        place.name = ReadString(reader);
    }
    // Clip depth and clip actions are not used by this player.
    return place;
}

struct TagLoop {
    MovieDefinition& movie;
    const MovieBytes& bytes;
};

void ReadTimeline(TagLoop& loop, ByteReader& reader, TimelineDefinition& timeline, bool isSprite,
                  int nesting);

// Reads one tag body into `timeline` (or the dictionary). False at End.
bool ReadTag(TagLoop& loop, uint16_t code, ByteReader& body, size_t bodyOffset,
             TimelineDefinition& timeline, FrameDefinition& frame, bool isSprite, int nesting) {
    MovieDefinition& movie = loop.movie;
    switch (code) {
        case kEnd: return false;
        case kShowFrame:
            timeline.frames.push_back(std::move(frame));
            frame = FrameDefinition();
            if (!isSprite) ++movie.framesLoaded;
            break;
        case kSetBackgroundColor:
            if (!isSprite) movie.info.background = ReadRgb(body) & 0xFFFFFF;
            break;
        case kFrameLabel: frame.label = ReadString(body); break;
        case kDoAction:
            frame.actions.push_back(ActionBlock{loop.bytes, bodyOffset, body.length});
            break;
        case kDoInitAction:
            ReadU16(body);
            if (!body.failed)
                frame.initActions.push_back(
                    ActionBlock{loop.bytes, bodyOffset + 2, body.length - 2});
            break;
        case kPlaceObject:
        case kPlaceObject2:
        case kPlaceObject3: {
            DisplayOperation op;
            op.place = code == kPlaceObject ? ReadPlaceObject(body, body.length)
                                            : ReadPlaceObject2(body, code == kPlaceObject3);
            // A record cut short still places what it named before the cut.
            if (body.position >= 4 || !body.failed) frame.operations.push_back(op);
            break;
        }
        case kRemoveObject:
        case kRemoveObject2: {
            DisplayOperation op;
            op.remove = true;
            if (code == kRemoveObject) ReadU16(body);
            op.place.depth = ReadU16(body);
            if (!body.failed) frame.operations.push_back(op);
            break;
        }
        case kDefineShape:
        case kDefineShape2:
        case kDefineShape3:
        case kDefineShape4: {
            uint16_t id = ReadU16(body);
            Character character;
            character.kind = CharacterKind::Shape;
            character.shape = std::make_shared<ShapeDefinition>(ReadShape(body, code));
            movie.characters[id] = std::move(character);
            break;
        }
        case kDefineMorphShape:
        case kDefineMorphShape2: {
            uint16_t id = ReadU16(body);
            Character character;
            character.kind = CharacterKind::Morph;
            character.morph = std::make_shared<MorphDefinition>(ReadMorphShape(body, code));
            movie.characters[id] = std::move(character);
            break;
        }
        case kDefineFont:
        case kDefineFont2:
        case kDefineFont3: {
            uint16_t id = ReadU16(body);
            movie.fonts[id] = std::make_shared<FontDefinition>(ReadFont(body, code));
            break;
        }
        case kDefineFontInfo:
        case kDefineFontInfo2: {
            auto found = movie.fonts.find(ReadU16(body));
            if (found != movie.fonts.end()) ReadFontInfo(body, code, *found->second);
            break;
        }
        case kDefineText:
        case kDefineText2: {
            uint16_t id = ReadU16(body);
            Character character;
            character.kind = CharacterKind::Shape;
            character.shape = std::make_shared<ShapeDefinition>(ReadText(body, code, movie));
            movie.characters[id] = std::move(character);
            break;
        }
        case kDefineButton:
        case kDefineButton2: {
            uint16_t id = ReadU16(body);
            Character character;
            character.kind = CharacterKind::Button;
            character.button =
                std::make_shared<ButtonDefinition>(ReadButton(body, code, loop.bytes, bodyOffset));
            movie.characters[id] = std::move(character);
            break;
        }
        case kDefineSprite: {
            // Sprites hold control tags only; a sprite inside a sprite is ignored.
            if (isSprite || nesting > 0) break;
            uint16_t id = ReadU16(body);
            auto sprite = std::make_shared<TimelineDefinition>();
            int declared = ReadU16(body);
            ReadTimeline(loop, body, *sprite, true, nesting + 1);
            sprite->frameCount =
                std::max<int>({1, declared, static_cast<int>(sprite->frames.size())});
            Character character;
            character.kind = CharacterKind::Sprite;
            character.sprite = std::move(sprite);
            movie.characters[id] = std::move(character);
            break;
        }
        default: break;  // tags this player does not use
    }
    return true;
}

void ReadTimeline(TagLoop& loop, ByteReader& reader, TimelineDefinition& timeline, bool isSprite,
                  int nesting) {
    FrameDefinition frame;
    size_t base = static_cast<size_t>(reader.bytes - loop.bytes->data());
    bool ended = false;
    while (Remaining(reader) >= 2) {
        uint16_t header = ReadU16(reader);
        uint16_t code = header >> 6;
        size_t length = header & 0x3F;
        if (length == 0x3F) {
            if (Remaining(reader) < 4) break;
            length = ReadU32(reader);
        }
        if (length > Remaining(reader)) break;  // a cut tag ends the reading
        ByteReader body = MakeReader(reader.bytes + reader.position, length);
        size_t bodyOffset = base + reader.position;
        reader.position += length;
        if (!ReadTag(loop, code, body, bodyOffset, timeline, frame, isSprite, nesting)) {
            ended = true;
            break;
        }
    }
    // What a damaged file defined for its last, unfinished frame still counts.
    bool hasContent =
        !frame.operations.empty() || !frame.actions.empty() || !frame.initActions.empty();
    if (!ended && hasContent) {
        timeline.frames.push_back(std::move(frame));
        if (!isSprite) ++loop.movie.framesLoaded;
    }
    if (!isSprite) loop.movie.complete = ended;
}

bool ReadHeaderFields(const uint8_t* bytes, size_t length, MovieInfo& info, size_t& headerEnd) {
    if (length < 8) return false;
    bool compressed = bytes[0] == 'C';
    if ((bytes[0] != 'F' && !compressed) || bytes[1] != 'W' || bytes[2] != 'S') return false;
    info.compressed = compressed;
    info.version = bytes[3];
    info.fileLength =
        bytes[4] | bytes[5] << 8 | bytes[6] << 16 | static_cast<uint32_t>(bytes[7]) << 24;
    ByteReader reader = MakeReader(bytes, length);
    reader.position = 8;
    TwipsRect rect = ReadRect(reader);
    info.xMin = rect.xMin;
    info.xMax = rect.xMax;
    info.yMin = rect.yMin;
    info.yMax = rect.yMax;
    uint16_t rate = ReadU16(reader);
    info.frameRate = rate / 256.0;
    info.frameCount = ReadU16(reader);
    headerEnd = reader.position;
    return true;
}

}  // namespace

bool ReadMovieInfo(const uint8_t* bytes, size_t length, MovieInfo& info) {
    if (!bytes || length < 8) return false;
    MovieInfo read;
    size_t headerEnd = 0;
    if (bytes[0] == 'C') {
        if (!ReadHeaderFields(bytes, 8, read, headerEnd)) return false;
        // Only the first bytes of the body are needed for the header fields.
        std::vector<uint8_t> head = Inflate(bytes, length, 8 + 64);
        if (!ReadHeaderFields(head.data(), head.size(), read, headerEnd)) return false;
    } else if (!ReadHeaderFields(bytes, length, read, headerEnd)) {
        return false;
    }
    info = read;
    return true;
}

std::shared_ptr<MovieDefinition> ReadMovie(const uint8_t* bytes, size_t length) {
    MovieInfo probe;
    size_t headerEnd = 0;
    if (!bytes || !ReadHeaderFields(bytes, std::min<size_t>(length, 8), probe, headerEnd))
        return nullptr;
    auto file = std::make_shared<std::vector<uint8_t>>();
    if (probe.compressed)
        *file = Inflate(bytes, length, probe.fileLength);
    else
        file->assign(bytes, bytes + std::min<size_t>(length, kMaxMovieBytes));

    auto movie = std::make_shared<MovieDefinition>();
    if (!ReadHeaderFields(file->data(), file->size(), movie->info, headerEnd)) return nullptr;
    movie->info.fileLength = probe.fileLength;
    movie->bytes = file;
    TagLoop loop{*movie, movie->bytes};
    if (headerEnd <= file->size()) {
        ByteReader reader = MakeReader(file->data() + headerEnd, file->size() - headerEnd);
        ReadTimeline(loop, reader, movie->root, false, 0);
    }
    movie->root.frameCount =
        std::max<int>({1, movie->info.frameCount, static_cast<int>(movie->root.frames.size())});
    return movie;
}

}  // namespace kelpo::player
