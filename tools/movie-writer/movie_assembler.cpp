// The symbolic movie assembler for the player's tests; see movie_assembler.h.
#include "tools/movie-writer/movie_assembler.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <map>
#include <stdexcept>

#include "tools/movie-writer/block_font.h"

namespace kelpo::movies {

namespace {

void PutU8(std::vector<uint8_t>& out, uint32_t v) { out.push_back(static_cast<uint8_t>(v)); }

void PutU16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    PutU16(out, v & 0xFFFF);
    PutU16(out, v >> 16);
}

void PutText(std::vector<uint8_t>& out, const std::string& text) {
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}

void Append(std::vector<uint8_t>& out, const std::vector<uint8_t>& more) {
    out.insert(out.end(), more.begin(), more.end());
}

class Bits {
public:
    void Put(uint32_t value, int count) {
        for (int i = count - 1; i >= 0; --i) {
            if (used_ == 0) bytes_.push_back(0);
            if ((value >> i) & 1) bytes_.back() |= static_cast<uint8_t>(0x80 >> used_);
            used_ = (used_ + 1) % 8;
        }
    }
    void PutSigned(int32_t value, int count) { Put(static_cast<uint32_t>(value), count); }
    std::vector<uint8_t> Take() {
        used_ = 0;
        return std::move(bytes_);
    }

private:
    std::vector<uint8_t> bytes_;
    int used_ = 0;
};

int SignedBits(int32_t value) {
    uint32_t magnitude = static_cast<uint32_t>(value < 0 ? ~value : value);
    int bits = 1;
    while (magnitude) {
        ++bits;
        magnitude >>= 1;
    }
    return bits;
}

int BitsFor(std::initializer_list<int32_t> values) {
    int bits = 1;
    for (int32_t v : values) bits = std::max(bits, SignedBits(v));
    return bits;
}

int32_t Fixed(double v) { return static_cast<int32_t>(std::lround(v * 65536)); }

// ---- Action text -------------------------------------------------------------

struct Opcode {
    const char* name;
    uint8_t code;
};

// Actions without operands.
const Opcode kSimpleActions[] = {
    {"end", 0x00},
    {"nextFrame", 0x04},
    {"prevFrame", 0x05},
    {"play", 0x06},
    {"stop", 0x07},
    {"toggleQuality", 0x08},
    {"stopSounds", 0x09},
    {"add", 0x0A},
    {"subtract", 0x0B},
    {"multiply", 0x0C},
    {"divide", 0x0D},
    {"equals", 0x0E},
    {"less", 0x0F},
    {"and", 0x10},
    {"or", 0x11},
    {"not", 0x12},
    {"stringEquals", 0x13},
    {"stringLength", 0x14},
    {"stringExtract", 0x15},
    {"pop", 0x17},
    {"toInteger", 0x18},
    {"getVariable", 0x1C},
    {"setVariable", 0x1D},
    {"setTarget2", 0x20},
    {"stringAdd", 0x21},
    {"getProperty", 0x22},
    {"setProperty", 0x23},
    {"cloneSprite", 0x24},
    {"removeSprite", 0x25},
    {"trace", 0x26},
    {"startDrag", 0x27},
    {"endDrag", 0x28},
    {"stringLess", 0x29},
    {"throw", 0x2A},
    {"castOp", 0x2B},
    {"implementsOp", 0x2C},
    {"randomNumber", 0x30},
    {"mbStringLength", 0x31},
    {"charToAscii", 0x32},
    {"asciiToChar", 0x33},
    {"getTime", 0x34},
    {"mbStringExtract", 0x35},
    {"mbCharToAscii", 0x36},
    {"mbAsciiToChar", 0x37},
    {"delete", 0x3A},
    {"delete2", 0x3B},
    {"defineLocal", 0x3C},
    {"callFunction", 0x3D},
    {"return", 0x3E},
    {"modulo", 0x3F},
    {"newObject", 0x40},
    {"defineLocal2", 0x41},
    {"initArray", 0x42},
    {"initObject", 0x43},
    {"typeOf", 0x44},
    {"targetPath", 0x45},
    {"enumerate", 0x46},
    {"add2", 0x47},
    {"less2", 0x48},
    {"equals2", 0x49},
    {"toNumber", 0x4A},
    {"toString", 0x4B},
    {"pushDuplicate", 0x4C},
    {"stackSwap", 0x4D},
    {"getMember", 0x4E},
    {"setMember", 0x4F},
    {"increment", 0x50},
    {"decrement", 0x51},
    {"callMethod", 0x52},
    {"newMethod", 0x53},
    {"instanceOf", 0x54},
    {"enumerate2", 0x55},
    {"bitAnd", 0x60},
    {"bitOr", 0x61},
    {"bitXor", 0x62},
    {"bitLShift", 0x63},
    {"bitRShift", 0x64},
    {"bitURShift", 0x65},
    {"strictEquals", 0x66},
    {"greater", 0x67},
    {"stringGreater", 0x68},
    {"extends", 0x69},
    {"call", 0x9E},
};

std::string Trim(const std::string& s) {
    size_t a = 0, b = s.size();
    while (a < b && std::isspace(static_cast<unsigned char>(s[a]))) ++a;
    while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1]))) --b;
    return s.substr(a, b - a);
}

