// The class kit: one NativeClass made from a ClassSpec, with the member
// names interned once and the answers every class shares.
#include "runtime/class_kit.h"

#include <cstring>
#include <mutex>
#include <vector>

#include "runtime/atoms.h"
#include "runtime/convert.h"

namespace kelpo {
namespace {

// The NativeClass's `data` of a kit class.
struct KitClass {
    const ClassSpec* spec;
    Atom* methodAtoms;
    Atom* propertyAtoms;
    Atom nameAtom;
    void* data;
    NativeFreeData freeData;
};

// Instance data made by NewInstance follows this header, which remembers
// the instance so valueOf can answer it.
struct alignas(16) InstanceHeader {
    NativeInstance* self;
};

KitClass* KitOf(NativeClass* klass) { return static_cast<KitClass*>(klass->data); }

InstanceHeader* HeaderOf(void* data) {
    return reinterpret_cast<InstanceHeader*>(static_cast<char*>(data) - sizeof(InstanceHeader));
}

int Find(const Atom* atoms, int count, Atom atom) {
    for (int i = 0; i < count; ++i) {
        if (atoms[i] == atom) return i;
    }
    return -1;
}

Atom* InternAll(ScriptContext* context, const NameTable& table) {
    if (table.count == 0) return nullptr;
    auto* atoms = static_cast<Atom*>(ContextCalloc(context, table.count, sizeof(Atom)));
    for (int i = 0; i < table.count; ++i) atoms[i] = InternAtom(context, table.NameAt(i));
    return atoms;
}

int KitInvoke(ScriptContext* context, NativeClass* klass, void* data, Atom atom, Value* out,
              Value* args) {
    KitClass* kit = KitOf(klass);
    const ClassSpec& spec = *kit->spec;
    *out = MakeUndefined();
    int member = Find(kit->methodAtoms, spec.methods.count, atom);
    if (member >= 0) return spec.method(context, klass, data, member, out, args);
    if (atom == kAtomToString && spec.text != nullptr) {
        *out = StaticText(context, spec.text);
        return 1;
    }
    if (atom == kAtomValueOf) {
        *out = data != nullptr && spec.instanceSize > 0 ? InstanceValue(data)
                                                        : context->atomValues[kit->nameAtom];
        return 1;
    }
    return spec.otherMethods != nullptr ? spec.otherMethods(context, klass, data, atom, out, args)
                                        : 0;
}

int KitProperty(ScriptContext* context, NativeClass* klass, void* data, Atom atom, int isSet,
                Value* io) {
    KitClass* kit = KitOf(klass);
    const ClassSpec& spec = *kit->spec;
    int member = Find(kit->propertyAtoms, spec.properties.count, atom);
    if (member >= 0) return spec.property(context, klass, data, member, isSet, io);
    if (spec.otherProperties != nullptr) {
        return spec.otherProperties(context, klass, data, atom, isSet, io);
    }
    if (!isSet) *io = MakeUndefined();
    return 0;
}

void KitFinalize(NativeClass* klass, void* data) {
    KitClass* kit = KitOf(klass);
    if (kit == nullptr) return;
    if (kit->spec->finalize != nullptr) kit->spec->finalize(klass, data);
    if (data != nullptr && kit->spec->instanceSize > 0) ContextFree(HeaderOf(data));
}

void FreeKitClass(void* block) {
    auto* kit = static_cast<KitClass*>(block);
    if (kit->freeData != nullptr && kit->data != nullptr) kit->freeData(kit->data);
    ContextFree(kit->methodAtoms);
    ContextFree(kit->propertyAtoms);
    ContextFree(kit);
}

struct DescribedGlobals {
    std::mutex lock;
    std::vector<std::pair<const MemberRow*, int>> tables;
};

DescribedGlobals& Described() {
    static DescribedGlobals described;
    return described;
}

}  // namespace

void DescribeGlobals(const MemberRow* rows, int count) {
    DescribedGlobals& d = Described();
    std::lock_guard<std::mutex> hold(d.lock);
    for (const auto& table : d.tables) {
        if (table.first == rows) return;
    }
    d.tables.emplace_back(rows, count);
}

const MemberRow* GlobalDescription(const char* name) {
    DescribedGlobals& d = Described();
    std::lock_guard<std::mutex> hold(d.lock);
    for (const auto& table : d.tables) {
        for (int i = 0; i < table.second; ++i) {
            if (strcmp(table.first[i].name, name) == 0) return &table.first[i];
        }
    }
    return nullptr;
}

NativeClass* DefineClass(ScriptContext* context, const ClassSpec& spec, void* data,
                         NativeFreeData freeData) {
    NativeClass* klass = NewNativeClass(context);
    auto* kit = static_cast<KitClass*>(ContextCalloc(context, 1, sizeof(KitClass)));
    kit->spec = &spec;
    kit->data = data;
    kit->freeData = freeData;
    klass->data = kit;
    klass->freeData = FreeKitClass;
    kit->methodAtoms = InternAll(context, spec.methods);
    kit->propertyAtoms = InternAll(context, spec.properties);
    kit->nameAtom = InternAtom(context, spec.name);
    klass->call = spec.call;
    klass->construct = spec.construct;
    klass->invoke = KitInvoke;
    if (spec.property != nullptr || spec.otherProperties != nullptr) klass->property = KitProperty;
    if (spec.finalize != nullptr || spec.instanceSize > 0) klass->finalize = KitFinalize;
    klass->mark = spec.mark;
    klass->index = spec.index;
    BindGlobalClass(context, spec.name, klass);
    if (spec.alias != nullptr) BindGlobalClass(context, spec.alias, klass);
    return klass;
}

const ClassSpec* ClassSpecOf(NativeClass* klass) {
    if (klass == nullptr || klass->invoke != KitInvoke) return nullptr;
    return KitOf(klass)->spec;
}

void* ClassDataOf(NativeClass* klass, const ClassSpec& spec) {
    return ClassSpecOf(klass) == &spec ? KitOf(klass)->data : nullptr;
}

void* ClassData(NativeClass* klass) { return KitOf(klass)->data; }

void* NewInstance(ScriptContext* context, NativeClass* klass, Value* out) {
    const size_t size = KitOf(klass)->spec->instanceSize;
    auto* header =
        static_cast<InstanceHeader*>(ContextCalloc(context, 1, sizeof(InstanceHeader) + size));
    void* data = header + 1;
    *out = BindNative(context, klass, data);
    header->self = out->native;
    return data;
}

Value InstanceValue(void* data) { return NativeValue(HeaderOf(data)->self); }

}  // namespace kelpo
