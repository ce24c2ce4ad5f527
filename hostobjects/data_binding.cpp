#include "hostobjects/data_binding.h"

#include "corelib/unit_case.h"
#include "runtime/gc.h"

namespace kelpo {
namespace {

bool SameName(const std::u16string& a, const std::u16string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (LowerUnit(a[i]) != LowerUnit(b[i])) return false;
    }
    return true;
}

// The proper dotted prefixes of a name: "a.b.c" gives "a" and "a.b".
std::vector<std::u16string> PrefixesOf(const std::u16string& name) {
    std::vector<std::u16string> prefixes;
    for (size_t dot = name.find(u'.'); dot != std::u16string::npos;
         dot = name.find(u'.', dot + 1)) {
        if (dot > 0) prefixes.push_back(name.substr(0, dot));
    }
    return prefixes;
}

}  // namespace

size_t BindingTable::BucketOf(const std::u16string& name) {
    uint32_t h = 0;
    for (char16_t unit : name) h = (h << 5) ^ (h >> 7) ^ (h >> 16) ^ LowerUnit(unit);
    return h % kBuckets;
}

BindingTable::Entry* BindingTable::Find(const std::u16string& name) {
    for (Entry& entry : buckets_[BucketOf(name)]) {
        if (SameName(entry.name, name)) return &entry;
    }
    return nullptr;
}

BindingTable::Entry& BindingTable::Insert(const std::u16string& name, const Value& fresh,
                                          bool& added) {
    added = false;
    if (Entry* entry = Find(name)) return *entry;
    added = true;
    std::vector<Entry>& bucket = buckets_[BucketOf(name)];
    bucket.push_back(Entry{name, fresh, 0});
    return bucket.back();
}

void BindingTable::Remove(const std::u16string& name) {
    std::vector<Entry>& bucket = buckets_[BucketOf(name)];
    for (auto it = bucket.begin(); it != bucket.end(); ++it) {
        if (SameName(it->name, name)) {
            bucket.erase(it);
            return;
        }
    }
}

void BindingTable::Clear() {
    for (auto& bucket : buckets_) bucket.clear();
}

void BindName(DataBindings& bindings, const std::u16string& name) {
    if (name.empty()) return;
    bool added = false;
    bindings.variables.Insert(name, MakeUndefined(), added);
    if (!added) return;
    for (const std::u16string& prefix : PrefixesOf(name)) {
        ++bindings.clipPaths.Insert(prefix, MakeUndefined(), added).count;
    }
}

void UnbindName(DataBindings& bindings, const std::u16string& name) {
    if (bindings.variables.Find(name) == nullptr) return;
    bindings.variables.Remove(name);
    for (const std::u16string& prefix : PrefixesOf(name)) {
        BindingTable::Entry* path = bindings.clipPaths.Find(prefix);
        if (path != nullptr && --path->count <= 0) bindings.clipPaths.Remove(prefix);
    }
}

void UnbindAll(DataBindings& bindings) {
    bindings.variables.Clear();
    bindings.clipPaths.Clear();
}

void MarkBindings(DataBindings& bindings) {
    bindings.variables.ForEach([](BindingTable::Entry& entry) { GcMarkValue(entry.value); });
}

}  // namespace kelpo
