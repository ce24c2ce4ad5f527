// Array sort: a stable top-down merge sort over a snapshot of the elements.
//
// Comparators and element texts run script code, which may collect garbage,
// change the array or fail. So the sort never works on the array's own
// element boxes: it copies the values into a private array (unreachable
// from script, rooted on the value stack with the array and the comparator)
// and sorts positions into that snapshot. Only at the end is the array
// rebuilt from the sorted values, packed at indexes 0 onward. Whatever the
// comparators did to the array meanwhile is replaced by that result.
#include <cstring>
#include <exception>
#include <utility>

#include "corelib/array_methods.h"
#include "corelib/array_nodes.h"
#include "corelib/callback_roots.h"
#include "runtime/call.h"
#include "runtime/convert.h"
#include "runtime/errors.h"
#include "runtime/native.h"
#include "runtime/strings.h"

namespace kelpo {
namespace {

// A ContextAlloc'ed vector released when it leaves scope (also on a raise).
template <class T>
struct ScratchVector {
    T* data = nullptr;
    ScratchVector() = default;
    explicit ScratchVector(ScriptContext* context, uint32_t count)
        : data(static_cast<T*>(ContextAlloc(context, (count == 0 ? 1 : count) * sizeof(T)))) {}
    ~ScratchVector() { ContextFree(data); }
    ScratchVector(const ScratchVector&) = delete;
    ScratchVector& operator=(const ScratchVector&) = delete;
};

// A private packed array holding copies of the elements, in bucket order;
// `boxes` receives its element boxes by position. (Counting first sizes the
// vector once: growing it in steps would copy it over and over.)
Value SnapshotOf(ScriptContext* context, const ScriptArray* array, ScratchVector<Value*>* boxes,
                 uint32_t* count) {
    uint64_t n = 0;
    if (array->buckets != nullptr) {
        for (int b = 0; b < kArrayBuckets; ++b) {
            for (const ElementNode* node = array->buckets[b]; node != nullptr; node = node->next)
                ++n;
        }
    }
    if (n > UINT32_MAX) RaiseErrorf(context, "Out of memory");
    *count = static_cast<uint32_t>(n);
    ScratchVector<Value*> made(context, *count);
    Value copy = NewArray(context, n);
    BucketAppender to(context, copy.array);
    uint32_t i = 0;
    if (array->buckets != nullptr) {
        for (int b = 0; b < kArrayBuckets; ++b) {
            for (const ElementNode* node = array->buckets[b]; node != nullptr; node = node->next) {
                made.data[i] = to.AppendValue(*node->box, i);
                ++i;
            }
        }
    }
    std::swap(boxes->data, made.data);
    return copy;
}

struct SortState {
    ScriptContext* context;
    Value comparator;     // Function or Native, or Undefined for the default order
    Value* const* items;  // snapshot boxes by position
    Value* const* texts;  // default order: the ToString text of each item
};

int SignOf(const Value& v) {
    if (v.tag == ValueTag::Integer) return v.integer > 0 ? 1 : (v.integer < 0 ? -1 : 0);
    if (v.tag == ValueTag::Float) return v.number > 0.0 ? 1 : (v.number < 0.0 ? -1 : 0);
    return 0;  // failed calls and other results count as equal
}

// > 0 when the item at position a sorts after the one at position b.
int Compare(SortState* state, uint32_t a, uint32_t b) {
    if (state->comparator.tag != ValueTag::Undefined) {
        Value args[3] = {MakeInteger(2), *state->items[a], *state->items[b]};
        if (!CallFunction(state->context, nullptr, &state->comparator, 3, args)) return 0;
        return SignOf(state->context->result);
    }
    if (state->items[a]->tag == ValueTag::Undefined) return 1;
    if (state->items[b]->tag == ValueTag::Undefined) return -1;
    return CompareStrings(*state->texts[a], *state->texts[b]);
}

// Sorts positions [0, count) of `order`; the right-hand item of a merge is
// taken first only when the left one sorts after it, which keeps it stable.
void MergeSort(SortState* state, uint32_t* order, uint32_t* scratch, uint32_t count) {
    if (count < 2) return;
    uint32_t half = count / 2;
    MergeSort(state, order, scratch, half);
    MergeSort(state, order + half, scratch, count - half);
    memcpy(scratch, order, count * sizeof(uint32_t));
    uint32_t i = 0, j = half, k = 0;
    while (i < half && j < count) {
        if (Compare(state, scratch[i], scratch[j]) > 0) {
            order[k++] = scratch[j++];
        } else {
            order[k++] = scratch[i++];
        }
    }
    while (i < half) order[k++] = scratch[i++];
    while (j < count) order[k++] = scratch[j++];
}

// Comparator calls reset the context's result and error text; a sort that
// swallowed a comparator's failure leaves them as they were. A raise leaving
// the sort keeps its own error text.
struct SavedOutcome {
    ScriptContext* context;
    Value result;
    int raisesInFlight;
    char errorText[kErrorTextSize];
    explicit SavedOutcome(ScriptContext* c)
        : context(c), result(c->result), raisesInFlight(std::uncaught_exceptions()) {
        memcpy(errorText, c->errorText, sizeof errorText);
    }
    ~SavedOutcome() {
        if (std::uncaught_exceptions() > raisesInFlight) return;
        context->result = result;
        memcpy(context->errorText, errorText, sizeof errorText);
    }
    SavedOutcome(const SavedOutcome&) = delete;
    SavedOutcome& operator=(const SavedOutcome&) = delete;
};

}  // namespace

void SortMethod(ScriptContext* context, const Value& self, Value*, Value* args) {
    // Copied out before anything can run script code.
    uint32_t count = 0;
    ScratchVector<Value*> items;
    Value snapshot = SnapshotOf(context, self.array, &items, &count);

    CallbackRoots roots(context);
    SavedOutcome saved(context);
    roots.Push(self);
    roots.Push(snapshot);
    roots.Push(context->result);
    SortState state = {context, MakeUndefined(), items.data, nullptr};
    if (HasArg(args, 1) && (args[1].tag == ValueTag::Function || args[1].tag == ValueTag::Native)) {
        state.comparator = args[1];
        roots.Push(state.comparator);
    }

    ScratchVector<Value*> texts(context, count);
    if (state.comparator.tag == ValueTag::Undefined) {
        // Each text once, kept in a second rooted snapshot.
        Value textArray = NewArray(context, count);
        roots.Push(textArray);
        BucketAppender to(context, textArray.array);
        for (uint32_t i = 0; i < count; ++i) {
            Value text = items.data[i]->tag == ValueTag::Undefined
                             ? MakeUndefined()
                             : ToString(context, *items.data[i]);
            texts.data[i] = to.AppendValue(text, i);
        }
        state.texts = texts.data;
    }

    ScratchVector<uint32_t> order(context, count);
    ScratchVector<uint32_t> scratch(context, count);
    for (uint32_t i = 0; i < count; ++i) order.data[i] = i;
    MergeSort(&state, order.data, scratch.data, count);

    ScriptArray* array = self.array;
    DropAllElements(array);
    BucketAppender to(context, array);
    for (uint32_t i = 0; i < count; ++i) to.AppendValue(*items.data[order.data[i]], i);
    if (array->length < count) array->length = count;
}

}  // namespace kelpo