// Splits on `separators` outside quotes.
std::vector<std::string> SplitOutsideQuotes(const std::string& text, const char* separators) {
    std::vector<std::string> parts;
    std::string current;
    char quote = 0;
    for (char c : text) {
        if (quote) {
            current += c;
            if (c == quote) quote = 0;
        } else if (c == '\'' || c == '"') {
            quote = c;
            current += c;
        } else if (std::strchr(separators, c)) {
            parts.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    parts.push_back(current);
    return parts;
}

bool IsQuoted(const std::string& s) {
    return s.size() >= 2 && (s[0] == '\'' || s[0] == '"') && s.back() == s[0];
}

std::string Unquote(const std::string& s) {
    if (!IsQuoted(s)) throw std::invalid_argument("expected a quoted string: " + s);
    return s.substr(1, s.size() - 2);
}

long Integer(const std::string& s) {
    size_t used = 0;
    long v = std::stol(s, &used, 0);
    if (used != s.size()) throw std::invalid_argument("expected an integer: " + s);
    return v;
}

void PushOperand(std::vector<uint8_t>& out, const std::string& operand) {
    if (IsQuoted(operand)) {
        PutU8(out, 0);
        PutText(out, Unquote(operand));
    } else if (operand == "null") {
        PutU8(out, 2);
    } else if (operand == "undefined") {
        PutU8(out, 3);
    } else if (operand == "true" || operand == "false") {
        PutU8(out, 5);
        PutU8(out, operand == "true");
    } else if (operand.rfind("r:", 0) == 0) {
        PutU8(out, 4);
        PutU8(out, static_cast<uint32_t>(Integer(operand.substr(2))));
    } else if (operand.rfind("c:", 0) == 0) {
        long index = Integer(operand.substr(2));
        PutU8(out, index < 256 ? 8 : 9);
        if (index < 256)
            PutU8(out, static_cast<uint32_t>(index));
        else
            PutU16(out, static_cast<uint32_t>(index));
    } else if (operand.rfind("f:", 0) == 0) {
        float f = std::stof(operand.substr(2));
        uint32_t bits;
        std::memcpy(&bits, &f, sizeof bits);
        PutU8(out, 1);
        PutU32(out, bits);
    } else {
        size_t used = 0;
        double d = std::stod(operand, &used);
        if (used != operand.size()) throw std::invalid_argument("bad push operand: " + operand);
        if (d == std::trunc(d) && std::fabs(d) < 2147483648.0 &&
            operand.find('.') == std::string::npos) {
            PutU8(out, 7);
            PutU32(out, static_cast<uint32_t>(static_cast<int32_t>(d)));
        } else {
            uint64_t bits;
            std::memcpy(&bits, &d, sizeof bits);
            PutU8(out, 6);
            PutU32(out, static_cast<uint32_t>(bits >> 32));
            PutU32(out, static_cast<uint32_t>(bits));
        }
    }
}

struct Instruction {
    std::string name;
    std::vector<std::string> operands;
    size_t offset = 0, size = 0;
};

// Bytes of one instruction; labels resolve against the end of the record.
std::vector<uint8_t> Encode(const Instruction& ins, const std::map<std::string, size_t>& labels,
                            bool sizing) {
    auto label = [&](const std::string& name) -> size_t {
        if (sizing) return 0;
        auto found = labels.find(name);
        if (found == labels.end()) throw std::invalid_argument("unknown label " + name);
        return found->second;
    };
    const std::string& n = ins.name;
    const auto& ops = ins.operands;
    if (n == "raw") {
        std::vector<uint8_t> out;
        for (auto& o : ops) PutU8(out, static_cast<uint32_t>(Integer(o)));
        return out;
    }
    for (const Opcode& simple : kSimpleActions)
        if (n == simple.name) return {simple.code};
    std::vector<uint8_t> body;
    uint8_t code = 0;
    auto relative = [&](const std::string& target, size_t recordSize) {
        long offset = static_cast<long>(label(target)) - static_cast<long>(ins.offset + recordSize);
        return sizing ? 0u
                      : static_cast<uint32_t>(static_cast<uint16_t>(static_cast<int16_t>(offset)));
    };
    if (n == "push") {
        code = 0x96;
        for (auto& o : ops) PushOperand(body, o);
    } else if (n == "gotoFrame") {
        code = 0x81;
        PutU16(body, static_cast<uint32_t>(Integer(ops.at(0))));
    } else if (n == "getURL") {
        code = 0x83;
        PutText(body, Unquote(ops.at(0)));
        PutText(body, ops.size() > 1 ? Unquote(ops[1]) : "");
    } else if (n == "storeRegister") {
        code = 0x87;
        PutU8(body, static_cast<uint32_t>(Integer(ops.at(0))));
    } else if (n == "constantPool") {
        code = 0x88;
        PutU16(body, static_cast<uint32_t>(ops.size()));
        for (auto& o : ops) PutText(body, Unquote(o));
    } else if (n == "waitForFrame") {
        code = 0x8A;
        PutU16(body, static_cast<uint32_t>(Integer(ops.at(0))));
        PutU8(body, static_cast<uint32_t>(Integer(ops.at(1))));
    } else if (n == "setTarget") {
        code = 0x8B;
        PutText(body, Unquote(ops.at(0)));
    } else if (n == "gotoLabel") {
        code = 0x8C;
        PutText(body, Unquote(ops.at(0)));
    } else if (n == "waitForFrame2") {
        code = 0x8D;
        PutU8(body, static_cast<uint32_t>(Integer(ops.at(0))));
    } else if (n == "with") {
        code = 0x94;
        PutU16(body, relative(ops.at(0), 5));
    } else if (n == "jump" || n == "if") {
        code = n == "jump" ? 0x99 : 0x9D;
        PutU16(body, relative(ops.at(0), 5));
    } else if (n == "getURL2") {
        code = 0x9A;
        PutU8(body, static_cast<uint32_t>(Integer(ops.at(0))));
    } else if (n == "gotoFrame2") {
        code = 0x9F;
        uint32_t flags = static_cast<uint32_t>(Integer(ops.at(0)));
        if (ops.size() > 1) flags |= 2;
        PutU8(body, flags);
        if (ops.size() > 1) PutU16(body, static_cast<uint32_t>(Integer(ops[1])));
    } else if (n == "defineFunction" || n == "defineFunction2") {
        bool second = n == "defineFunction2";
        code = second ? 0x8E : 0x9B;
        size_t first = second ? 4 : 2;
        if (ops.size() < first) throw std::invalid_argument(n + ": missing operands");
        PutText(body, Unquote(ops[0]));
        PutU16(body, static_cast<uint32_t>(ops.size() - first));
        if (second) {
            PutU8(body, static_cast<uint32_t>(Integer(ops[1])));
            PutU16(body, static_cast<uint32_t>(Integer(ops[2])));
        }
        for (size_t i = first; i < ops.size(); ++i) {
            std::string param = Unquote(ops[i]);
            if (second) {
                size_t colon = param.find(':');
                PutU8(body, colon == std::string::npos
                                ? 0
                                : static_cast<uint32_t>(Integer(param.substr(0, colon))));
                if (colon != std::string::npos) param = param.substr(colon + 1);
            }
            PutText(body, param);
        }
        size_t recordSize = 3 + body.size() + 2;
        long bodyLength = sizing ? 0
                                 : static_cast<long>(label(ops[second ? 3 : 1])) -
                                       static_cast<long>(ins.offset + recordSize);
        PutU16(body, static_cast<uint32_t>(bodyLength));
    } else {
        throw std::invalid_argument("unknown action " + n);
    }
    std::vector<uint8_t> out{code};
    PutU16(out, static_cast<uint32_t>(body.size()));
    Append(out, body);
    return out;
}

}  // namespace

std::vector<uint8_t> AssembleActions(const std::string& text) {
    std::vector<Instruction> program;
    std::map<std::string, size_t> labels;
    std::vector<std::pair<std::string, size_t>> pendingLabels;  // label, instruction index
    for (std::string line : SplitOutsideQuotes(text, ";\n")) {
        line = Trim(line);
        while (!line.empty()) {
            size_t colon = line.find(':');
            size_t space = line.find_first_of(" \t'\"");
            if (colon != std::string::npos && (space == std::string::npos || colon < space) &&
                line.rfind("r:", 0) != 0) {
                pendingLabels.emplace_back(Trim(line.substr(0, colon)), program.size());
                line = Trim(line.substr(colon + 1));
                continue;
            }
            Instruction ins;
            size_t split = line.find_first_of(" \t");
            ins.name = line.substr(0, split);
            if (split != std::string::npos)
                for (auto& operand : SplitOutsideQuotes(line.substr(split + 1), ","))
                    if (!Trim(operand).empty()) ins.operands.push_back(Trim(operand));
            program.push_back(ins);
            break;
        }
    }
    size_t offset = 0;
    for (auto& ins : program) {
        ins.offset = offset;
        ins.size = Encode(ins, labels, true).size();
        offset += ins.size;
    }
    for (auto& [name, index] : pendingLabels)
        labels[name] = index < program.size() ? program[index].offset : offset;
    std::vector<uint8_t> out;
    for (auto& ins : program) Append(out, Encode(ins, labels, false));
    out.push_back(0x00);
    return out;
}

TestMatrix Translate(int32_t x, int32_t y) {
    TestMatrix m;
    m.translateX = x;
    m.translateY = y;
    return m;
}

std::vector<uint8_t> EncodeMatrix(const TestMatrix& m) {
    Bits bits;
    bool scale = m.scaleX != 1 || m.scaleY != 1;
    bits.Put(scale, 1);
    if (scale) {
        int n = BitsFor({Fixed(m.scaleX), Fixed(m.scaleY)});
        bits.Put(static_cast<uint32_t>(n), 5);
        bits.PutSigned(Fixed(m.scaleX), n);
        bits.PutSigned(Fixed(m.scaleY), n);
    }
    bool rotate = m.rotate0 != 0 || m.rotate1 != 0;
    bits.Put(rotate, 1);
    if (rotate) {
        int n = BitsFor({Fixed(m.rotate0), Fixed(m.rotate1)});
        bits.Put(static_cast<uint32_t>(n), 5);
        bits.PutSigned(Fixed(m.rotate0), n);
        bits.PutSigned(Fixed(m.rotate1), n);
    }
    int n = (m.translateX || m.translateY) ? BitsFor({m.translateX, m.translateY}) : 0;
    bits.Put(static_cast<uint32_t>(n), 5);
    bits.PutSigned(m.translateX, n);
    bits.PutSigned(m.translateY, n);
    return bits.Take();
}

ShapeDrawing RectangleShape(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t fill) {
    ShapeDrawing s;
    s.startX = x0;
    s.startY = y0;
    s.edges = {
        {false, 0, 0, x1, y0}, {false, 0, 0, x1, y1}, {false, 0, 0, x0, y1}, {false, 0, 0, x0, y0}};
    s.fill = fill;
    return s;
}

ShapeDrawing TriangleShape(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                           uint32_t fill) {
    ShapeDrawing s;
    s.startX = x0;
    s.startY = y0;
    s.edges = {{false, 0, 0, x1, y1}, {false, 0, 0, x2, y2}, {false, 0, 0, x0, y0}};
    s.fill = fill;
    return s;
}

// ---- Timelines ------------------------------------------------------------------

TimelineBuilder& TimelineBuilder::Place(int depth, uint16_t character, const std::string& name) {
    Placement placement;
    placement.depth = depth;
    placement.character = character;
    placement.name = name;
    return Place(placement);
}

TimelineBuilder& TimelineBuilder::PlaceAt(int depth, uint16_t character, const TestMatrix& matrix,
                                          const std::string& name) {
    Placement placement;
    placement.depth = depth;
    placement.character = character;
    placement.hasMatrix = true;
    placement.matrix = matrix;
    placement.name = name;
    return Place(placement);
}

TimelineBuilder& TimelineBuilder::Place(const Placement& placement) {
    std::vector<uint8_t> body;
    uint8_t flags = (placement.move ? 0x01 : 0) | (placement.character ? 0x02 : 0) |
                    (placement.hasMatrix ? 0x04 : 0) | (placement.hasRatio ? 0x10 : 0) |
                    (placement.name.empty() ? 0 : 0x20);
    PutU8(body, flags);
    PutU16(body, static_cast<uint32_t>(placement.depth));
    if (placement.character) PutU16(body, placement.character);
    if (placement.hasMatrix) Append(body, EncodeMatrix(placement.matrix));
    if (placement.hasRatio) PutU16(body, placement.ratio);
    if (!placement.name.empty()) PutText(body, placement.name);
    return RawTag(26, body);
}

TimelineBuilder& TimelineBuilder::Move(int depth, const TestMatrix& matrix) {
    Placement placement;
    placement.depth = depth;
    placement.move = true;
    placement.hasMatrix = true;
    placement.matrix = matrix;
    return Place(placement);
}

TimelineBuilder& TimelineBuilder::Remove(int depth) {
    std::vector<uint8_t> body;
    PutU16(body, static_cast<uint32_t>(depth));
    return RawTag(28, body);
}

TimelineBuilder& TimelineBuilder::Label(const std::string& label) {
    Append(tags_, FrameLabelTag(label));
    return *this;
}

TimelineBuilder& TimelineBuilder::Actions(const std::string& text) {
    return ActionBytes(AssembleActions(text));
}

TimelineBuilder& TimelineBuilder::ActionBytes(const std::vector<uint8_t>& actions) {
    Append(tags_, DoActionTag(actions));
    return *this;
}

TimelineBuilder& TimelineBuilder::RawTag(uint16_t code, const std::vector<uint8_t>& body) {
    Append(tags_, EncodeTag(code, body));
    return *this;
}

TimelineBuilder& TimelineBuilder::ShowFrame() {
    Append(tags_, ShowFrameTag());
    ++frames_;
    return *this;
}

// ---- Movies ---------------------------------------------------------------------

MovieBuilder::MovieBuilder(MovieHeader header) : header_(header) {}

MovieBuilder& MovieBuilder::Background(uint32_t rgb) {
    Append(dictionary_, BackgroundColorTag(rgb));
    return *this;
}

namespace {

void PutColor(std::vector<uint8_t>& body, uint32_t c, bool alpha) {
    PutU8(body, c >> 16 & 0xFF);
    PutU8(body, c >> 8 & 0xFF);
    PutU8(body, c & 0xFF);
    if (alpha) PutU8(body, c >> 24);
}

void PutBounds(std::vector<uint8_t>& body, const ShapeDrawing& shape) {
    int32_t xMin = shape.startX, xMax = shape.startX, yMin = shape.startY, yMax = shape.startY;
    for (auto& e : shape.edges) {
        xMin = std::min({xMin, e.x, e.curve ? e.controlX : e.x});
        xMax = std::max({xMax, e.x, e.curve ? e.controlX : e.x});
        yMin = std::min({yMin, e.y, e.curve ? e.controlY : e.y});
        yMax = std::max({yMax, e.y, e.curve ? e.controlY : e.y});
    }
    Append(body, EncodeRect(xMin, xMax, yMin, yMax));
}

// Style change to the start (fill style 1 on the right when `fill`, line
// style 1 when `line`, with 1-bit style indexes), then the edges.
void PutOutline(Bits& bits, const ShapeDrawing& shape, bool fill, bool line) {
    int moveBits = BitsFor({shape.startX, shape.startY});
    bits.Put(0, 1);
    bits.Put(0x01 | (fill ? 0x04 : 0) | (line ? 0x08 : 0), 5);
    bits.Put(static_cast<uint32_t>(moveBits), 5);
    bits.PutSigned(shape.startX, moveBits);
    bits.PutSigned(shape.startY, moveBits);
    if (fill) bits.Put(1, 1);
    if (line) bits.Put(1, 1);
    int32_t x = shape.startX, y = shape.startY;
    for (auto& e : shape.edges) {
        bits.Put(1, 1);  // edge
        if (e.curve) {
            int32_t cdx = e.controlX - x, cdy = e.controlY - y, adx = e.x - e.controlX,
                    ady = e.y - e.controlY;
            int n = std::max(2, BitsFor({cdx, cdy, adx, ady}));
            bits.Put(0, 1);
            bits.Put(static_cast<uint32_t>(n - 2), 4);
            bits.PutSigned(cdx, n);
            bits.PutSigned(cdy, n);
            bits.PutSigned(adx, n);
            bits.PutSigned(ady, n);
        } else {
            int32_t dx = e.x - x, dy = e.y - y;
            int n = std::max(2, BitsFor({dx, dy}));
            bits.Put(1, 1);
            bits.Put(static_cast<uint32_t>(n - 2), 4);
            bits.Put(1, 1);  // general line
            bits.PutSigned(dx, n);
            bits.PutSigned(dy, n);
        }
        x = e.x;
        y = e.y;
    }
}

void PutGradient(std::vector<uint8_t>& body, const ShapeGradient& g) {
    PutU8(body, g.type);
    Append(body, EncodeMatrix(g.matrix));
    PutU8(body, static_cast<uint32_t>(g.spread << 6 | (g.stops.size() & 0x0F)));
    for (auto& [ratio, argb] : g.stops) {
        PutU8(body, ratio);
        PutColor(body, argb, true);
    }
    if (g.type == 0x13) PutU16(body, static_cast<uint32_t>(std::lround(g.focal * 256)) & 0xFFFF);
}

}  // namespace

uint16_t MovieBuilder::Shape(const ShapeDrawing& shape) {
    uint16_t id = nextId_++;
    bool alpha = shape.alpha || shape.shape4 || !shape.gradient.empty();
    std::vector<uint8_t> body;
    PutU16(body, id);
    PutBounds(body, shape);
    if (shape.shape4) {
        PutBounds(body, shape);  // edge bounds
        PutU8(body, 0);
    }
    PutU8(body, shape.filled ? 1 : 0);
    if (shape.filled && !shape.gradient.empty()) {
        PutGradient(body, shape.gradient[0]);
    } else if (shape.filled) {
        PutU8(body, 0x00);
        PutColor(body, shape.fill, alpha);
    }
    PutU8(body, shape.lineWidth ? 1 : 0);
    if (shape.lineWidth) {
        PutU16(body, shape.lineWidth);
        if (shape.shape4) {
            PutU8(body, static_cast<uint32_t>(shape.cap << 6 | shape.join << 4));
            PutU8(body, shape.cap);  // end cap
            if (shape.join == 2) PutU16(body, 3 << 8);
        }
        PutColor(body, shape.lineColor, alpha);
    }
    Bits bits;
    bits.Put(1, 4);  // fill index bits
    bits.Put(1, 4);  // line index bits
    PutOutline(bits, shape, shape.filled, shape.lineWidth != 0);
    bits.Put(0, 6);  // end of shape
    Append(body, bits.Take());
    Append(dictionary_, EncodeTag(shape.shape4 ? 83 : alpha ? 32 : 2, body));
    return id;
}

uint16_t MovieBuilder::MorphShape(const ShapeDrawing& start, const ShapeDrawing& end) {
    uint16_t id = nextId_++;
    std::vector<uint8_t> body;
    PutU16(body, id);
    PutBounds(body, start);
    PutBounds(body, end);
    std::vector<uint8_t> styles;
    PutU8(styles, start.filled ? 1 : 0);
    if (start.filled) {
        PutU8(styles, 0x00);
        PutColor(styles, start.fill, true);
        PutColor(styles, end.fill, true);
    }
    PutU8(styles, start.lineWidth ? 1 : 0);
    if (start.lineWidth) {
        PutU16(styles, start.lineWidth);
        PutU16(styles, end.lineWidth);
        PutColor(styles, start.lineColor, true);
        PutColor(styles, end.lineColor, true);
    }
    Bits bits;
    bits.Put(1, 4);
    bits.Put(1, 4);
    PutOutline(bits, start, start.filled, start.lineWidth != 0);
    bits.Put(0, 6);
    Append(styles, bits.Take());
    // The end edges: bit counts, a move to the start, the edges.
    bits.Put(0, 4);
    bits.Put(0, 4);
    PutOutline(bits, end, false, false);
    bits.Put(0, 6);
    std::vector<uint8_t> endEdges = bits.Take();
    PutU32(body, static_cast<uint32_t>(styles.size()));
    Append(body, styles);
    Append(body, endEdges);
    Append(dictionary_, EncodeTag(46, body));
    return id;
}

namespace {

constexpr int32_t kBlockCell = 100;  // glyph units (1024 per em) per cell
constexpr int32_t kBlockAdvance = (kBlockColumns + 1) * kBlockCell;

bool BlockFilled(const char* const* rows, int row, int column) {
    return rows && row >= 0 && row < kBlockRows && column >= 0 && column < kBlockColumns &&
           rows[row][column] == '#';
}

// The glyph's SHAPE: the boundary between filled and empty cells, each
// edge going clockwise (fill style 1 on its right).
std::vector<uint8_t> BlockGlyphShape(char c) {
    const char* const* rows = BlockGlyph(c);
    Bits bits;
    bits.Put(1, 4);  // fill index bits
    bits.Put(0, 4);  // line index bits
    bool styled = false;
    int32_t penX = INT32_MIN, penY = INT32_MIN;
    for (int r = 0; r < kBlockRows; ++r)
        for (int col = 0; col < kBlockColumns; ++col) {
            if (!BlockFilled(rows, r, col)) continue;
            int32_t x = col * kBlockCell, y = (r - kBlockBaselineRow) * kBlockCell;
            const int32_t d = kBlockCell;
            struct Side {
                bool open;
                int32_t x0, y0, x1, y1;
            } sides[4] = {{!BlockFilled(rows, r - 1, col), x, y, x + d, y},
                          {!BlockFilled(rows, r, col + 1), x + d, y, x + d, y + d},
                          {!BlockFilled(rows, r + 1, col), x + d, y + d, x, y + d},
                          {!BlockFilled(rows, r, col - 1), x, y + d, x, y}};
            for (const Side& side : sides) {
                if (!side.open) continue;
                if (side.x0 != penX || side.y0 != penY) {
                    int n = BitsFor({side.x0, side.y0});
                    bits.Put(0, 1);
                    bits.Put(styled ? 0x01 : 0x05, 5);
                    bits.Put(static_cast<uint32_t>(n), 5);
                    bits.PutSigned(side.x0, n);
                    bits.PutSigned(side.y0, n);
                    if (!styled) bits.Put(1, 1);
                    styled = true;
                }
                int32_t dx = side.x1 - side.x0, dy = side.y1 - side.y0;
                int n = std::max(2, BitsFor({dx, dy}));
                bits.Put(1, 1);  // straight edge
                bits.Put(1, 1);
                bits.Put(static_cast<uint32_t>(n - 2), 4);
                bits.Put(1, 1);
                bits.PutSigned(dx, n);
                bits.PutSigned(dy, n);
                penX = side.x1;
                penY = side.y1;
            }
        }
    bits.Put(0, 6);
    return bits.Take();
}

}  // namespace

uint16_t MovieBuilder::Font(const std::string& characters) {
    uint16_t id = nextId_++;
    std::vector<std::vector<uint8_t>> shapes;
    for (char c : characters) shapes.push_back(BlockGlyphShape(c));
    std::vector<uint8_t> body;
    PutU16(body, id);
    PutU8(body, 0x80 | 0x08);  // layout, 32-bit offsets
    PutU8(body, 0);            // language
    PutU8(body, 5);
    PutText(body, "Block");
    body.pop_back();  // the name is counted, not terminated
    PutU16(body, static_cast<uint32_t>(shapes.size()));
    uint32_t offset = static_cast<uint32_t>(4 * shapes.size() + 4);
    for (auto& shape : shapes) {
        PutU32(body, offset);
        offset += static_cast<uint32_t>(shape.size());
    }
    PutU32(body, offset);  // the code table
    for (auto& shape : shapes) Append(body, shape);
    for (char c : characters) PutU8(body, static_cast<uint8_t>(c));
    PutU16(body, kBlockBaselineRow * kBlockCell);                 // ascent
    PutU16(body, (kBlockRows - kBlockBaselineRow) * kBlockCell);  // descent
    PutU16(body, 0);                                              // leading
    for (size_t i = 0; i < shapes.size(); ++i) PutU16(body, kBlockAdvance);
    for (size_t i = 0; i < shapes.size(); ++i)
        Append(body, EncodeRect(0, kBlockColumns * kBlockCell, -kBlockBaselineRow * kBlockCell,
                                (kBlockRows - kBlockBaselineRow) * kBlockCell));
    PutU16(body, 0);  // no kerning
    Append(dictionary_, EncodeTag(48, body));
    fonts_[id] = characters;
    return id;
}

uint16_t MovieBuilder::Text(uint16_t font, const std::string& text, int32_t x, int32_t y,
                            int32_t height, uint32_t argb) {
    const std::string& characters = fonts_.at(font);
    uint16_t id = nextId_++;
    int32_t advance = static_cast<int32_t>(std::lround(kBlockAdvance * height / 1024.0));
    std::vector<uint8_t> body;
    PutU16(body, id);
    int32_t width = advance * static_cast<int32_t>(text.size());
    Append(body, EncodeRect(x, x + width, y - height, y + height / 4));
    Append(body, EncodeMatrix(TestMatrix()));
    const int glyphBits = 8, advanceBits = BitsFor({advance});
    PutU8(body, glyphBits);
    PutU8(body, static_cast<uint32_t>(advanceBits));
    for (size_t first = 0; first < text.size(); first += 255) {
        std::string run = text.substr(first, 255);
        PutU8(body, 0x80 | 0x08 | 0x04 | 0x02 | 0x01);  // font, colour, y, x
        PutU16(body, font);
        PutColor(body, argb, true);
        PutU16(body, static_cast<uint32_t>(x + advance * static_cast<int32_t>(first)) & 0xFFFF);
        PutU16(body, static_cast<uint32_t>(y) & 0xFFFF);
        PutU16(body, static_cast<uint32_t>(height));
        PutU8(body, static_cast<uint32_t>(run.size()));
        Bits bits;
        for (char c : run) {
            size_t index = characters.find(c);
            if (index == std::string::npos || index > 255)
                throw std::invalid_argument(std::string("no glyph for '") + c + "' in the font");
            bits.Put(static_cast<uint32_t>(index), glyphBits);
            bits.PutSigned(advance, advanceBits);
        }
        Append(body, bits.Take());
    }
    PutU8(body, 0);
    Append(dictionary_, EncodeTag(33, body));
    return id;
}

uint16_t MovieBuilder::Sprite(const TimelineBuilder& sprite, uint16_t id) {
    if (id == 0) id = nextId_++;
    std::vector<uint8_t> body;
    PutU16(body, id);
    PutU16(body, static_cast<uint32_t>(sprite.frames()));
    Append(body, sprite.tags());
    Append(body, EncodeTag(kTagEnd, {}));
    Append(dictionary_, EncodeTag(39, body));
    return id;
}

namespace {

void PutButtonRecords(std::vector<uint8_t>& body, const std::vector<ButtonLayer>& records,
                      bool second) {
    for (auto& r : records) {
        PutU8(body, r.states);
        PutU16(body, r.character);
        PutU16(body, static_cast<uint32_t>(r.depth));
        Append(body, EncodeMatrix(r.matrix));
        if (second) PutU8(body, 0x00);  // colour transform without add or multiply terms
    }
    PutU8(body, 0);
}

}  // namespace

uint16_t MovieBuilder::Button(const std::vector<ButtonLayer>& records,
                              const std::string& releaseActions) {
    uint16_t id = nextId_++;
    std::vector<uint8_t> body;
    PutU16(body, id);
    PutButtonRecords(body, records, false);
    Append(body, AssembleActions(releaseActions));
    Append(dictionary_, EncodeTag(7, body));
    return id;
}

uint16_t MovieBuilder::Button2(const std::vector<ButtonLayer>& records,
                               const std::vector<ButtonHandler>& actions) {
    uint16_t id = nextId_++;
    std::vector<uint8_t> body;
    PutU16(body, id);
    PutU8(body, 0);  // not a menu button
    size_t offsetField = body.size();
    PutU16(body, 0);
    PutButtonRecords(body, records, true);
    if (!actions.empty()) {
        size_t offset = body.size() - offsetField;
        body[offsetField] = static_cast<uint8_t>(offset);
        body[offsetField + 1] = static_cast<uint8_t>(offset >> 8);
    }
    for (size_t i = 0; i < actions.size(); ++i) {
        std::vector<uint8_t> code = AssembleActions(actions[i].actions);
        bool last = i + 1 == actions.size();
        PutU16(body, last ? 0 : static_cast<uint32_t>(4 + code.size()));
        PutU16(body, actions[i].conditions);
        Append(body, code);
    }
    Append(dictionary_, EncodeTag(34, body));
    return id;
}

std::vector<uint8_t> MovieBuilder::Bytes(bool compressed) const {
    MovieHeader header = header_;
    header.compressed = compressed;
    header.frameCount = static_cast<uint16_t>(std::max(1, frames()));
    return WriteMovie(header, Tags());
}

std::vector<uint8_t> MovieBuilder::Tags() const {
    std::vector<uint8_t> tags = dictionary_;
    Append(tags, this->tags());
    return tags;
}

}  // namespace kelpo::movies
