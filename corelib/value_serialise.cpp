// Value serialisation into profile sections (see value_serialise.h).
//
// Saving walks objects (slot order, through NamesBySlot) and arrays (bucket
// order) depth first; a section is written only for strings, booleans,
// integers, floats, arrays and objects. Strings are stored URI-encoded, so
// every stored text is plain ASCII. Three guards keep the walk finite and
// the file readable: a container met again inside itself is not written
// again, nesting deeper than kMaxDepth is not written, and neither is a
// name that would break the file's line structure (CR or LF). The
// `__proto__` member is never saved or loaded: it is the link to shared
// members, not data of the object.
//
// Loading walks each section's path from a global variable, creating
// missing members and elements as Undefined, and stores the section's value
// there. A parent's section precedes its members', so members land in the
// fresh container the parent's section created.
#include "corelib/value_serialise.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "corelib/text_buffer.h"
#include "corelib/uri_codec.h"
#include "runtime/array.h"
#include "runtime/atoms.h"
#include "runtime/convert.h"
#include "runtime/member.h"
#include "runtime/object.h"
#include "runtime/strings.h"
#include "runtime/trace.h"

namespace kelpo {
namespace {

constexpr int kMaxDepth = 256;

// ---- Saving ----------------------------------------------------------------

struct SaveWalk {
    ScriptContext* context;
    ProfileFile* file;
    std::vector<const void*> open;  // containers on the current path
};

// Frees a NamesBySlot array, also when a raise passes through.
struct NamesGuard {
    NameIndexNode** names;
    ~NamesGuard() { ContextFree(names); }
};

std::string AnsiOf(ScriptContext* context, const Value& string) {
    char* text = StringToAnsi(context, string);
    std::string copy(text);
    ContextFree(text);
    return copy;
}

// The stored text of a string: its URI encoding. A leading quote is escaped
// when the text also ends with one, as profile readers strip such a pair.
bool StringText(ScriptContext* context, const Value& s, std::string* text) {
    TextBuffer encoded(context);
    if (!UriEncode(s.string->chars, s.string->length, true, &encoded)) return false;
    text->assign(encoded.size(), '\0');
    for (size_t i = 0; i < encoded.size(); ++i) (*text)[i] = static_cast<char>(encoded.data()[i]);
    if (text->size() >= 2 && (*text)[0] == '\'' && text->back() == '\'') text->replace(0, 1, "%27");
    return true;
}

void SaveValue(SaveWalk* walk, const std::string& path, const Value& v, int depth);

void SaveArray(SaveWalk* walk, const std::string& path, ScriptArray* array, int depth) {
    walk->file->Write(path.c_str(), "type", "array");
    if (array->buckets == nullptr) return;
    for (int b = 0; b < kArrayBuckets; ++b) {
        for (ElementNode* node = array->buckets[b]; node != nullptr; node = node->next) {
            SaveValue(walk, path + "." + std::to_string(node->index), *node->box, depth + 1);
        }
    }
}

void SaveObject(SaveWalk* walk, const std::string& path, ScriptObject* object, int depth) {
    walk->file->Write(path.c_str(), "type", "object");
    NamesGuard names{NamesBySlot(walk->context, object)};
    for (uint32_t i = 0; i < object->slotCount; ++i) {
        NameIndexNode* node = names.names[i];
        if (node == nullptr || object->slots[i].atom == kAtomProto) continue;
        SaveValue(walk, path + "." + node->name, object->slots[i].value, depth + 1);
    }
}

void SaveValue(SaveWalk* walk, const std::string& path, const Value& v, int depth) {
    if (depth > kMaxDepth || path.find_first_of("\r\n") != std::string::npos) return;
    ScriptContext* context = walk->context;
    switch (v.tag) {
        case ValueTag::String: {
            std::string text;
            // A text the encoding rejects (a lone surrogate) is not saved.
            if (!StringText(context, v, &text)) return;
            walk->file->Write(path.c_str(), "type", "string");
            walk->file->Write(path.c_str(), "value", text.c_str());
            return;
        }
        case ValueTag::Boolean:
        case ValueTag::Integer:
        case ValueTag::Float: {
            const char* type = v.tag == ValueTag::Boolean   ? "boolean"
                               : v.tag == ValueTag::Integer ? "integer"
                                                            : "float";
            std::string text = AnsiOf(context, ToString(context, v));
            walk->file->Write(path.c_str(), "type", type);
            walk->file->Write(path.c_str(), "value", text.c_str());
            return;
        }
        case ValueTag::Array:
        case ValueTag::Object: {
            const void* container = v.tag == ValueTag::Array ? static_cast<const void*>(v.array)
                                                             : static_cast<const void*>(v.object);
            for (const void* open : walk->open) {
                if (open == container) return;
            }
            walk->open.push_back(container);
            if (v.tag == ValueTag::Array) {
                SaveArray(walk, path, v.array, depth);
            } else {
                SaveObject(walk, path, v.object, depth);
            }
            walk->open.pop_back();
            return;
        }
        default: return;
    }
}

// ---- Loading ---------------------------------------------------------------

// Where a loaded value goes. Globals are kept by atom, not by pointer:
// interning a name may move the global table.
struct Place {
    enum class Kind { Global, Member, Element } kind;
    Atom atom;
    ScriptObject* object;
    Value array;
    uint64_t index;
};

Value ReadPlace(ScriptContext* context, const Place& p) {
    switch (p.kind) {
        case Place::Kind::Global: return context->atomValues[p.atom];
        case Place::Kind::Member: {
            Value* slot = FindOwnProperty(context, p.object, p.atom);
            return slot != nullptr ? *slot : MakeUndefined();
        }
        default: {
            Value* box = ArrayGet(context, p.array, p.index);
            return box != nullptr ? *box : MakeUndefined();
        }
    }
}

void WritePlace(ScriptContext* context, const Place& p, const Value& v) {
    switch (p.kind) {
        case Place::Kind::Global: context->atomValues[p.atom] = v; return;
        case Place::Kind::Member: PutProperty(context, p.object, p.atom, v); return;
        default: ArraySet(context, p.array, v, p.index); return;
    }
}

// An element index: decimal digits only, at most the largest Integer.
bool ParseIndex(const std::string& part, uint64_t* index) {
    if (part.empty() || part.size() > 19) return false;
    uint64_t n = 0;
    for (char c : part) {
        if (c < '0' || c > '9') return false;
        n = n * 10 + static_cast<uint64_t>(c - '0');
    }
    if (n > static_cast<uint64_t>(INT64_MAX)) return false;
    *index = n;
    return true;
}

// Splits at '.' and ' ' (runs of them count as one).
std::vector<std::string> PathParts(const std::string& name) {
    std::vector<std::string> parts;
    size_t at = 0;
    while (at < name.size()) {
        size_t end = name.find_first_of(". ", at);
        if (end == std::string::npos) end = name.size();
        if (end > at) parts.push_back(name.substr(at, end - at));
        at = end + 1;
    }
    return parts;
}

// Walks a section's path; false when it cannot be walked.
bool FindPlace(ScriptContext* context, const std::vector<std::string>& parts, Place* place) {
    if (parts.empty()) return false;
    *place = Place{Place::Kind::Global, InternAtom(context, parts[0].c_str()), nullptr,
                   MakeUndefined(), 0};
    for (size_t k = 1; k < parts.size(); ++k) {
        Value current = ReadPlace(context, *place);
        if (current.tag == ValueTag::Object) {
            Atom atom = InternAtom(context, parts[k].c_str());
            if (atom == kAtomProto) return false;
            if (FindOwnProperty(context, current.object, atom) == nullptr) {
                PutProperty(context, current.object, atom, MakeUndefined());
            }
            *place = Place{Place::Kind::Member, atom, current.object, MakeUndefined(), 0};
        } else if (current.tag == ValueTag::Array) {
            uint64_t index;
            if (!ParseIndex(parts[k], &index)) return false;
            if (ArrayGet(context, current, index) == nullptr) {
                ArraySet(context, current, MakeUndefined(), index);
                if (index >= current.array->length) current.array->length = index + 1;
            }
            *place = Place{Place::Kind::Element, 0, nullptr, current, index};
        } else {
            return false;
        }
    }
    return true;
}

bool SameText(const std::string& a, const char* b) {
    size_t n = strlen(b);
    if (a.size() != n) return false;
    for (size_t i = 0; i < n; ++i) {
        char c = a[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
        if (c != b[i]) return false;
    }
    return true;
}

double FloatOfText(const std::string& text) {
    // The "%g" texts of infinities.
    if (SameText(text, "inf")) return HUGE_VAL;
    if (SameText(text, "-inf")) return -HUGE_VAL;
    std::u16string wide(text.begin(), text.end());
    const char16_t* end = nullptr;
    double value = 0.0;
    return ParseDecimalText(wide.c_str(), &end, &value) ? value : 0.0;
}

Value StringOfText(ScriptContext* context, const std::string& text) {
    if (text.empty()) return NewString(context, nullptr, 0);
    Value stored = NewStringFromAnsi(context, text.data(), text.size());
    TextBuffer decoded(context);
    if (!UriDecode(stored.string->chars, stored.string->length, true, &decoded)) {
        TraceLine("Invalid URI string");
        return MakeUndefined();
    }
    return decoded.ToValue();
}

void LoadSection(ScriptContext* context, ProfileFile* file, const std::string& name) {
    Place place;
    if (!FindPlace(context, PathParts(name), &place)) return;
    const std::string type = file->Read(name.c_str(), "type", "string");
    Value v;
    if (SameText(type, "boolean")) {
        v = MakeBoolean(SameText(file->Read(name.c_str(), "value", "false"), "true"));
    } else if (SameText(type, "integer")) {
        v = MakeInteger(strtoll(file->Read(name.c_str(), "value", "0").c_str(), nullptr, 10));
    } else if (SameText(type, "string")) {
        v = StringOfText(context, file->Read(name.c_str(), "value", ""));
    } else if (SameText(type, "float")) {
        v = MakeFloat(FloatOfText(file->Read(name.c_str(), "value", "0.")));
    } else if (SameText(type, "array")) {
        v = NewArray(context, 0);
        OwnPropertyObject(context, v, true);
    } else if (SameText(type, "object")) {
        v = MakeObject(NewObject(context));
    } else {
        return;
    }
    WritePlace(context, place, v);
}

}  // namespace

void SaveGlobal(ScriptContext* context, ProfileFile* file, const char* name) {
    Atom atom = FindAtom(context, name, strlen(name));
    if (atom < 0 || static_cast<uint32_t>(atom) >= context->atomCount) return;
    SaveWalk walk{context, file, {}};
    const Value value = context->atomValues[atom];
    SaveValue(&walk, name, value, 0);
}

bool LoadSections(ScriptContext* context, ProfileFile* file) {
    std::vector<std::string> names;
    try {
        names = file->SectionNames();
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (const std::string& name : names) LoadSection(context, file, name);
    return true;
}

}  // namespace kelpo
