#include "hostobjects/application_events.h"

#include "corelib/callback_roots.h"
#include "host/host_events.h"
#include "runtime/native_args.h"
#include "runtime/atoms.h"
#include "runtime/call.h"
#include "runtime/convert.h"
#include "runtime/object.h"
#include "syslib/engine_entry.h"

namespace kelpo {
namespace {

constexpr int kEventCount = static_cast<int>(AppEvent::Count);

struct ApplicationEvents {
    ScriptContext* engine = nullptr;
    Value handlers[kEventCount];
};

ApplicationEvents& Events() {
    static ApplicationEvents events;
    return events;
}

// The handler to run, or null without an event engine or handler.
const Value* RunnableHandler(AppEvent event) {
    ApplicationEvents& events = Events();
    if (events.engine == nullptr) return nullptr;
    const Value& handler = events.handlers[static_cast<int>(event)];
    return handler.tag == ValueTag::Function ? &handler : nullptr;
}

bool AskFlashPlayer(std::string& path) { return AskEventHandler(AppEvent::GetFlashPlayer, path); }
bool AskMovie(std::string& path) { return AskEventHandler(AppEvent::GetMovie, path); }

}  // namespace

void AttachEventEngine(ScriptContext* context) {
    ApplicationEvents& events = Events();
    events.engine = context;
    for (Value& handler : events.handlers) handler = MakeNull();
    HostEventHandlers& hooks = TheHostEvents();
    hooks.getFlashPlayer = AskFlashPlayer;
    hooks.getMovie = AskMovie;
    hooks.movieLoaded = FireMovieLoaded;
}

void DetachEventEngine(ScriptContext* context) {
    ApplicationEvents& events = Events();
    if (events.engine != context) return;
    events.engine = nullptr;
    for (Value& handler : events.handlers) handler = MakeNull();
}

ScriptContext* EventEngine() { return Events().engine; }

void SetEventHandler(ScriptContext* context, AppEvent event, const Value& handler) {
    ApplicationEvents& events = Events();
    if (context != events.engine || handler.tag != ValueTag::Function) return;
    events.handlers[static_cast<int>(event)] = handler;
}

Value EventHandler(ScriptContext* context, AppEvent event) {
    const Value* handler = RunnableHandler(event);
    if (handler == nullptr || context != Events().engine) return MakeUndefined();
    return *handler;
}

bool AskEventHandler(AppEvent event, std::string& answer) {
    const Value* found = RunnableHandler(event);
    if (found == nullptr) return false;
    ScriptContext* context = Events().engine;
    Value handler = *found;
    EngineEntryScope entry;
    bool answered = false;
    bool ok = CatchRaise(context, [&] {
        // The argument object stays on the value stack while the handler
        // runs, so a collection inside it keeps the object.
        CallbackRoots roots(context);
        Value request = MakeObject(NewObject(context));
        roots.Push(request);
        Value args[2] = {MakeInteger(1), request};
        if (!CallValue(context, nullptr, &handler, 2, args)) return;
        if (!ToBoolean(context, context->result)) return;
        Value value = MakeUndefined();
        if (!GetProperty(context, request.object, InternAtom(context, "value"), &value)) return;
        if (value.tag != ValueTag::String) return;
        answered = BoundedAnsi(context, value, kMaxPathText, answer);
    });
    return ok && answered;
}

void FireMovieLoaded(const std::string& path) {
    const Value* found = RunnableHandler(AppEvent::MovieLoaded);
    if (found == nullptr) return;
    ScriptContext* context = Events().engine;
    Value handler = *found;
    EngineEntryScope entry;
    CatchRaise(context, [&] {
        Value args[2] = {MakeInteger(1), AnsiString(context, path)};
        CallbackRoots roots(context);
        roots.Push(args[1]);
        CallValue(context, nullptr, &handler, 2, args);
    });
}

}  // namespace kelpo
