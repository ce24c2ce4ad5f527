// Flash movie writing for tests.
#include "tools/movie-writer/movie_file.h"

#include <zlib.h>

#include <algorithm>
#include <stdexcept>

namespace kelpo::movies {

namespace {

void PutU16(std::vector<uint8_t>& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void PutU32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

void PutText(std::vector<uint8_t>& out, const std::string& text) {
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}

// Bits a signed field needs to hold `value`, the sign bit included.
int SignedBits(int32_t value) {
    uint32_t magnitude = static_cast<uint32_t>(value < 0 ? ~value : value);
    int bits = 1;
    while (magnitude != 0) {
        ++bits;
        magnitude >>= 1;
    }
    return bits;
}

class BitWriter {
public:
    void Put(uint32_t value, int bits) {
        for (int i = bits - 1; i >= 0; --i) {
            if (used_ == 0) bytes_.push_back(0);
            if ((value >> i) & 1) bytes_.back() |= static_cast<uint8_t>(0x80 >> used_);
            used_ = (used_ + 1) % 8;
        }
    }
    const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
    int used_ = 0;
};

}  // namespace

std::vector<uint8_t> EncodeRect(int32_t xmin, int32_t xmax, int32_t ymin, int32_t ymax) {
    const int32_t values[4] = {xmin, xmax, ymin, ymax};
    int bits = 1;
    for (int32_t v : values) bits = std::max(bits, SignedBits(v));
    BitWriter writer;
    writer.Put(static_cast<uint32_t>(bits), 5);
    for (int32_t v : values) writer.Put(static_cast<uint32_t>(v), bits);
    return writer.bytes();
}

std::vector<uint8_t> EncodeTag(uint16_t code, const std::vector<uint8_t>& body) {
    std::vector<uint8_t> out;
    if (body.size() < 0x3F) {
        PutU16(out, static_cast<uint16_t>(code << 6 | body.size()));
    } else {
        PutU16(out, static_cast<uint16_t>(code << 6 | 0x3F));
        PutU32(out, static_cast<uint32_t>(body.size()));
    }
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

std::vector<uint8_t> BackgroundColorTag(uint32_t rgb) {
    return EncodeTag(kTagSetBackgroundColor,
                     {static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8),
                      static_cast<uint8_t>(rgb)});
}

std::vector<uint8_t> ShowFrameTag() { return EncodeTag(kTagShowFrame, {}); }

std::vector<uint8_t> FrameLabelTag(const std::string& label) {
    std::vector<uint8_t> body;
    PutText(body, label);
    return EncodeTag(kTagFrameLabel, body);
}

std::vector<uint8_t> DoActionTag(const std::vector<uint8_t>& actions) {
    return EncodeTag(kTagDoAction, actions);
}

std::vector<uint8_t> FsCommandActions(const std::string& command, const std::string& arguments) {
    std::vector<uint8_t> record;
    PutText(record, "FSCommand:" + command);
    PutText(record, arguments);
    if (record.size() > 0xFFFF) throw std::length_error("fscommand too long");
    std::vector<uint8_t> actions{kActionGetUrl};
    PutU16(actions, static_cast<uint16_t>(record.size()));
    actions.insert(actions.end(), record.begin(), record.end());
    actions.push_back(kActionEnd);
    return actions;
}

std::vector<uint8_t> WriteMovie(const MovieHeader& header, const std::vector<uint8_t>& tags) {
    std::vector<uint8_t> body = EncodeRect(0, header.widthTwips, 0, header.heightTwips);
    PutU16(body, header.frameRate);
    PutU16(body, header.frameCount);
    body.insert(body.end(), tags.begin(), tags.end());
    std::vector<uint8_t> end = EncodeTag(kTagEnd, {});
    body.insert(body.end(), end.begin(), end.end());

    std::vector<uint8_t> file{static_cast<uint8_t>(header.compressed ? 'C' : 'F'), 'W', 'S',
                              header.version};
    PutU32(file, static_cast<uint32_t>(8 + body.size()));
    if (!header.compressed) {
        file.insert(file.end(), body.begin(), body.end());
        return file;
    }
    uLongf packedSize = compressBound(static_cast<uLong>(body.size()));
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, body.data(), static_cast<uLong>(body.size()),
                  Z_BEST_COMPRESSION) != Z_OK)
        throw std::runtime_error("zlib compression failed");
    file.insert(file.end(), packed.begin(), packed.begin() + static_cast<long>(packedSize));
    return file;
}

std::vector<uint8_t> WriteFramedMovie(const FramedMovie& movie) {
    std::vector<uint8_t> tags;
    auto append = [&tags](const std::vector<uint8_t>& tag) {
        tags.insert(tags.end(), tag.begin(), tag.end());
    };
    if (movie.hasBackground) append(BackgroundColorTag(movie.background));
    append(movie.extraTags);
    for (int frame = 1; frame <= movie.header.frameCount; ++frame) {
        auto label = movie.labels.find(frame);
        if (label != movie.labels.end()) append(FrameLabelTag(label->second));
        auto blocks = movie.actions.equal_range(frame);
        for (auto it = blocks.first; it != blocks.second; ++it) append(DoActionTag(it->second));
        auto range = movie.fsCommands.equal_range(frame);
        for (auto it = range.first; it != range.second; ++it)
            append(DoActionTag(FsCommandActions(it->second.first, it->second.second)));
        append(ShowFrameTag());
    }
    return WriteMovie(movie.header, tags);
}

}  // namespace kelpo::movies
