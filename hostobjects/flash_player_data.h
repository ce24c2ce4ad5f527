// What the FlashPlayer class keeps (its class data) and the operations its
// files share: the binding tables and the conversions between script values
// and the control's values.
#pragma once

#include <string>

#include "hostobjects/data_binding.h"
#include "hostobjects/player_port.h"
#include "runtime/native.h"

namespace kelpo {

struct FlashPlayerData {
    DataBindings bindings;
    Value movieClipClass = MakeUndefined();  // set when MovieClip registers
};

// The data of a FlashPlayer class; null for any other class.
FlashPlayerData* FlashPlayerDataOf(NativeClass* klass);

// A bound variable's cached value or a clip path's new MovieClip for a full
// dotted name; false when the name is neither.
bool ReadBinding(ScriptContext* context, FlashPlayerData* data, const std::u16string& name,
                 Value* out);
// True when the name is a bound variable (its cached value is replaced).
bool WriteBinding(FlashPlayerData* data, const std::u16string& name, const Value& value);

// A MovieClip value for a path (Undefined before MovieClip registered).
Value NewMovieClip(ScriptContext* context, FlashPlayerData* data, const std::u16string& path);

// The text of an atom's name.
std::u16string AtomText(ScriptContext* context, Atom atom);

// A value the control returned, as a script value.
Value ScriptValueOf(ScriptContext* context, const ControlValue& value);

// The control calls the transfer methods make: GetVariable and SetVariable.
bool ReadMovieVariable(const PlayerPort& port, const std::u16string& name, std::u16string& text);
bool WriteMovieVariable(const PlayerPort& port, const std::u16string& name,
                        const std::u16string& text);

// The data methods: updateData, getArray, putArray, getObject, putObject,
// movieToWindow, getMovieInfo. Each writes `out` (Undefined by default).
void UpdateData(ScriptContext* context, const PlayerPort& port, FlashPlayerData* data, Value* args,
                Value* out);
void GetArray(ScriptContext* context, const PlayerPort& port, Value* args, Value* out);
void PutArray(ScriptContext* context, const PlayerPort& port, Value* args, Value* out);
void GetObject(ScriptContext* context, const PlayerPort& port, Value* args, Value* out);
void PutObject(ScriptContext* context, const PlayerPort& port, Value* args, Value* out);
void MovieToWindow(ScriptContext* context, const PlayerPort& port, Value* args, Value* out);
void GetMovieInfo(ScriptContext* context, Value* args, Value* out);

// A FlashPlayer control method by its script name ("getVariable",
// "targetGotoFrame") on any player port, with FlashPlayer's argument rules
// and results; false when FlashPlayer has no such control method. Forms
// call their own players through it.
bool CallPlayerMethodByName(ScriptContext* context, const PlayerPort& port, const char* name,
                            Value* args, Value* out);

}  // namespace kelpo
