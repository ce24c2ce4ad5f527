// KS1b compiled images: reading, loading into a context and running.
//
// An image is the magic "KS1b", section descriptors {kind, offset, size}
// ending with 0xFFFFFFFF, and the sections: code (kind 0), constant pool (1),
// function table (2) and line table (3). Header words are little-endian,
// numbers inside the sections big-endian. An optional "#" first line is
// skipped by readers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "compiler/compiled_function.h"
#include "runtime/context.h"

namespace kelpo {

constexpr char kImageMagic[4] = {'K', 'S', '1', 'b'};

enum SectionKind : uint8_t {
    kCodeSection = 0,
    kConstantSection = 1,
    kFunctionSection = 2,
    kLineSection = 3,
};

// Constant-pool entry kinds.
enum ConstantKind : uint8_t {
    kConstNull = 1,
    kConstBoolean = 2,
    kConstInteger = 3,
    kConstString = 4,
    kConstFloat = 5,
    kConstName = 10,
    kConstRegExp = 11,
    kConstNaN = 13,
};

// Line-table record kinds.
constexpr uint8_t kLineSourceRecord = 1;
constexpr uint8_t kLineRecord = 2;

struct ImageSection {
    uint32_t kind;  // low byte of the descriptor's kind word
    uint32_t size;
    uint8_t* bytes;  // a copy, owned by the list
};

// The sections of an image, plus the bases of its first run in a context so
// that a host can run it again without appending its constants twice.
struct SectionList {
    uint32_t count;
    ImageSection* sections;
    bool loaded;  // the constants are in the pool
    uint32_t constantBase;
    uint32_t functionBase;
};

// Splits an image into sections; null when the bytes are not an image.
SectionList* ReadImage(const uint8_t* bytes, size_t length);
// The same from an open file (positions relative to the magic).
SectionList* ReadImageFile(FILE* file);
void FreeSectionList(SectionList* list);

// The first section of a kind, or null.
const ImageSection* FindSection(const SectionList* list, uint32_t kind);

// Loads the image into the context and runs its ".main" unit inside an
// error frame: 1 on success (the value of the run in `result`), 0 after a
// runtime error (the message in errorText).
int RunImage(ScriptContext* context, SectionList* list);

// Builds the compiled function of one unit: byte code to word code, names
// to atoms, jumps to word displacements, line records to word positions.
CompiledFunction* LoadUnit(ScriptContext* context, const uint8_t* code, uint32_t length,
                           uint32_t constantBase, const uint8_t* lineTable, uint32_t lineLength,
                           uint32_t unitStart);

// Big-endian helpers shared by the image writer and reader.
inline uint32_t ReadU32BE(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}
inline uint32_t ReadU32LE(const uint8_t* p) {
    return (uint32_t{p[3]} << 24) | (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
}
inline uint64_t ReadU64BE(const uint8_t* p) {
    return (uint64_t{ReadU32BE(p)} << 32) | ReadU32BE(p + 4);
}

}  // namespace kelpo
