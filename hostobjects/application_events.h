// The host events of the Application object (onGetMovie, onGetFlashPlayer,
// onMovieLoaded) and the engine they run in.
//
// The event engine is the engine that registered Application last; its
// registration resets the three handlers. A handler is a Function value of
// the engine that stored it, so it is only handed out to, and only called
// in, that engine while it is the event engine. Every compiled function is
// also held by a global, so the stored copies stay valid without marking.
#pragma once

#include <string>

#include "runtime/context.h"

namespace kelpo {

enum class AppEvent { GetMovie, GetFlashPlayer, MovieLoaded, Count };

// Makes `context` the event engine, resets the handlers and installs the
// host's hooks for them.
void AttachEventEngine(ScriptContext* context);
// Forgets `context` when it is the event engine (it is being destroyed).
void DetachEventEngine(ScriptContext* context);
ScriptContext* EventEngine();

// Stores a Function (anything else is ignored).
void SetEventHandler(ScriptContext* context, AppEvent event, const Value& handler);
// The stored Function when `context` stored it, else Undefined.
Value EventHandler(ScriptContext* context, AppEvent event);

// Firing, as the host does. The two asking events call the handler with a
// new empty object: a truthy result and a String `value` on that object
// give `answer`. False when no handler answered.
bool AskEventHandler(AppEvent event, std::string& answer);
void FireMovieLoaded(const std::string& path);

}  // namespace kelpo
