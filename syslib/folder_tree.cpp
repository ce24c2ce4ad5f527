// Walks over whole folder trees: the size of a folder and the copy of one.
//
// Links (junctions, symbolic links) are followed, as a plain listing does.
// Each walk keeps the identities of the folders it is inside, so a link
// back to one of them is a loop: the size counts it once, the copy fails.
// Depth is bounded besides: every level adds at least two bytes to a path
// that may not grow past kMaxPathText.
#include "syslib/folder_listing.h"

#include <algorithm>
#include <vector>

#include "platform/file_system.h"
#include "runtime/native_args.h"
#include "syslib/path_names.h"

namespace kelpo {
namespace {

using Chain = std::vector<PathIdentity>;

bool OnChain(const Chain& chain, const PathIdentity& identity) {
    return std::find(chain.begin(), chain.end(), identity) != chain.end();
}

uint64_t TreeSize(const std::string& folder, Chain* chain) {
    PathIdentity identity;
    const bool known = PathIdentityOf(folder, &identity);
    if (known && OnChain(*chain, identity)) return 0;
    if (known) chain->push_back(identity);
    std::vector<FolderEntry> entries;
    ListFolderEntries(folder, &entries);
    uint64_t total = 0;
    for (const FolderEntry& entry : entries) {
        std::string child;
        if (!entry.isFolder)
            total += entry.size;
        else if (ChildPath(folder, entry.name, &child))
            total += TreeSize(child, chain);
    }
    if (known) chain->pop_back();
    return total;
}

struct CopyWalk {
    PathIdentity destination;  // the top of the copy, never to be copied into itself
    bool destinationKnown;
    Chain chain;
};

bool EnsureFolder(const std::string& path) {
    const uint32_t attributes = PathAttributes(path);
    if (attributes != kNoAttributes && (attributes & kAttributeDirectory)) return true;
    return CreateOneFolder(path);
}

bool CopyTree(const std::string& source, const std::string& destination, CopyWalk* walk) {
    PathIdentity identity;
    const bool known = PathIdentityOf(source, &identity);
    if (known && (OnChain(walk->chain, identity) ||
                  (walk->destinationKnown && identity == walk->destination))) {
        return false;
    }
    if (!EnsureFolder(destination)) return false;
    std::vector<FolderEntry> entries;
    if (!ListFolderEntries(source, &entries)) return true;  // nothing to copy
    if (known) walk->chain.push_back(identity);
    bool ok = true;
    for (const FolderEntry& entry : entries) {
        std::string from, to;
        ok = ChildPath(source, entry.name, &from) && ChildPath(destination, entry.name, &to) &&
             (entry.isFolder ? CopyTree(from, to, walk) : CopyOneFile(from, to, true));
        if (!ok) break;
    }
    if (known) walk->chain.pop_back();
    return ok;
}

}  // namespace

uint64_t FolderTreeSize(const std::string& folder) {
    Chain chain;
    return TreeSize(folder, &chain);
}

bool CopyFolderTree(const std::string& source, const std::string& destination) {
    std::string target;
    if (!NormalPath(destination, &target) || IsSameOrBelow(target, source)) return false;
    if (!EnsureFolder(target)) return false;
    CopyWalk walk;
    walk.destinationKnown = PathIdentityOf(target, &walk.destination);
    return CopyTree(source, target, &walk);
}

}  // namespace kelpo
