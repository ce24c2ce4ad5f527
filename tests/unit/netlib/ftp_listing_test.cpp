// Entries of FTP listings as the Internet library hands them over: names
// are read within their buffer and refused when they lack a terminator or
// hold control characters, sizes keep all 64 bits, file times become time
// values by the calendar rule of Date; a listing splits files from folders
// without the folder's own entries; lookups find the entry a path names.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "corelib/date_calendar.h"
#include "netlib/ftp_listing.h"

namespace kelpo {
namespace {

// 1970-01-01 as a file time.
constexpr uint64_t kEpochFileTime = UINT64_C(116444736000000000);

// A find record over a 260-byte name buffer, as WIN32_FIND_DATAA has it.
struct Record {
    char name[260];
    FtpFindRecord record;

    Record(const std::string& text, uint32_t attributes = 0, uint32_t high = 0, uint32_t low = 0,
           uint64_t time = kEpochFileTime) {
        std::memset(name, 0, sizeof name);
        std::memcpy(name, text.data(), std::min(text.size(), sizeof name));
        record = {attributes, high, low, time, name, sizeof name};
    }
};

struct NameCase {
    std::string name;
    bool readable;
};

TEST(FtpListing, NamesAreReadWithinTheirBufferOrRefused) {
    const NameCase cases[] = {
        {"a.txt", true},
        {std::string(259, 'n'), true},
        {std::string(260, 'n'), false},  // fills the buffer: no terminator
        {"", false},
        {"two\r\nlines", false},
        {"tab\there", false},
        {"bell\x07", false},
        {"del\x7f", false},
        {"caf\xe9 \xff", true},  // ANSI letters of other scripts
        {"sub/inner", true},     // lookups compare such names by their last part
    };
    for (const NameCase& c : cases) {
        Record r(c.name);
        FtpEntry entry;
        ASSERT_EQ(ReadFtpEntry(r.record, &entry), c.readable) << c.name;
        if (c.readable) EXPECT_EQ(entry.name, c.name);
    }
    FtpEntry entry;
    FtpFindRecord none = {0, 0, 0, 0, nullptr, 0};
    EXPECT_FALSE(ReadFtpEntry(none, &entry));
}

TEST(FtpListing, SizeKeepsBothHalvesAndFoldersAreMarked) {
    Record file("big.iso", 0x80, 1, 0x10, kEpochFileTime);
    FtpEntry entry;
    ASSERT_TRUE(ReadFtpEntry(file.record, &entry));
    EXPECT_EQ(entry.size, UINT64_C(0x100000010));
    EXPECT_FALSE(entry.isFolder);
    Record folder("sub", 0x10 | 0x01, 0, 4096);
    ASSERT_TRUE(ReadFtpEntry(folder.record, &entry));
    EXPECT_TRUE(entry.isFolder);
    Record all("x", 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, UINT64_MAX);
    ASSERT_TRUE(ReadFtpEntry(all.record, &entry));
    EXPECT_EQ(entry.size, UINT64_MAX);
    EXPECT_EQ(entry.modified, 0);
}

TEST(FtpListing, FileTimesFollowTheCalendarRule) {
    struct TimeCase {
        uint64_t fileTime;
        double time;
    };
    const double leapDay = ComposeTime(2004, 1, 29, 10, 30, 15, 250);
    const double farYear = ComposeTime(30000, 11, 31, 23, 59, 59, 999);
    const TimeCase cases[] = {
        {kEpochFileTime, 0},
        {kEpochFileTime + 12349999, 1234},  // parts of a millisecond are dropped
        {kEpochFileTime - 10000, -1},
        {0, -11644473600000.0},  // 1601-01-01
        {kEpochFileTime + static_cast<uint64_t>(leapDay) * 10000, leapDay},
        {kEpochFileTime + static_cast<uint64_t>(farYear) * 10000 + 5, farYear},
        {UINT64_C(1) << 63, 0},  // the system converts no such time
        {UINT64_MAX, 0},
    };
    for (const TimeCase& c : cases) {
        EXPECT_EQ(TimeValueOfFileTime(c.fileTime), c.time) << c.fileTime;
    }
    const double last = TimeValueOfFileTime((UINT64_C(1) << 63) - 1);
    EXPECT_TRUE(InTimeRange(last));
    EXPECT_GT(last, farYear);
}

FtpEntry Entry(const std::string& name, bool folder) { return {name, folder, 0, 0}; }

TEST(FtpListing, ListingsSplitFilesFromFoldersWithoutTheFoldersOwnEntries) {
    FtpListing listing;
    const FtpEntry entries[] = {
        Entry(".", true),        Entry("..", true),  Entry("a.txt", false),   Entry("sub", true),
        Entry(".hidden", false), Entry("..", false), Entry("up/../x", false), Entry("c:\\x", true),
        Entry("b.txt", false),   Entry("...", true),
    };
    for (const FtpEntry& entry : entries) EXPECT_TRUE(AddToFtpListing(&listing, entry));
    EXPECT_EQ(listing.files, (std::vector<std::string>{"a.txt", ".hidden", "b.txt"}));
    EXPECT_EQ(listing.folders, (std::vector<std::string>{"sub", "..."}));
}

TEST(FtpListing, AListingEndsAtItsLimit) {
    FtpListing listing;
    listing.files.resize(kMaxFtpListEntries - 2);
    EXPECT_TRUE(AddToFtpListing(&listing, Entry("f", true)));
    EXPECT_TRUE(AddToFtpListing(&listing, Entry("g", false)));
    EXPECT_FALSE(AddToFtpListing(&listing, Entry("h", false)));
    EXPECT_FALSE(AddToFtpListing(&listing, Entry("i", true)));
    EXPECT_EQ(listing.files.size() + listing.folders.size(), kMaxFtpListEntries);
}

TEST(FtpListing, PathsSplitIntoFolderAndName) {
    struct PathCase {
        const char* path;
        const char* folder;
        const char* name;
    };
    const PathCase cases[] = {
        {"a.txt", "", "a.txt"},
        {"sub/b.txt", "sub/", "b.txt"},
        {"/x/y/z", "/x/y/", "z"},
        {"sub/", "", "sub"},
        {"a/b//", "a/", "b"},
        {"/", "", ""},
        {"", "", ""},
        {"win\\dir\\f", "win\\dir\\", "f"},
    };
    for (const PathCase& c : cases) {
        EXPECT_EQ(FtpFolderOfPath(c.path), c.folder) << c.path;
        EXPECT_EQ(FtpNameOfPath(c.path), c.name) << c.path;
    }
}

TEST(FtpListing, LookupsTakeTheEntryThePathNames) {
    struct MatchCase {
        const char* entry;
        const char* path;
        int match;
    };
    const MatchCase cases[] = {
        {"a.txt", "a.txt", 2},
        {"b.txt", "sub/b.txt", 2},
        {"sub/b.txt", "/sub/b.txt", 2},  // servers that echo the path
        {"sub", "sub/", 2},
        {"A.TXT", "a.txt", 1},
        {"inner.txt", "sub", 0},  // the folder's contents, not the folder
        {"x.log", "*.txt", 1},    // the server matched the wildcard
        {"x.log", "dir/?.log", 1},
        {"x", "", 0},
        {"x", "/", 0},
        {"a.txt", "a.txt.bak", 0},
    };
    for (const MatchCase& c : cases) {
        EXPECT_EQ(FtpEntryMatch(c.entry, c.path), c.match) << c.entry << " for " << c.path;
    }
    EXPECT_TRUE(HasFtpWildcard("a/*.txt"));
    EXPECT_FALSE(HasFtpWildcard("a*b/c.txt"));
}

}  // namespace
}  // namespace kelpo
