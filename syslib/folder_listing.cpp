// Folder listings as script Arrays.
#include "syslib/folder_listing.h"

#include <vector>

#include "platform/ansi.h"
#include "platform/file_system.h"
#include "platform/files.h"
#include "runtime/array.h"
#include "runtime/native_args.h"
#include "runtime/strings.h"
#include "syslib/name_patterns.h"

namespace kelpo {
namespace {

std::u16string Utf16Of(const std::string& ansi) {
    std::u16string text(AnsiToUtf16(ansi.data(), ansi.size(), nullptr, 0), u'\0');
    if (!text.empty()) {
        text.resize(AnsiToUtf16(ansi.data(), ansi.size(), &text[0], text.size()));
    }
    return text;
}

}  // namespace

Value ListFolderPaths(ScriptContext* context, const std::string& folder, bool wantFolders,
                      const Value* patterns) {
    std::vector<std::u16string> wanted;
    const bool filter = !wantFolders && patterns != nullptr && patterns->tag == ValueTag::String;
    if (filter) wanted = SplitPatterns(patterns->string->chars, patterns->string->length);
    std::vector<FolderEntry> entries;
    ListFolderEntries(folder, &entries);
    std::string prefix = folder;
    if (prefix.empty() || !IsPathSeparator(prefix.back())) prefix += kPathSeparator;
    // No collection runs inside a native call, so the Array and its
    // elements need no roots while it is filled.
    Value list = NewArray(context, 0);
    uint64_t count = 0;
    for (const FolderEntry& entry : entries) {
        if (entry.isFolder != wantFolders) continue;
        if (filter && !MatchesAnyPattern(Utf16Of(entry.name), wanted)) continue;
        ArraySet(context, list, AnsiString(context, prefix + entry.name), count++);
    }
    list.array->length = count;  // ArraySet leaves the length to its caller
    return list;
}

}  // namespace kelpo
