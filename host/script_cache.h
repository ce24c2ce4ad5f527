// The cache of compiled script resources run by the command bridge: 17
// buckets chosen by the name hash of the resource name, names compared
// without case. Entries are never evicted; the cache is freed with the frame.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kelpo {

// Loads the compiled image of a script resource; false when there is none.
using ScriptLoader = bool (*)(void* user, const char* name, std::vector<uint8_t>& image);

class ScriptResourceCache {
public:
    static constexpr size_t kBuckets = 17;

    // The cached image of `name`, loading it on a miss; null when the
    // resource does not exist (misses are not remembered).
    const std::vector<uint8_t>* Find(const std::string& name, ScriptLoader loader, void* user);
    void Clear();
    size_t Size() const;

    static size_t BucketOf(const std::string& name);

private:
    struct Entry {
        std::string name;
        std::vector<uint8_t> image;
    };
    std::vector<std::unique_ptr<Entry>> buckets_[kBuckets];
};

}  // namespace kelpo
