// RECT, MATRIX, CXFORM and colour records; see record_reader.h.
#include "player/core/record_reader.h"

namespace kelpo::player {

TwipsRect ReadRect(ByteReader& reader) {
    AlignBits(reader);
    int bits = static_cast<int>(ReadUBits(reader, 5));
    TwipsRect rect;
    rect.xMin = ReadSBits(reader, bits);
    rect.xMax = ReadSBits(reader, bits);
    rect.yMin = ReadSBits(reader, bits);
    rect.yMax = ReadSBits(reader, bits);
    AlignBits(reader);
    return rect;
}

Matrix ReadMatrix(ByteReader& reader) {
    AlignBits(reader);
    Matrix m;
    if (ReadUBits(reader, 1)) {
        int bits = static_cast<int>(ReadUBits(reader, 5));
        m.a = ReadFixedBits(reader, bits);
        m.d = ReadFixedBits(reader, bits);
    }
    if (ReadUBits(reader, 1)) {
        int bits = static_cast<int>(ReadUBits(reader, 5));
        m.b = ReadFixedBits(reader, bits);  // RotateSkew0
        m.c = ReadFixedBits(reader, bits);  // RotateSkew1
    }
    int bits = static_cast<int>(ReadUBits(reader, 5));
    m.tx = ReadSBits(reader, bits);
    m.ty = ReadSBits(reader, bits);
    AlignBits(reader);
    return m;
}

ColorTransform ReadColorTransform(ByteReader& reader, bool withAlpha) {
    AlignBits(reader);
    ColorTransform cx;
    bool hasAdd = ReadUBits(reader, 1) != 0;
    bool hasMult = ReadUBits(reader, 1) != 0;
    int bits = static_cast<int>(ReadUBits(reader, 4));
    int channels = withAlpha ? 4 : 3;
    if (hasMult)
        for (int i = 0; i < channels; ++i)
            cx.mult[i] = static_cast<int16_t>(ReadSBits(reader, bits));
    if (hasAdd)
        for (int i = 0; i < channels; ++i)
            cx.add[i] = static_cast<int16_t>(ReadSBits(reader, bits));
    AlignBits(reader);
    return cx;
}

uint32_t ReadRgb(ByteReader& reader) {
    uint32_t r = ReadU8(reader), g = ReadU8(reader), b = ReadU8(reader);
    return 0xFF000000u | r << 16 | g << 8 | b;
}

uint32_t ReadRgba(ByteReader& reader) {
    uint32_t rgb = ReadRgb(reader) & 0xFFFFFF;
    return static_cast<uint32_t>(ReadU8(reader)) << 24 | rgb;
}

}  // namespace kelpo::player
