// The data-binding tables of FlashPlayer: bound movie variables (dotted
// paths of any depth) with the script value cached for each, and the clip
// paths above them (every proper dotted prefix of a bound name, counted so
// the last name below a prefix takes it away). Names are compared without
// case, in 17 buckets.
#pragma once

#include <string>
#include <vector>

#include "runtime/context.h"

namespace kelpo {

class BindingTable {
public:
    static constexpr size_t kBuckets = 17;

    struct Entry {
        std::u16string name;
        Value value;    // the cached value (bound variables)
        int count = 0;  // names below this path (clip paths)
    };

    Entry* Find(const std::u16string& name);
    // The entry of `name`, added (with `fresh` as value and count 0) when new.
    Entry& Insert(const std::u16string& name, const Value& fresh, bool& added);
    void Remove(const std::u16string& name);
    void Clear();

    template <typename Visit>
    void ForEach(Visit visit) {
        for (auto& bucket : buckets_) {
            for (Entry& entry : bucket) visit(entry);
        }
    }

    static size_t BucketOf(const std::u16string& name);

private:
    std::vector<Entry> buckets_[kBuckets];
};

struct DataBindings {
    BindingTable variables;
    BindingTable clipPaths;
};

// bindData of one name: a name already bound is left alone.
void BindName(DataBindings& bindings, const std::u16string& name);
void UnbindName(DataBindings& bindings, const std::u16string& name);
void UnbindAll(DataBindings& bindings);

// Marks every cached value (the class's mark callback).
void MarkBindings(DataBindings& bindings);

}  // namespace kelpo
