// kelpo: the command-line face of the script engine.
//
// Until the compiler lands, the tool exercises the engine itself: it creates a
// context, fills its heap and reports what the collector did.
#include <cstdio>
#include <cstring>

#include "runtime/array.h"
#include "runtime/atoms.h"
#include "runtime/context.h"
#include "runtime/errors.h"
#include "runtime/gc.h"
#include "runtime/object.h"
#include "runtime/strings.h"

namespace {

void PrintUsage(FILE* out) {
    fprintf(out,
            "usage: kelpo COMMAND\n"
            "commands:\n"
            "  heap-demo   build and collect a heap of objects, arrays and strings\n"
            "  --help      this text\n");
}

int HeapDemo() {
    using namespace kelpo;
    ScriptContext* ctx = NewContext(4096, 2, nullptr, 0);
    if (ctx == nullptr) {
        fprintf(stderr, "kelpo: cannot create a script context\n");
        return 1;
    }
    bool ok = CatchRaise(ctx, [&] {
        Atom items = InternAtom(ctx, "items");
        Atom name = InternAtom(ctx, "name");
        Value list = NewArray(ctx, 0);
        ctx->atomValues[items] = list;
        for (int round = 0; round < 5; ++round) {
            for (int i = 0; i < 20000; ++i) {
                ScriptObject* o = NewObject(ctx);
                char text[32];
                snprintf(text, sizeof text, "item %d", i);
                PutProperty(ctx, o, name, NewStringFromCString(ctx, text));
                // Keep one object in a hundred; the rest is garbage.
                if (i % 100 == 0) ArraySet(ctx, list, MakeObject(o), list.array->length++);
            }
            CollectGarbage(ctx, nullptr, ctx->stackPointer);
            printf("round %d: %llu kept, %u collections, %zu bytes from the system, %zu free\n",
                   round, static_cast<unsigned long long>(list.array->length),
                   ctx->heap.collections, ctx->heap.bytesFromSystem, ctx->heap.freeBytes);
        }
    });
    if (!ok) fprintf(stderr, "kelpo: %s\n", ctx->errorText);
    DestroyContext(ctx);
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || strcmp(argv[1], "--help") == 0) {
        PrintUsage(argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    if (strcmp(argv[1], "heap-demo") == 0) return HeapDemo();
    fprintf(stderr, "kelpo: unknown command \"%s\"\n", argv[1]);
    PrintUsage(stderr);
    return 2;
}
