// Private-profile files outside Windows (see profile.h).
//
// The file is read once, when first needed, into its sections; writes edit
// them in memory and Close writes the whole file back with CR LF line ends,
// as Windows does. Lines that are neither section headers nor keys are kept
// as they are. Each section is found through an index of lower-cased names,
// so saving many values stays linear.
#include "platform/profile.h"

#include <cstdio>
#include <cstring>
#include <unordered_map>

namespace kelpo {

struct ProfileSection {
    std::string header;  // the header line as it stands
    std::string name;
    std::vector<std::string> lines;
};

struct ProfileState {
    std::string path;
    bool loaded = false;
    bool dirty = false;
    std::vector<std::string> preamble;  // lines before the first section
    std::vector<ProfileSection> sections;
    std::unordered_map<std::string, size_t> index;  // first section of each name
};

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string Trim(const std::string& s, size_t from, size_t to) {
    while (from < to && IsBlank(s[from])) ++from;
    while (to > from && IsBlank(s[to - 1])) --to;
    return s.substr(from, to - from);
}

std::string Folded(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    }
    return s;
}

// A section header "[name]" (leading blanks allowed; the name ends at the
// last ']'): true with the name.
bool SectionOf(const std::string& line, std::string* name) {
    size_t start = 0;
    while (start < line.size() && IsBlank(line[start])) ++start;
    if (start >= line.size() || line[start] != '[') return false;
    size_t end = line.rfind(']');
    if (end == std::string::npos || end <= start) return false;
    *name = Trim(line, start + 1, end);
    return true;
}

void AddSection(ProfileState* s, const std::string& header, const std::string& name) {
    s->index.emplace(Folded(name), s->sections.size());
    s->sections.push_back(ProfileSection{header, name, {}});
}

void Load(ProfileState* s) {
    if (s->loaded) return;
    s->loaded = true;
    FILE* f = fopen(s->path.c_str(), "rb");
    if (f == nullptr) return;
    std::string text;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
    fclose(f);
    std::string name;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        size_t stop = end > start && text[end - 1] == '\r' ? end - 1 : end;
        std::string line = text.substr(start, stop - start);
        start = end + 1;
        if (SectionOf(line, &name)) {
            AddSection(s, line, name);
        } else if (s->sections.empty()) {
            s->preamble.push_back(line);
        } else {
            s->sections.back().lines.push_back(line);
        }
    }
}

ProfileSection* FindSection(ProfileState* s, const std::string& name) {
    auto found = s->index.find(Folded(name));
    return found == s->index.end() ? nullptr : &s->sections[found->second];
}

// The line of the first key of that name, or null.
std::string* FindKey(ProfileSection* section, const std::string& key) {
    const std::string folded = Folded(key);
    for (std::string& line : section->lines) {
        size_t eq = line.find('=');
        if (eq != std::string::npos && Folded(Trim(line, 0, eq)) == folded) return &line;
    }
    return nullptr;
}

bool WriteLine(FILE* f, const std::string& line) {
    return fwrite(line.data(), 1, line.size(), f) == line.size() && fwrite("\r\n", 1, 2, f) == 2;
}

}  // namespace

ProfileFile::ProfileFile(const char* path) : state_(new ProfileState) { state_->path = path; }

ProfileFile::~ProfileFile() { Close(); }

std::string ProfileFile::Read(const char* section, const char* key, const char* fallback) {
    ProfileState* s = state_.get();
    Load(s);
    ProfileSection* found = FindSection(s, Trim(section, 0, strlen(section)));
    if (found == nullptr) return fallback;
    const std::string* line = FindKey(found, Trim(key, 0, strlen(key)));
    if (line == nullptr) return fallback;
    std::string value = Trim(*line, line->find('=') + 1, line->size());
    // One pair of matching quotes around the value is removed.
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0]) {
        value = value.substr(1, value.size() - 2);
    }
    return value;
}

std::vector<std::string> ProfileFile::SectionNames() {
    ProfileState* s = state_.get();
    Load(s);
    std::vector<std::string> names;
    names.reserve(s->sections.size());
    for (const ProfileSection& section : s->sections) names.push_back(section.name);
    return names;
}

void ProfileFile::Write(const char* section, const char* key, const char* value) {
    ProfileState* s = state_.get();
    Load(s);
    const std::string sectionName = Trim(section, 0, strlen(section));
    const std::string keyName = Trim(key, 0, strlen(key));
    const std::string entry = keyName + "=" + value;
    ProfileSection* found = FindSection(s, sectionName);
    if (found == nullptr) {
        AddSection(s, "[" + sectionName + "]", sectionName);
        found = &s->sections.back();
    }
    s->dirty = true;
    if (std::string* line = FindKey(found, keyName)) {
        *line = entry;
        return;
    }
    // A new key goes after the section's last non-empty line.
    auto at = found->lines.end();
    while (at != found->lines.begin() && Trim(*(at - 1), 0, (at - 1)->size()).empty()) --at;
    found->lines.insert(at, entry);
}

bool ProfileFile::Close() {
    ProfileState* s = state_.get();
    if (!s->dirty) return true;
    s->dirty = false;
    FILE* f = fopen(s->path.c_str(), "wb");
    if (f == nullptr) return false;
    bool ok = true;
    for (const std::string& line : s->preamble) ok = ok && WriteLine(f, line);
    for (const ProfileSection& section : s->sections) {
        ok = ok && WriteLine(f, section.header);
        for (const std::string& line : section.lines) ok = ok && WriteLine(f, line);
    }
    return fclose(f) == 0 && ok;
}

bool DeleteProfileFile(const char* path) { return remove(path) == 0; }

}  // namespace kelpo
