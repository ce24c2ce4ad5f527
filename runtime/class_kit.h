// The class kit: how a script class is declared and registered.
//
// A class names its methods and properties once, in tables indexed by its
// own enums, and describes itself in a ClassSpec. DefineClass makes the
// NativeClass, interns the names (freed with the class), binds the
// global(s), and answers what every class answers alike:
//   - a name of the method table goes to `method` with its index, a name of
//     the property table to `property`; other names to `otherMethods` and
//     `otherProperties` when the class has them;
//   - toString, unless the class lists it, gives the class's `text`;
//   - valueOf, unless the class lists it, gives the instance itself for
//     instances made by NewInstance, else the class's global.
#pragma once

#include <cstddef>
#include <type_traits>
#include <utility>

#include "runtime/atoms.h"
#include "runtime/native.h"

namespace kelpo {

// A member's row in a class's method or property table: its name and one
// line for the class pages (docs/classes.md). A method's text starts with
// its call form and result kind, "open(path [, mode]) -> Boolean: ...", a
// property's with its kind, "Integer, read-only: ...".
struct MemberRow {
    const char* name;
    const char* text;
};

namespace class_kit_detail {
// Where a row keeps its `text`, or 0 for rows without one (the name is
// always first, so a text is never at offset 0).
template <class Row, class = void>
struct TextOffset {
    static constexpr size_t value = 0;
};
template <class Row>
struct TextOffset<Row, std::enable_if_t<std::is_same<decltype(Row::text), const char*>::value>> {
    static constexpr size_t value = offsetof(Row, text);
};
}  // namespace class_kit_detail

// Names indexed by a class's enum: `{"load", "save"}` for `{kLoad, kSave}`,
// or a table of rows whose first member is the name (a class that keeps
// more about each member in one table, its `text` among it).
struct NameTable {
    const void* rows = nullptr;
    size_t stride = 0;
    int count = 0;
    size_t textOffset = 0;

    constexpr NameTable() = default;
    template <size_t N>
    constexpr NameTable(const char* const (&names)[N])
        : rows(names), stride(sizeof(const char*)), count(static_cast<int>(N)) {}
    template <class Row, size_t N>
    constexpr NameTable(const Row (&table)[N])
        : rows(table),
          stride(sizeof(Row)),
          count(static_cast<int>(N)),
          textOffset(class_kit_detail::TextOffset<Row>::value) {
        static_assert(std::is_standard_layout<Row>::value, "rows start with their name");
    }

    const char* NameAt(int i) const {
        return *reinterpret_cast<const char* const*>(static_cast<const char*>(rows) + i * stride);
    }
    // The member's line for the class pages; null when the table has none.
    const char* TextAt(int i) const {
        if (textOffset == 0) return nullptr;
        return *reinterpret_cast<const char* const*>(static_cast<const char*>(rows) + i * stride +
                                                     textOffset);
    }
};

// A method of the table, by index. Answers 1 with the result in `out`
// (preset to Undefined), or 0 when the name is not a method after all (it
// then goes on to the instance's property object).
using ClassMethod = int (*)(ScriptContext* context, NativeClass* klass, void* data, int member,
                            Value* out, Value* args);

// A property of the table, by index; the contract of NativeProperty.
using ClassProperty = int (*)(ScriptContext* context, NativeClass* klass, void* data, int member,
                              int isSet, Value* io);

struct ClassSpec {
    const char* name = nullptr;   // the global bound to the class
    const char* alias = nullptr;  // a second global bound to the same class
    // What toString answers when the class does not list it, for example
    // u"[object DataFile]"; null leaves toString to the fallbacks.
    const char16_t* text = nullptr;
    // One line on what the class is for, for the class pages.
    const char* about = nullptr;
    NameTable methods = {};
    ClassMethod method = nullptr;
    NameTable properties = {};
    ClassProperty property = nullptr;
    NativeInvoke otherMethods = nullptr;
    NativeProperty otherProperties = nullptr;
    NativeCall call = nullptr;
    NativeConstruct construct = nullptr;
    // Releases what an instance holds (its data block itself, when made by
    // NewInstance, is freed by the kit afterwards).
    NativeFinalize finalize = nullptr;
    NativeMark mark = nullptr;
    NativeIndex index = nullptr;
    // The size of the data of instances made by NewInstance (0: the class
    // makes its instances itself).
    size_t instanceSize = 0;
    // The members `otherMethods` and `otherProperties` answer, for the
    // class pages only.
    NameTable otherMembers = {};
};

// Globals that are not classes (functions, constants) are described by
// their registration code, once per process, for the class pages.
void DescribeGlobals(const MemberRow* rows, int count);
template <size_t N>
void DescribeGlobals(const MemberRow (&rows)[N]) {
    DescribeGlobals(rows, static_cast<int>(N));
}
// The row describing a global, or null.
const MemberRow* GlobalDescription(const char* name);

// Makes the class and binds `spec.name` (and `spec.alias`). The spec must
// outlive the context (a static table). `data` becomes the class's own
// data (ClassDataOf), released with `freeData` when the class goes.
NativeClass* DefineClass(ScriptContext* context, const ClassSpec& spec, void* data = nullptr,
                         NativeFreeData freeData = nullptr);

// The class data given to DefineClass; null when `klass` was not made
// from `spec` (so a class can check that a value is one of its own).
void* ClassDataOf(NativeClass* klass, const ClassSpec& spec);

// The spec a class was made from; null for a class made without the kit.
const ClassSpec* ClassSpecOf(NativeClass* klass);

// The class data given to DefineClass, unchecked.
void* ClassData(NativeClass* klass);

// Makes an instance with the ClassSpec's `instanceSize` bytes of zeroed data,
// owned by the kit and freed after the class's finalize; `out` receives
// the Native value. Raises "Out of memory" like every allocation.
void* NewInstance(ScriptContext* context, NativeClass* klass, Value* out);

template <class T>
T* NewInstanceOf(ScriptContext* context, NativeClass* klass, Value* out) {
    return static_cast<T*>(NewInstance(context, klass, out));
}

// The Native value of an instance made by NewInstance, from its data.
Value InstanceValue(void* data);

}  // namespace kelpo
