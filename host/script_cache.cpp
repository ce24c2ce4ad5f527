// The script resource cache.
#include "host/script_cache.h"

#include "host/safe_names.h"
#include "runtime/atoms.h"

namespace kelpo {

// The name hash of the lower-case name, so every spelling of a name meets
// its entry in one bucket.
size_t ScriptResourceCache::BucketOf(const std::string& name) {
    std::string lower = name;
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return NameHash(lower.data(), lower.size()) % kBuckets;
}

const std::vector<uint8_t>* ScriptResourceCache::Find(const std::string& name, ScriptLoader loader,
                                                      void* user) {
    std::vector<std::unique_ptr<Entry>>& bucket = buckets_[BucketOf(name)];
    for (const auto& entry : bucket)
        if (SameNameIgnoringCase(entry->name, name)) return &entry->image;
    auto entry = std::make_unique<Entry>();
    entry->name = name;
    if (!loader || !loader(user, name.c_str(), entry->image)) return nullptr;
    bucket.push_back(std::move(entry));
    return &bucket.back()->image;
}

void ScriptResourceCache::Clear() {
    for (auto& bucket : buckets_) bucket.clear();
}

size_t ScriptResourceCache::Size() const {
    size_t count = 0;
    for (const auto& bucket : buckets_) count += bucket.size();
    return count;
}

}  // namespace kelpo
