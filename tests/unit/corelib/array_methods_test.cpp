// Array methods against a plain model: every edit must leave the same
// elements and length as the model, and every bucket chain sorted by index
// in the bucket of its index (lookups stop at the first larger index).
#include <algorithm>
#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "runtime/array.h"
#include "runtime/atoms.h"
#include "runtime/call.h"
#include "runtime/member.h"
#include "tests/unit/test_support.h"

namespace kelpo {
namespace {

using Elements = std::map<uint64_t, int64_t>;

struct Model {
    Elements elements;
    uint64_t length = 0;
};

int64_t Low32(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v & 0xFFFFFFFF)); }

class ArrayMethodsTest : public test::ContextTest {
protected:
    // Calls a method with Integer arguments (a missing argument is left off).
    Value Call(const Value& array, const char* method, const std::vector<int64_t>& integers) {
        std::vector<Value> args;
        args.push_back(MakeInteger(static_cast<int64_t>(integers.size())));
        for (int64_t v : integers) args.push_back(MakeInteger(v));
        EXPECT_EQ(CallMethod(ctx, &array, method, static_cast<int>(args.size()), args.data()), 1)
            << method << ": " << ctx->errorText;
        return ctx->result;
    }

    // The stored elements, checking the chain invariants on the way.
    Elements Stored(const Value& array) {
        Elements out;
        ElementNode** buckets = array.array->buckets;
        if (buckets == nullptr) return out;
        for (int b = 0; b < kArrayBuckets; ++b) {
            uint64_t previous = 0;
            bool first = true;
            for (ElementNode* node = buckets[b]; node != nullptr; node = node->next) {
                EXPECT_EQ(node->index % kArrayBuckets, static_cast<uint64_t>(b));
                EXPECT_TRUE(first || node->index > previous) << "chain out of order";
                EXPECT_EQ(node->box->tag, ValueTag::Integer);
                out[node->index] = node->box->integer;
                previous = node->index;
                first = false;
            }
        }
        return out;
    }

    void SetLength(const Value& array, int64_t n) {
        EXPECT_TRUE(
            Run([&] { WriteMember(ctx, array, InternAtom(ctx, "length"), MakeInteger(n)); }));
    }

    void ExpectSame(const Value& array, const Model& model, const std::string& step) {
        EXPECT_EQ(array.array->length, model.length) << step;
        EXPECT_EQ(Stored(array), model.elements) << step;
    }
};

// Moves every element at or above `from` by `delta` in the model.
void ModelShift(Model* m, uint64_t from, int64_t delta) {
    Elements moved;
    for (auto& [index, value] : m->elements) {
        moved[index >= from ? index + static_cast<uint64_t>(delta) : index] = value;
    }
    m->elements = moved;
}

