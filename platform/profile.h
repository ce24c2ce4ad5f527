// Private-profile (INI) files: sections of key=value lines, read and written
// one key at a time.
//
// On Windows the system's private-profile functions do the work; elsewhere
// a small reader and writer of the same observable behaviour: section and
// key names compare without case, values are read trimmed of surrounding
// blanks and of one pair of matching quotes, a written key replaces the
// first one of its name in the first section of its name, and new keys and
// sections are appended. Names and values are ANSI text. A relative file
// name is taken relative to the current folder on every platform.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace kelpo {

struct ProfileState;

class ProfileFile {
public:
    explicit ProfileFile(const char* path);
    ~ProfileFile();  // closes (see Close)
    ProfileFile(const ProfileFile&) = delete;
    ProfileFile& operator=(const ProfileFile&) = delete;

    // The value of a key, or `fallback` when the file, section or key is
    // absent.
    std::string Read(const char* section, const char* key, const char* fallback);
    // Every section name in file order; a missing file has none.
    std::vector<std::string> SectionNames();
    // Creates or replaces a key.
    void Write(const char* section, const char* key, const char* value);
    // Makes every write reach the file; false when it could not be written.
    bool Close();

private:
    std::unique_ptr<ProfileState> state_;
};

// Deletes a file; false when it could not be deleted.
bool DeleteProfileFile(const char* path);

}  // namespace kelpo
