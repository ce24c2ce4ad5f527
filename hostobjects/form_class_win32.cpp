// The Form class: a second movie window that plays its own movie and gives
// a text back to the script that opened it. `show()` opens it modal (and
// returns the text the movie sent with "Kelpo_Ret") or, with a false first
// argument, modeless; the player methods act on the form's own player while
// it is open.
#include <windows.h>

#include <memory>
#include <string>

#include "corelib/callback_roots.h"
#include "host/project_data.h"
#include "hostobjects/base_path.h"
#include "hostobjects/control_dispatch_win32.h"
#include "hostobjects/flash_player_data.h"
#include "hostobjects/form_class.h"
#include "hostobjects/form_window_win32.h"
#include "hostobjects/projector_port_win32.h"
#include "runtime/call.h"
#include "runtime/class_kit.h"
#include "runtime/convert.h"
#include "runtime/errors.h"
#include "runtime/gc.h"
#include "runtime/native_args.h"
#include "syslib/engine_entry.h"

namespace kelpo {
namespace {

enum Method {
    kShow,
    kClose,
    kGetVariable,
    kSetVariable,
    kTargetGotoFrame,
    kTargetGotoLabel,
    kTargetCallFrame,
    kTargetCallLabel,
    kLoadMovie,
    kSetBase,
};
const MemberRow kMethods[] = {
    {"show",
     "show([modal [, ownerForm]]) -> String: opens the form (modal unless false); a modal "
     "form's return text (sent by its movie with \"Kelpo_Ret\")"},
    {"close", "close() -> nothing: closes the open form"},
    {"getVariable", "getVariable(name) -> String: a variable of the form's movie"},
    {"setVariable", "setVariable(name, value) -> nothing: sets a variable of the form's movie"},
    {"targetGotoFrame",
     "targetGotoFrame(target, frame) -> nothing: as FlashPlayer's, on the form's movie"},
    {"targetGotoLabel",
     "targetGotoLabel(target, label) -> nothing: as FlashPlayer's, on the form's movie"},
    {"targetCallFrame",
     "targetCallFrame(target, frame) -> nothing: as FlashPlayer's, on the form's movie"},
    {"targetCallLabel",
     "targetCallLabel(target, label) -> nothing: as FlashPlayer's, on the form's movie"},
    {"loadMovie",
     "loadMovie(layer, url) -> nothing: loads a movie into a layer of the form's player"},
    {"setBase", "setBase(folder) -> nothing: the folder the form's movie finds its files in"},
};
// The player methods, in the order of kMethods from kGetVariable on.
const char* const kPlayerMethods[] = {"getVariable",     "setVariable",     "targetGotoFrame",
                                      "targetGotoLabel", "targetCallFrame", "targetCallLabel",
                                      "loadMovie"};

enum Property { kMovie, kCaption, kInitVars, kClipRegion, kShowCaption, kCanDrag, kOnExit };
const MemberRow kProperties[] = {
    {"movie", "String: the movie file the form plays"},
    {"caption", "String: the form's caption"},
    {"initVars", "String: the FlashVars text the movie starts with"},
    {"clipRegion", "String: a mask name, the form's shape"},
    {"showCaption", "Boolean: true (the default) gives the form a caption"},
    {"canDrag", "Boolean: true lets a press on the movie drag the form"},
    {"onExit", "function(returnText): called when the form has closed"},
};

struct FormState {
    ScriptContext* context = nullptr;
    Value self{};
    FormOptions options;
    Value onExit{};
    std::unique_ptr<FormWindow> window;  // the open form, or null
    // The window of the run before: its last handler (onExit) may still be
    // running when the form is shown again.
    std::unique_ptr<FormWindow> retired;
    std::string returnText;
    bool hasReturn = false;
    bool released = false;
    int calls = 0;
};

struct FormData {
    FormState* state;
};

void CallOnExit(FormState* state) {
    if (state->onExit.tag != ValueTag::Function || state->released) return;
    ScriptContext* context = state->context;
    Value handler = state->onExit, self = state->self;
    Value args[2] = {MakeInteger(1), MakeUndefined()};
    EngineEntryScope entry;
    ++state->calls;
    CatchRaise(context, [&] {
        CallbackRoots roots(context);
        roots.Push(handler);
        roots.Push(self);
        if (state->hasReturn) args[1] = AnsiString(context, state->returnText);
        roots.Push(args[1]);
        CallValue(context, &self, &handler, 2, args);
    });
    --state->calls;
}

// A modeless form closed: keep its text, tell the script, let the window go.
void ModelessEnded(void* user) {
    auto* state = static_cast<FormState*>(user);
    state->hasReturn = state->window->HasReturnText();
    state->returnText = state->window->ReturnText();
    // The window object itself stays until the form is shown again or
    // goes: this runs inside its own message handling.
    CallOnExit(state);
}

bool FormIsOpen(const FormState* state) { return state->window && state->window->IsOpen(); }

HWND OwnerFor(NativeClass* klass, Value* args) {
    if (HasArg(args, 2) && args[2].tag == ValueTag::Native && args[2].native->klass == klass &&
        args[2].native->data) {
        FormState* owner = static_cast<FormData*>(args[2].native->data)->state;
        if (FormIsOpen(owner)) return owner->window->Handle();
    }
    return ProjectorMainWindow();
}

Value Show(ScriptContext* context, NativeClass* klass, FormState* state, Value* args) {
    if (FormIsOpen(state)) return MakeUndefined();
    const bool modal = !HasArg(args, 1) || ToBoolean(context, args[1]);
    HWND owner = OwnerFor(klass, args);
    state->hasReturn = false;
    state->returnText.clear();
    state->retired = std::move(state->window);
    state->window = std::make_unique<FormWindow>(state->options, ModelessEnded, state);
    if (!modal) {
        if (!state->window->OpenModeless(owner)) state->window.reset();
        return MakeUndefined();
    }
    ++state->calls;
    const bool opened = state->window->RunModal(owner);
    --state->calls;
    if (state->released) {
        // The engine went while the form was open.
        delete state;
        return MakeUndefined();
    }
    state->hasReturn = opened && state->window->HasReturnText();
    state->returnText = state->window->ReturnText();
    state->window.reset();
    if (owner && IsWindow(owner)) {
        SetActiveWindow(owner);
        SetFocus(owner);
    }
    CallOnExit(state);
    return state->hasReturn ? AnsiString(context, state->returnText) : MakeUndefined();
}

void SetBase(ScriptContext* context, FormState* state, Value* args, Value* out) {
    std::string folder;
    if (!FormIsOpen(state) || !IsStringArg(args, 1) ||
        !BoundedAnsi(context, args[1], kMaxPathText, folder))
        return;
    std::string url = BasePathUrl(folder);
    std::u16string wide(url.begin(), url.end());
    *out = MakeBoolean(DispatchPut(state->window->Control(), "Base", ControlValue::OfText(wide)));
}

int FormMethod(ScriptContext* context, NativeClass* klass, void* data, int member, Value* out,
               Value* args) {
    if (!data) return 1;
    FormState* state = static_cast<FormData*>(data)->state;
    switch (member) {
        case kShow: *out = Show(context, klass, state, args); break;
        case kClose:
            if (FormIsOpen(state)) state->window->Close();
            break;
        case kSetBase: SetBase(context, state, args, out); break;
        default: {
            if (!FormIsOpen(state)) break;
            PlayerPort port = DispatchPlayerPort(state->window->Control());
            CallPlayerMethodByName(context, port, kPlayerMethods[member - kGetVariable], args, out);
            break;
        }
    }
    return 1;
}

std::string* TextField(FormOptions& options, int member) {
    switch (member) {
        case kMovie: return &options.movie;
        case kCaption: return &options.caption;
        case kInitVars: return &options.flashVars;
        case kClipRegion: return &options.clipRegion;
        default: return nullptr;
    }
}

int FormProperty(ScriptContext* context, NativeClass*, void* data, int member, int isSet,
                 Value* io) {
    if (!data) return 0;
    FormState* state = static_cast<FormData*>(data)->state;
    FormOptions& options = state->options;
    if (std::string* text = TextField(options, member)) {
        if (!isSet) {
            *io = AnsiString(context, *text);
        } else if (io->tag == ValueTag::String) {
            BoundedAnsi(context, *io, member == kInitVars ? 65535 : kMaxPathText, *text);
        }
        return 1;
    }
    switch (member) {
        case kShowCaption:
        case kCanDrag: {
            bool& flag = member == kShowCaption ? options.showCaption : options.canDrag;
            if (isSet)
                flag = ToBoolean(context, *io) != 0;
            else
                *io = MakeBoolean(flag);
            break;
        }
        case kOnExit:
            if (!isSet)
                *io = state->onExit.tag == ValueTag::Function ? state->onExit : MakeNull();
            else if (io->tag == ValueTag::Function)
                state->onExit = *io;
            break;
    }
    return 1;
}

void ConstructForm(ScriptContext* context, NativeClass* klass, Value*, Value* out) {
    auto* data = NewInstanceOf<FormData>(context, klass, out);
    data->state = new FormState;
    data->state->context = context;
    data->state->self = *out;
    data->state->onExit = MakeNull();
}

void FinalizeForm(NativeClass*, void* data) {
    if (!data) return;
    FormState* state = static_cast<FormData*>(data)->state;
    if (!state) return;
    state->released = true;
    state->onExit = MakeNull();
    // A modal form's window lives on the stack of show(), which is still
    // running when the state is kept for it.
    if (state->calls == 0) delete state;
}

void MarkForm(NativeClass*, void* data) {
    if (data && static_cast<FormData*>(data)->state)
        GcMarkValue(static_cast<FormData*>(data)->state->onExit);
}

const ClassSpec kFormClass = {
    .name = "Form",
    .text = u"[object Form]",
    .about =
        "A movie dialog with a player of its own, modal or modeless; made with new "
        "Form(), its movie and options set before show().",
    .methods = kMethods,
    .method = FormMethod,
    .properties = kProperties,
    .property = FormProperty,
    .construct = ConstructForm,
    .finalize = FinalizeForm,
    .mark = MarkForm,
    .instanceSize = sizeof(FormData),
};

}  // namespace

void RegisterFormClass(ScriptContext* context) { DefineClass(context, kFormClass); }

}  // namespace kelpo
