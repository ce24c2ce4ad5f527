// Splitting an image into its sections, from memory or from a file.
#include <cstdlib>
#include <cstring>

#include "compiler/image.h"

namespace kelpo {
namespace {

constexpr uint32_t kEndOfDescriptors = 0xFFFFFFFFu;
// More descriptors than any writer produces means the bytes are not an image.
constexpr uint32_t kMaxSections = 64;

struct Descriptor {
    uint32_t kind, offset, size;
};

SectionList* NewList(uint32_t count) {
    auto* list = static_cast<SectionList*>(calloc(1, sizeof(SectionList)));
    if (list == nullptr) return nullptr;
    list->sections =
        static_cast<ImageSection*>(calloc(count == 0 ? 1 : count, sizeof(ImageSection)));
    if (list->sections == nullptr) {
        free(list);
        return nullptr;
    }
    return list;
}

}  // namespace

void FreeSectionList(SectionList* list) {
    if (list == nullptr) return;
    for (uint32_t i = 0; i < list->count; ++i) free(list->sections[i].bytes);
    free(list->sections);
    free(list);
}

const ImageSection* FindSection(const SectionList* list, uint32_t kind) {
    for (uint32_t i = 0; i < list->count; ++i) {
        if (list->sections[i].kind == kind) return &list->sections[i];
    }
    return nullptr;
}

SectionList* ReadImage(const uint8_t* bytes, size_t length) {
    if (bytes == nullptr) return nullptr;
    size_t base = 0;
    if (length > 0 && bytes[0] == '#') {
        const void* newline = memchr(bytes, '\n', length);
        if (newline == nullptr) return nullptr;
        base = static_cast<const uint8_t*>(newline) - bytes + 1;
    }
    if (length - base < 8 || memcmp(bytes + base, kImageMagic, 4) != 0) return nullptr;
    const uint8_t* image = bytes + base;
    size_t size = length - base;

    Descriptor descriptors[kMaxSections];
    uint32_t count = 0;
    size_t pos = 4;
    for (;;) {
        if (pos + 4 > size) return nullptr;
        uint32_t kind = ReadU32LE(image + pos);
        if (kind == kEndOfDescriptors) break;
        if (count == kMaxSections || pos + 12 > size) return nullptr;
        Descriptor d{kind & 0xFF, ReadU32LE(image + pos + 4), ReadU32LE(image + pos + 8)};
        if (d.offset > size || d.size > size - d.offset) return nullptr;
        descriptors[count++] = d;
        pos += 12;
    }

    SectionList* list = NewList(count);
    if (list == nullptr) return nullptr;
    for (uint32_t i = 0; i < count; ++i) {
        ImageSection& s = list->sections[i];
        s.kind = descriptors[i].kind;
        s.size = descriptors[i].size;
        s.bytes = static_cast<uint8_t*>(malloc(s.size == 0 ? 1 : s.size));
        if (s.bytes == nullptr) {
            list->count = i;
            FreeSectionList(list);
            return nullptr;
        }
        memcpy(s.bytes, image + descriptors[i].offset, s.size);
        list->count = i + 1;
    }
    return list;
}

SectionList* ReadImageFile(FILE* file) {
    if (file == nullptr) return nullptr;
    int first = fgetc(file);
    if (first == EOF) return nullptr;
    if (first == '#') {
        int c;
        do {
            c = fgetc(file);
        } while (c != EOF && c != '\n');
        if (c == EOF) return nullptr;
    } else {
        ungetc(first, file);
    }
    long base = ftell(file);
    if (base < 0) return nullptr;

    uint8_t word[12];
    if (fread(word, 1, 4, file) != 4 || memcmp(word, kImageMagic, 4) != 0) return nullptr;
    Descriptor descriptors[kMaxSections];
    uint32_t count = 0;
    for (;;) {
        if (fread(word, 1, 4, file) != 4) return nullptr;
        uint32_t kind = ReadU32LE(word);
        if (kind == kEndOfDescriptors) break;
        if (count == kMaxSections || fread(word + 4, 1, 8, file) != 8) return nullptr;
        descriptors[count++] = Descriptor{kind & 0xFF, ReadU32LE(word + 4), ReadU32LE(word + 8)};
    }

    SectionList* list = NewList(count);
    if (list == nullptr) return nullptr;
    for (uint32_t i = 0; i < count; ++i) {
        ImageSection& s = list->sections[i];
        s.kind = descriptors[i].kind;
        s.size = descriptors[i].size;
        // Sections are read in pieces so that a descriptor claiming a huge
        // size fails at the end of the file instead of allocating it all.
        bool ok = fseek(file, base + static_cast<long>(descriptors[i].offset), SEEK_SET) == 0;
        size_t capacity = 0, have = 0;
        uint8_t* buffer = nullptr;
        while (ok && have < s.size) {
            size_t want = s.size - have;
            if (want > 65536) want = 65536;
            if (have + want > capacity) {
                capacity = capacity == 0 ? want : capacity * 2;
                if (capacity < have + want) capacity = have + want;
                if (capacity > s.size) capacity = s.size;
                auto* grown = static_cast<uint8_t*>(realloc(buffer, capacity));
                if (grown == nullptr) {
                    ok = false;
                    break;
                }
                buffer = grown;
            }
            size_t got = fread(buffer + have, 1, want, file);
            have += got;
            if (got < want) ok = false;
        }
        if (ok && buffer == nullptr) buffer = static_cast<uint8_t*>(malloc(1));
        if (!ok || buffer == nullptr) {
            free(buffer);
            list->count = i;
            FreeSectionList(list);
            return nullptr;
        }
        s.bytes = buffer;
        list->count = i + 1;
    }
    return list;
}

}  // namespace kelpo
