// The text assembler.
#include "compiler/assembler.h"

#include <cstdlib>
#include <map>
#include <sstream>

#include "compiler/image_writer.h"
#include "compiler/opcodes.h"

namespace kelpo {
namespace {

struct Fixup {
    uint32_t end;  // code offset after the jump's operand
    std::string label;
    int sourceLine;
};

std::string Trim(const std::string& s) {
    size_t a = s.find_first_not_of(" \t\r");
    if (a == std::string::npos) return "";
    size_t b = s.find_last_not_of(" \t\r");
    return s.substr(a, b - a + 1);
}

// Strips a trailing comment that is not inside a string literal.
std::string StripComment(const std::string& s) {
    bool quoted = false;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '"' && (i == 0 || s[i - 1] != '\\')) quoted = !quoted;
        if (s[i] == ';' && !quoted) return s.substr(0, i);
    }
    return s;
}

bool ParseInteger(const std::string& s, int64_t* out) {
    if (s.empty()) return false;
    char* end = nullptr;
    long long v = strtoll(s.c_str(), &end, 0);
    if (*end != '\0') return false;
    *out = v;
    return true;
}

bool ParseString(const std::string& s, std::string* out) {
    if (s.size() < 2 || s.front() != '"' || s.back() != '"') return false;
    out->clear();
    for (size_t i = 1; i + 1 < s.size(); ++i) {
        char c = s[i];
        if (c == '\\' && i + 2 < s.size()) {
            char e = s[++i];
            c = e == 'n' ? '\n' : e == 't' ? '\t' : e == 'r' ? '\r' : e == '0' ? '\0' : e;
        }
        out->push_back(c);
    }
    return true;
}

// The pool index of a PUSHCONST literal.
bool PoolLiteral(ImageWriter* w, const std::string& s, uint32_t* index) {
    std::string text;
    int64_t i;
    if (ParseString(s, &text)) {
        *index = PoolString(w, text);
        return true;
    }
    if (s.size() >= 2 && s[0] == '/') {
        size_t close = s.rfind('/');
        if (close == 0) return false;
        uint8_t flags = 0;
        for (char f : s.substr(close + 1)) {
            if (f == 'g')
                flags |= 1;
            else if (f == 'i')
                flags |= 2;
            else if (f == 'm')
                flags |= 4;
            else
                return false;
        }
        *index = PoolRegExp(w, s.substr(1, close - 1), flags);
        return true;
    }
    if (ParseInteger(s, &i)) {
        *index = PoolInteger(w, i);
        return true;
    }
    char* end = nullptr;
    double d = strtod(s.c_str(), &end);
    if (!s.empty() && *end == '\0') {
        *index = PoolFloat(w, d);
        return true;
    }
    return false;
}

}  // namespace

bool AssembleText(const std::string& text, std::vector<uint8_t>* image, std::string* error,
                  bool lineTable, const std::string& sourceName) {
    ImageWriter w;
    BeginImage(&w, lineTable, sourceName);
    std::map<std::string, uint32_t> labels;
    std::vector<Fixup> fixups;
    std::istringstream in(text);
    std::string raw;
    int lineNo = 0;
    uint32_t sourceLine = 0;
    auto fail = [&](const std::string& message) {
        *error = "line " + std::to_string(lineNo) + ": " + message;
        return false;
    };

    while (std::getline(in, raw)) {
        ++lineNo;
        std::string line = Trim(StripComment(raw));
        if (line.empty()) continue;
        if (line.back() == ':') {
            labels[line.substr(0, line.size() - 1)] = CodeOffset(&w);
            continue;
        }
        size_t space = line.find_first_of(" \t");
        std::string word = line.substr(0, space);
        std::string operand = space == std::string::npos ? "" : Trim(line.substr(space));
        if (word == "function") {
            if (operand.empty()) return fail("missing function name");
            BeginUnit(&w, operand);
            continue;
        }
        if (word == ".line") {
            int64_t n;
            if (!ParseInteger(operand, &n)) return fail("bad line number");
            sourceLine = static_cast<uint32_t>(n);
            continue;
        }
        int op = OpcodeByName(word.c_str());
        if (op < 0) return fail("unknown instruction " + word);
        const OpcodeInfo& info = OpcodeInfoOf(op);
        int64_t value = 0;
        switch (info.operand) {
            case OperandKind::None:
                if (!operand.empty()) return fail(word + " takes no operand");
                break;
            case OperandKind::Name:
                if (operand.empty()) return fail(word + " needs a name");
                value = PoolName(&w, operand);
                break;
            case OperandKind::Constant: {
                uint32_t index;
                if (!PoolLiteral(&w, operand, &index)) return fail("bad constant " + operand);
                value = index;
                break;
            }
            case OperandKind::Jump:
                if (operand.empty()) return fail(word + " needs a label");
                fixups.push_back({CodeOffset(&w) + 5, operand, lineNo});
                break;
            default:
                if (!ParseInteger(operand, &value)) return fail(word + " needs a number");
                break;
        }
        WriteInstruction(&w, op, value, sourceLine);
    }
    for (const Fixup& f : fixups) {
        auto target = labels.find(f.label);
        if (target == labels.end()) {
            lineNo = f.sourceLine;
            return fail("unknown label " + f.label);
        }
        PatchJump(&w, f.end, target->second);
    }
    *image = FinishImage(&w);
    return true;
}

}  // namespace kelpo