TEST_F(ArrayMethodsTest, RandomEditsMatchTheModel) {
    std::mt19937_64 random(20240611);
    auto pick = [&](int64_t lo, int64_t hi) {
        return std::uniform_int_distribution<int64_t>(lo, hi)(random);
    };
    Value array = NewArray(ctx, 0);
    // Keep the array reachable from a global: the methods may collect.
    SetGlobal(ctx, "edited", array);
    Model model;
    int64_t next = 1;
    for (int step = 0; step < 3000; ++step) {
        int64_t length = static_cast<int64_t>(model.length & 0xFFFFFFFF);
        std::string what;
        switch (pick(0, 10)) {
            case 0: {  // push
                int64_t n = pick(0, 4);
                std::vector<int64_t> items;
                for (int64_t i = 0; i < n; ++i) items.push_back(next++);
                Value r = Call(array, "push", items);
                for (int64_t v : items) model.elements[model.length++] = v;
                EXPECT_EQ(r.integer, static_cast<int64_t>(model.length));
                what = "push";
                break;
            }
            case 1: {  // pop
                Value r = Call(array, "pop", {});
                if (model.length > 0) {
                    auto it = model.elements.find(--model.length);
                    if (it != model.elements.end()) {
                        EXPECT_EQ(r.integer, it->second);
                        model.elements.erase(it);
                    } else {
                        EXPECT_EQ(r.tag, ValueTag::Undefined);
                    }
                }
                what = "pop";
                break;
            }
            case 2: {  // shift
                Call(array, "shift", {});
                if (model.length > 0) {
                    model.elements.erase(0);
                    ModelShift(&model, 1, -1);
                    model.length--;
                }
                what = "shift";
                break;
            }
            case 3: {  // unshift: the last argument lands at index 0
                int64_t n = pick(0, 3);
                std::vector<int64_t> items;
                for (int64_t i = 0; i < n; ++i) items.push_back(next++);
                Call(array, "unshift", items);
                ModelShift(&model, 0, n);
                model.length += static_cast<uint64_t>(n);
                for (int64_t k = 1; k <= n; ++k)
                    model.elements[static_cast<uint64_t>(n - k)] = items[k - 1];
                what = "unshift";
                break;
            }
            case 4: {  // splice
                std::vector<int64_t> args;
                int64_t argc = pick(0, 5);
                if (argc >= 1) args.push_back(pick(-length - 3, length + 3));
                if (argc >= 2) args.push_back(pick(-2, length + 3));
                for (int64_t i = 2; i < argc; ++i) args.push_back(next++);
                Value removed = Call(array, "splice", args);
                int64_t s = argc >= 1 ? Low32(args[0]) : 0;
                if (s < 0) s = std::max<int64_t>(s + length, 0);
                int64_t d = argc >= 2 ? Low32(args[1]) : (s < length ? length - s : 0);
                if (d < 0) d = 0;
                int64_t base;
                if (s < length) {
                    d = std::min(d, length - s);
                    base = length - d;
                } else {
                    d = 0;
                    base = s;
                }
                int64_t n = argc > 2 ? argc - 2 : 0;
                Model out;
                out.length = static_cast<uint64_t>(d);
                Elements kept;
                for (auto& [index, value] : model.elements) {
                    uint64_t i = index;
                    if (i >= static_cast<uint64_t>(s) &&
                        i - static_cast<uint64_t>(s) < static_cast<uint64_t>(d)) {
                        out.elements[i - static_cast<uint64_t>(s)] = value;
                    } else {
                        kept[i >= static_cast<uint64_t>(s + d) ? i + static_cast<uint64_t>(n - d)
                                                               : i] = value;
                    }
                }
                model.elements = kept;
                model.length = static_cast<uint64_t>(base + n);
                for (int64_t i = 0; i < n; ++i)
                    model.elements[static_cast<uint64_t>(s + i)] = args[2 + i];
                ExpectSame(removed, out, "splice result");
                what = "splice";
                break;
            }
            case 5: {  // slice (the array itself must not change)
                int64_t start = pick(-length - 3, length + 3);
                int64_t end = pick(-length - 3, length + 3);
                Value copy = Call(array, "slice", {start, end});
                if (start < 0) start = std::max<int64_t>(start + length, 0);
                if (end < 0) {
                    end += length;
                    if (end < 0) end = start;
                }
                if (end < start) std::swap(start, end);
                Model out;
                out.length = static_cast<uint64_t>(end - start);
                for (auto& [index, value] : model.elements) {
                    if (index >= static_cast<uint64_t>(start) &&
                        index < static_cast<uint64_t>(end)) {
                        out.elements[index - static_cast<uint64_t>(start)] = value;
                    }
                }
                ExpectSame(copy, out, "slice result");
                what = "slice";
                break;
            }
            case 6: {  // reverse
                Call(array, "reverse", {});
                Elements reversed;
                for (auto& [index, value] : model.elements) {
                    reversed[index < model.length ? model.length - 1 - index : index] = value;
                }
                model.elements = reversed;
                what = "reverse";
                break;
            }
            case 7: {  // length, shorter or longer
                int64_t n = pick(0, length + 5);
                SetLength(array, n);
                model.elements.erase(model.elements.lower_bound(static_cast<uint64_t>(n)),
                                     model.elements.end());
                model.length = static_cast<uint64_t>(n);
                what = "length";
                break;
            }
            case 8: {  // default sort: decimal texts, packed at the front
                Call(array, "sort", {});
                std::vector<int64_t> values;
                for (auto& [index, value] : model.elements) values.push_back(value);
                std::stable_sort(values.begin(), values.end(), [](int64_t a, int64_t b) {
                    return std::to_string(a) < std::to_string(b);
                });
                model.elements.clear();
                for (size_t i = 0; i < values.size(); ++i) model.elements[i] = values[i];
                model.length = std::max<uint64_t>(model.length, values.size());
                what = "sort";
                break;
            }
            case 9: {  // concat with itself and one value
                Value extra = MakeInteger(next++);
                std::vector<Value> args = {MakeInteger(2), array, extra};
                ASSERT_EQ(CallMethod(ctx, &array, "concat", 3, args.data()), 1);
                Model out;
                for (auto& [index, value] : model.elements) {
                    if (index < model.length) {
                        out.elements[index] = value;
                        out.elements[index + model.length] = value;
                    }
                }
                out.elements[2 * model.length] = extra.integer;
                out.length = 2 * model.length + 1;
                ExpectSame(ctx->result, out, "concat result");
                what = "concat";
                break;
            }
            default: {  // a store at or beyond the length, as the interpreter does it
                uint64_t index = static_cast<uint64_t>(pick(0, length + 200));
                ArraySet(ctx, array, MakeInteger(next), index);
                if (index >= array.array->length) array.array->length = index + 1;
                model.elements[index] = next++;
                if (index >= model.length) model.length = index + 1;
                what = "store";
                break;
            }
        }
        ExpectSame(array, model, "step " + std::to_string(step) + " " + what);
        if (HasFailure()) return;
        // Keep the arrays small enough for the model to stay fast.
        if (model.length > 600) {
            SetLength(array, 100);
            model.elements.erase(model.elements.lower_bound(100), model.elements.end());
            model.length = 100;
        }
    }
}

}  // namespace
}  // namespace kelpo
