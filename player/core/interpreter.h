// The action interpreter's state and entry points. One Interpreter runs one
// outside request (a frame's action block, a button's actions, a host
// call): its step budget and call depth bound everything that request does,
// including the functions it calls.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "player/core/player_state.h"

namespace kelpo::player {

constexpr size_t kStepBudget = 1000000;
constexpr int kMaxCallDepth = 64;
constexpr size_t kMaxStack = 1u << 16;
// Queued frame action blocks run per outside call, at most.
constexpr size_t kMaxQueuedBlocks = 10000;

struct WithScope {
    Value object;
    size_t end;  // the scope ends when the program counter reaches this
};

// One running block or function call.
struct CallFrame {
    Instance* original = nullptr;  // the clip the code belongs to
    Instance* target = nullptr;    // changed by SetTarget; null when the target was not found
    Object* locals = nullptr;      // function calls: the activation object
    Value thisValue;
    std::vector<Value> registers = std::vector<Value>(4);
    std::vector<WithScope> withs;
    std::shared_ptr<const std::vector<std::string>> constants;
    std::vector<Value> stack;
    Value result;
};

struct Interpreter {
    Player& player;
    size_t steps = 0;
    int depth = 0;
    bool aborted = false;
};

// The clip that names are looked up on: the target, or the code's own clip
// when SetTarget named nothing.
Instance* ScopeClip(const CallFrame& frame);
CallFrame FrameOn(Instance* clip);

void ExecuteBlock(Interpreter& in, CallFrame& frame, const ActionBlock& block);
// Runs a block on a clip with a fresh budget; returns the steps it took.
size_t RunActionBlock(Player& player, Instance* clip, const ActionBlock& block);
// Runs the queued frame actions, including those queued while running.
void RunQueuedActions(Player& player);
// Runs the action blocks of a clip's frame now (the Call action, TCallFrame).
void CallFrameActions(Interpreter& in, Instance& clip, int frame);
Value CallFunctionValue(Interpreter& in, const Value& function, const Value& self,
                        std::vector<Value>& args);
// Creates an object the way `new` does; undefined when `constructor` cannot construct.
Value Construct(Interpreter& in, const Value& constructor, std::vector<Value>& args);

// Variables and members (variables.cpp).
Instance* ClipOf(Player& player, const Value& value);
Value GetMemberValue(Interpreter& in, const Value& object, const std::string& name,
                     bool* found = nullptr);
void SetMemberValue(Interpreter& in, const Value& object, const std::string& name,
                    const Value& value);
bool DeleteMember(Interpreter& in, const Value& object, const std::string& name);
Value GetVariableValue(Interpreter& in, CallFrame& frame, const std::string& name,
                       bool* found = nullptr);
void SetVariableValue(Interpreter& in, CallFrame& frame, const std::string& name,
                      const Value& value);
void DefineLocalValue(Interpreter& in, CallFrame& frame, const std::string& name,
                      const Value& value);
bool DeleteVariable(Interpreter& in, CallFrame& frame, const std::string& name);
// Member names for Enumerate, in a stable order.
std::vector<std::string> MemberNames(Interpreter& in, const Value& object);
Object* NewArray(Player& player);

// The built-in objects and functions (builtins.cpp).
void InstallBuiltins(Player& player);

}  // namespace kelpo::player
