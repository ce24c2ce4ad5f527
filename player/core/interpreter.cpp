// The action interpreter: one dispatch loop over an action block. Every
// record is checked against the block before it is read; a record that does
// not fit, a jump outside the block or an exhausted budget ends the block
// (and, for the budget, everything the outside request started).
#include "player/core/interpreter.h"

#include <cctype>
#include <cmath>

#include "player/core/action_codes.h"
#include "player/core/bit_reader.h"
#include "player/core/display_list.h"
#include "player/core/operators.h"
#include "player/core/properties.h"
#include "player/core/targets.h"

namespace kelpo::player {

namespace {

struct TrySkip {
    size_t at;  // end of a try block
    size_t to;  // end of its catch block: catch blocks run only for throws, which end the block
};

Value Pop(CallFrame& frame) {
    if (frame.stack.empty()) return Undefined();
    Value v = std::move(frame.stack.back());
    frame.stack.pop_back();
    return v;
}

bool Push(Interpreter& in, CallFrame& frame, Value v) {
    // Long strings cost steps by their length, so copying them cannot outlast the budget.
    in.steps += v.text.size() / 64;
    if (frame.stack.size() >= kMaxStack) {
        in.aborted = true;
        return false;
    }
    frame.stack.push_back(std::move(v));
    return true;
}

Value Flag(const Interpreter& in, bool on) {
    return in.player.version >= 5 ? Bool(on) : Number(on ? 1 : 0);
}

// Pops an argument count and that many values (first popped is first argument).
std::vector<Value> PopArguments(CallFrame& frame, int version) {
    double n = ToNumber(Pop(frame), version);
    size_t count =
        n > 0 && n < static_cast<double>(frame.stack.size()) + 1 ? static_cast<size_t>(n) : 0;
    std::vector<Value> args;
    args.reserve(count);
    for (size_t i = 0; i < count; ++i) args.push_back(Pop(frame));
    return args;
}

bool IsFsCommand(const std::string& url) {
    static const char kPrefix[] = "fscommand:";
    if (url.size() < sizeof kPrefix - 1) return false;
    for (size_t i = 0; i < sizeof kPrefix - 1; ++i)
        if (std::tolower(static_cast<unsigned char>(url[i])) != kPrefix[i]) return false;
    return true;
}

void GetUrl(Player& player, const std::string& url, const std::string& target) {
    if (IsFsCommand(url)) {
        if (player.host.fsCommand) player.host.fsCommand(player.host.user, url.substr(10), target);
    } else if (player.host.getUrl) {
        player.host.getUrl(player.host.user, url, target);
    }
}

Instance* TargetOf(Interpreter& in, CallFrame& frame, const Value& v) {
    if (v.type == ValueType::Clip) return ClipOf(in.player, v);
    std::string path = ToString(v, in.player.version);
    if (path.empty()) return ScopeClip(frame);
    return ResolveTarget(in.player, ScopeClip(frame), path);
}

void Goto(Interpreter& in, Instance* clip, int frame, bool play) {
    if (!clip || !clip->timeline) return;
    in.steps += GotoFrameOf(in.player, *clip, frame);
    clip->playing = play;
}

// GotoFrame2 and Call name a frame as a number (1-based), a label, or "target:frame".
bool FrameOfValue(Interpreter& in, CallFrame& frame, const Value& v, Instance*& clip, int& index) {
    clip = ScopeClip(frame);
    if (v.type != ValueType::String) {
        double n = ToNumber(v, in.player.version);
        if (!std::isfinite(n)) return false;
        index = static_cast<int>(std::fmax(-1e9, std::fmin(1e9, n))) - 1;
        return clip != nullptr;
    }
    std::string text = v.text;
    size_t colon = text.rfind(':');
    if (colon != std::string::npos) {
        clip = ResolveTarget(in.player, ScopeClip(frame), text.substr(0, colon));
        text = text.substr(colon + 1);
    }
    if (!clip) return false;
    double n = StringToNumber(text, 7);
    if (std::isfinite(n) && !text.empty()) {
        index = static_cast<int>(std::fmax(-1e9, std::fmin(1e9, n))) - 1;
        return true;
    }
    index = FindLabel(*clip, text);
    return index >= 0;
}

Object* MakeFunctionObject(Interpreter& in) {
    Object* fn = NewObject(in.player);
    if (!fn) return nullptr;
    fn->className = "Function";
    fn->proto = in.player.functionPrototype;
    if (Object* prototype = NewObject(in.player)) {
        prototype->members["constructor"] = ObjectValue(fn);
        fn->members["prototype"] = ObjectValue(prototype);
    }
    return fn;
}

std::string Substring(const std::string& s, double index1, double count) {
    // Positions count from 1; what lies outside the text is cut off.
    if (!std::isfinite(index1)) index1 = 1;
    if (std::isnan(count) || count < 0) count = static_cast<double>(s.size());
    double start = std::fmax(0, std::trunc(index1) - 1);
    if (start >= static_cast<double>(s.size())) return "";
    size_t from = static_cast<size_t>(start);
    size_t n =
        static_cast<size_t>(std::fmin(static_cast<double>(s.size() - from), std::trunc(count)));
    return s.substr(from, n);
}

void SkipActions(const uint8_t* code, size_t length, size_t& pc, int count) {
    for (int i = 0; i < count && pc < length; ++i) {
        uint8_t op = code[pc];
        if (op < 0x80) {
            ++pc;
        } else if (pc + 3 <= length) {
            pc += 3 + static_cast<size_t>(code[pc + 1] | code[pc + 2] << 8);
        } else {
            pc = length;
        }
    }
}

// True when the constructor's prototype is on the object's prototype chain
// (searched at most 64 links deep, so a cyclic chain ends).
bool InheritsFrom(Interpreter& in, const Value& object, const Value& constructor) {
    Value prototype = GetMemberValue(in, constructor, "prototype");
    if (object.type != ValueType::Object || prototype.type != ValueType::Object) return false;
    int hops = 0;
    for (Object* o = object.object->proto; o && hops < 64; o = o->proto, ++hops)
        if (o == prototype.object) return true;
    return false;
}

}  // namespace

Instance* ScopeClip(const CallFrame& frame) { return frame.target ? frame.target : frame.original; }

CallFrame FrameOn(Instance* clip) {
    CallFrame frame;
    frame.original = clip;
    frame.target = clip;
    return frame;
}

void ExecuteBlock(Interpreter& in, CallFrame& frame, const ActionBlock& block) {
    if (!block.bytes || block.offset > block.bytes->size() ||
        block.length > block.bytes->size() - block.offset)
        return;
    Player& player = in.player;
    const int version = player.version;
    const uint8_t* code = block.bytes->data() + block.offset;
    const size_t length = block.length;
    std::vector<TrySkip> trySkips;
    size_t pc = 0;
    while (pc < length && !in.aborted) {
        if (++in.steps > kStepBudget) {
            in.aborted = true;
            return;
        }
        while (!frame.withs.empty() && pc >= frame.withs.back().end) frame.withs.pop_back();
        for (size_t i = trySkips.size(); i-- > 0;)
            if (trySkips[i].at == pc) {
                pc = trySkips[i].to;
                trySkips.erase(trySkips.begin() + static_cast<long>(i));
            }
        if (pc >= length) break;
        uint8_t op = code[pc];
        size_t dataLength = 0, data = pc + 1;
        if (op >= 0x80) {
            if (pc + 3 > length) return;
            dataLength = code[pc + 1] | code[pc + 2] << 8;
            data = pc + 3;
            if (dataLength > length - data) return;
        }
        size_t next = data + dataLength;
        ByteReader r = MakeReader(code + data, dataLength);
        Instance* target = frame.target;

        switch (op) {
            case kActionEnd: return;
            case kActionNextFrame:
                if (target) Goto(in, target, target->frame + 1, false);
                break;
            case kActionPrevFrame:
                if (target) Goto(in, target, target->frame - 1, false);
                break;
            case kActionPlay:
                if (target) target->playing = true;
                break;
            case kActionStop:
                if (target) target->playing = false;
                break;
            case kActionToggleQuality: player.highQuality = !player.highQuality; break;
            case kActionStopSounds:
            case kActionEndDrag: break;
            case kActionGotoFrame: {
                int frameIndex = ReadU16(r);
                if (target) Goto(in, target, frameIndex, false);
                break;
            }
            case kActionGotoLabel: {
                std::string label = ReadString(r);
                int frameIndex = target ? FindLabel(*target, label) : -1;
                if (frameIndex >= 0) Goto(in, target, frameIndex, false);
                break;
            }
            case kActionGetUrl: {
                std::string url = ReadString(r);
                std::string window = ReadString(r);
                GetUrl(player, url, window);
                break;
            }
            case kActionGetUrl2: {
                ReadU8(r);  // method and load flags: the host decides what a URL does
                std::string window = ToString(Pop(frame), version);
                std::string url = ToString(Pop(frame), version);
                GetUrl(player, url, window);
                break;
            }
            case kActionSetTarget: {
                std::string path = ReadString(r);
                frame.target =
                    path.empty() ? frame.original : ResolveTarget(player, frame.original, path);
                break;
            }
            case kActionSetTarget2: {
                Value v = Pop(frame);
                bool empty = v.type != ValueType::Clip && ToString(v, version).empty();
                frame.target =
                    empty ? frame.original
                          : (v.type == ValueType::Clip
                                 ? ClipOf(player, v)
                                 : ResolveTarget(player, frame.original, ToString(v, version)));
                break;
            }
            case kActionWaitForFrame: {
                int frameIndex = ReadU16(r);
                int skip = ReadU8(r);
                Instance* clip = ScopeClip(frame);
                int loaded = clip ? GetProperty(player, *clip, 12).number : 0;
                pc = next;
                if (frameIndex >= loaded) SkipActions(code, length, pc, skip);
                continue;
            }
            case kActionWaitForFrame2: {
                int skip = ReadU8(r);
                Value f = Pop(frame);
                Instance* clip = nullptr;
                int frameIndex = 0;
                bool known = FrameOfValue(in, frame, f, clip, frameIndex);
                int loaded = clip ? GetProperty(player, *clip, 12).number : 0;
                pc = next;
                if (!known || frameIndex >= loaded) SkipActions(code, length, pc, skip);
                continue;
            }
            case kActionPush:
                while (Remaining(r) > 0 && !r.failed) {
                    uint8_t type = ReadU8(r);
                    Value v;
                    switch (type) {
                        case 0: v = String(ReadString(r)); break;
                        case 1: v = Number(ReadFloat(r)); break;
                        case 2: v = Null(); break;
                        case 3: v = Undefined(); break;
                        case 4: {
                            size_t reg = ReadU8(r);
                            if (reg < frame.registers.size()) v = frame.registers[reg];
                            break;
                        }
                        case 5: v = Bool(ReadU8(r) != 0); break;
                        case 6: v = Number(ReadActionDouble(r)); break;
                        case 7: v = Number(static_cast<int32_t>(ReadU32(r))); break;
                        case 8:
                        case 9: {
                            size_t index = type == 8 ? ReadU8(r) : ReadU16(r);
                            if (frame.constants && index < frame.constants->size())
                                v = String((*frame.constants)[index]);
                            break;
                        }
                        default: return;  // an unknown type: the rest cannot be read
                    }
                    if (r.failed) return;
                    if (!Push(in, frame, std::move(v))) return;
                }
                break;
            case kActionPop: Pop(frame); break;
            case kActionAdd:
            case kActionSubtract:
            case kActionMultiply:
            case kActionDivide: {
                double b = ToNumber(Pop(frame), version), a = ToNumber(Pop(frame), version);
                if (version < 5) {
                    if (std::isnan(a)) a = 0;
                    if (std::isnan(b)) b = 0;
                }
                if (op == kActionDivide && b == 0 && version < 5) {
                    Push(in, frame, String("#ERROR#"));
                    break;
                }
                double result = op == kActionAdd        ? a + b
                                : op == kActionSubtract ? a - b
                                : op == kActionMultiply ? a * b
                                                        : a / b;
                Push(in, frame, Number(result));
                break;
            }
            case kActionEquals:
            case kActionLess: {
                double b = ToNumber(Pop(frame), version), a = ToNumber(Pop(frame), version);
                Push(in, frame, Flag(in, op == kActionEquals ? a == b : a < b));
                break;
            }
            case kActionAnd:
            case kActionOr: {
                bool b = ToBoolean(Pop(frame), version), a = ToBoolean(Pop(frame), version);
                Push(in, frame, Flag(in, op == kActionAnd ? a && b : a || b));
                break;
            }
            case kActionNot: Push(in, frame, Flag(in, !ToBoolean(Pop(frame), version))); break;
            case kActionStringEquals:
            case kActionStringLess:
            case kActionStringGreater: {
                std::string b = ToString(Pop(frame), version), a = ToString(Pop(frame), version);
                bool result = op == kActionStringEquals ? a == b
                              : op == kActionStringLess ? a < b
                                                        : a > b;
                Push(in, frame, Flag(in, result));
                break;
            }
            case kActionStringLength:
            case kActionMBStringLength:
                Push(in, frame, Number(static_cast<double>(ToString(Pop(frame), version).size())));
                break;
            case kActionStringAdd: {
                std::string b = ToString(Pop(frame), version), a = ToString(Pop(frame), version);
                Push(in, frame, String(a + b));
                break;
            }
            case kActionStringExtract:
            case kActionMBStringExtract: {
                double count = ToNumber(Pop(frame), version), index = ToNumber(Pop(frame), version);
                std::string s = ToString(Pop(frame), version);
                Push(in, frame, String(Substring(s, index, count)));
                break;
            }
            case kActionToInteger: {
                double n = ToNumber(Pop(frame), version);
                Push(in, frame, Number(std::isfinite(n) ? std::trunc(n) : (std::isnan(n) ? 0 : n)));
                break;
            }
            case kActionCharToAscii: {
                std::string s = ToString(Pop(frame), version);
                Push(in, frame, Number(s.empty() ? 0 : static_cast<uint8_t>(s[0])));
                break;
            }
            case kActionMBCharToAscii:
                Push(in, frame, Number(FirstCharacterCode(ToString(Pop(frame), version))));
                break;
            case kActionAsciiToChar:
            case kActionMBAsciiToChar: {
                double n = ToNumber(Pop(frame), version);
                uint32_t c =
                    std::isfinite(n) && n > 0 ? static_cast<uint32_t>(std::fmin(n, 0x10FFFF)) : 0;
                Push(in, frame, String(c == 0 ? std::string() : CharacterFromCode(c)));
                break;
            }
            case kActionJump:
            case kActionIf: {
                int offset = ReadS16(r);
                if (r.failed) return;
                bool taken = op == kActionJump || ToBoolean(Pop(frame), version);
                if (taken) {
                    long destination = static_cast<long>(next) + offset;
                    if (destination < 0 || static_cast<size_t>(destination) > length) return;
                    pc = static_cast<size_t>(destination);
                    continue;
                }
                break;
            }
            case kActionCall: {
                Instance* clip = nullptr;
                int frameIndex = 0;
                if (FrameOfValue(in, frame, Pop(frame), clip, frameIndex))
                    CallFrameActions(in, *clip, frameIndex);
                break;
            }
            case kActionGetVariable: {
                std::string name = ToString(Pop(frame), version);
                Push(in, frame, GetVariableValue(in, frame, name));
                break;
            }
            case kActionSetVariable: {
                Value value = Pop(frame);
                SetVariableValue(in, frame, ToString(Pop(frame), version), value);
                break;
            }
            case kActionGotoFrame2: {
                uint8_t flags = ReadU8(r);
                int bias = (flags & 2) ? ReadU16(r) : 0;
                Instance* clip = nullptr;
                int frameIndex = 0;
                if (FrameOfValue(in, frame, Pop(frame), clip, frameIndex))
                    Goto(in, clip, frameIndex + bias, flags & 1);
                break;
            }
            case kActionGetProperty: {
                double index = ToNumber(Pop(frame), version);
                Instance* clip = TargetOf(in, frame, Pop(frame));
                bool valid = clip && index >= 0 && index < kPropertyCount;
                Push(in, frame,
                     valid ? GetProperty(player, *clip, static_cast<int>(index)) : Undefined());
                break;
            }
            case kActionSetProperty: {
                Value value = Pop(frame);
                double index = ToNumber(Pop(frame), version);
                Instance* clip = TargetOf(in, frame, Pop(frame));
                if (clip && index >= 0 && index < kPropertyCount)
                    SetProperty(player, *clip, static_cast<int>(index), value);
                break;
            }
            case kActionCloneSprite: {
                double depth = ToNumber(Pop(frame), version);
                std::string name = ToString(Pop(frame), version);
                Instance* source = TargetOf(in, frame, Pop(frame));
                if (source && std::isfinite(depth) && std::fabs(depth) < 1e7)
                    DuplicateClip(player, *source, name, static_cast<int>(depth));
                break;
            }
            case kActionRemoveSprite: {
                Instance* clip = TargetOf(in, frame, Pop(frame));
                if (clip && clip->dynamic) RemoveInstance(player, *clip);
                break;
            }
            case kActionTrace: {
                Value v = Pop(frame);
                std::string text =
                    v.type == ValueType::Undefined ? "undefined" : ToString(v, version);
                if (player.host.trace) player.host.trace(player.host.user, text);
                break;
            }
            case kActionStartDrag: {
                Pop(frame);
                Pop(frame);
                if (ToBoolean(Pop(frame), version))
                    for (int i = 0; i < 4; ++i) Pop(frame);
                break;
            }
            case kActionRandomNumber: {
                double max = ToNumber(Pop(frame), version);
                uint64_t& s = player.randomState;
                s ^= s << 13;
                s ^= s >> 7;
                s ^= s << 17;
                double unit = static_cast<double>(s >> 11) / 9007199254740992.0;
                Push(
                    in, frame,
                    Number(std::isfinite(max) && max > 0 ? std::floor(unit * std::trunc(max)) : 0));
                break;
            }
            case kActionGetTime: {
                Push(in, frame, Number(std::floor(ElapsedMilliseconds(player))));
                break;
            }
            case kActionThrow:
                in.aborted = true;  // uncaught: the request ends
                return;
            case kActionTry: {
                uint8_t flags = ReadU8(r);
                size_t trySize = ReadU16(r), catchSize = ReadU16(r), finallySize = ReadU16(r);
                if (flags & 4)
                    ReadU8(r);
                else
                    ReadString(r);
                if (r.failed || trySize + catchSize + finallySize > length - next) return;
                if (flags & 1)
                    trySkips.push_back(TrySkip{next + trySize, next + trySize + catchSize});
                break;
            }
            case kActionCastOp: {
                Value object = Pop(frame);
                Value constructor = Pop(frame);
                bool is = InheritsFrom(in, object, constructor);
                Push(in, frame, is ? object : Null());
                break;
            }
            case kActionImplementsOp: {
                Pop(frame);
                PopArguments(frame, version);
                break;
            }
            case kActionDelete: {
                std::string name = ToString(Pop(frame), version);
                Value object = Pop(frame);
                Push(in, frame, Bool(DeleteMember(in, object, name)));
                break;
            }
            case kActionDelete2:
                Push(in, frame, Bool(DeleteVariable(in, frame, ToString(Pop(frame), version))));
                break;
            case kActionDefineLocal: {
                Value value = Pop(frame);
                DefineLocalValue(in, frame, ToString(Pop(frame), version), value);
                break;
            }
            case kActionDefineLocal2: {
                std::string name = ToString(Pop(frame), version);
                if (frame.locals) {
                    if (!frame.locals->members.count(name))
                        frame.locals->members[name] = Undefined();
                } else {
                    bool found = false;
                    GetVariableValue(in, frame, name, &found);
                    if (!found) SetVariableValue(in, frame, name, Undefined());
                }
                break;
            }
            case kActionCallFunction: {
                std::string name = ToString(Pop(frame), version);
                std::vector<Value> args = PopArguments(frame, version);
                Value function = GetVariableValue(in, frame, name);
                Instance* clip = ScopeClip(frame);
                Value self = clip ? ClipValue(DotPath(*clip)) : Undefined();
                Push(in, frame, CallFunctionValue(in, function, self, args));
                break;
            }
            case kActionCallMethod: {
                Value nameValue = Pop(frame);
                Value object = Pop(frame);
                std::vector<Value> args = PopArguments(frame, version);
                std::string name = ToString(nameValue, version);
                Value result;
                if (nameValue.type == ValueType::Undefined || name.empty())
                    result = CallFunctionValue(in, object, Undefined(), args);
                else
                    result = CallFunctionValue(in, GetMemberValue(in, object, name), object, args);
                Push(in, frame, std::move(result));
                break;
            }
            case kActionReturn: frame.result = Pop(frame); return;
            case kActionModulo: {
                double b = ToNumber(Pop(frame), version), a = ToNumber(Pop(frame), version);
                Push(in, frame, Number(std::fmod(a, b)));
                break;
            }
            case kActionNewObject: {
                std::string name = ToString(Pop(frame), version);
                std::vector<Value> args = PopArguments(frame, version);
                Push(in, frame, Construct(in, GetVariableValue(in, frame, name), args));
                break;
            }
            case kActionNewMethod: {
                Value nameValue = Pop(frame);
                Value object = Pop(frame);
                std::vector<Value> args = PopArguments(frame, version);
                std::string name = ToString(nameValue, version);
                Value constructor = nameValue.type == ValueType::Undefined || name.empty()
                                        ? object
                                        : GetMemberValue(in, object, name);
                Push(in, frame, Construct(in, constructor, args));
                break;
            }
            case kActionInitArray: {
                std::vector<Value> elements = PopArguments(frame, version);
                Object* array = NewArray(player);
                if (array) array->elements = std::move(elements);
                Push(in, frame, ObjectValue(array));
                break;
            }
            case kActionInitObject: {
                double n = ToNumber(Pop(frame), version);
                size_t count = n > 0 && n <= static_cast<double>(frame.stack.size()) / 2
                                   ? static_cast<size_t>(n)
                                   : 0;
                Object* object = NewObject(player);
                for (size_t i = 0; i < count; ++i) {
                    Value value = Pop(frame);
                    std::string name = ToString(Pop(frame), version);
                    if (object) object->members[name] = value;
                }
                Push(in, frame, ObjectValue(object));
                break;
            }
            case kActionTypeOf: Push(in, frame, String(TypeName(Pop(frame)))); break;
            case kActionTargetPath: {
                Instance* clip = ClipOf(player, Pop(frame));
                Push(in, frame, clip ? String(DotPath(*clip)) : Undefined());
                break;
            }
            case kActionEnumerate:
            case kActionEnumerate2: {
                Value object = Pop(frame);
                if (op == kActionEnumerate)
                    object = GetVariableValue(in, frame, ToString(object, version));
                std::vector<std::string> names = MemberNames(in, object);
                if (!Push(in, frame, Null())) return;
                for (auto& name : names)
                    if (!Push(in, frame, String(name))) return;
                break;
            }
            case kActionAdd2: {
                Value b = Pop(frame), a = Pop(frame);
                Push(in, frame, AddValues(a, b, version));
                break;
            }
            case kActionLess2:
            case kActionGreater: {
                Value b = Pop(frame), a = Pop(frame);
                Push(in, frame,
                     op == kActionLess2 ? LessThan(a, b, version) : LessThan(b, a, version));
                break;
            }
            case kActionEquals2: {
                Value b = Pop(frame), a = Pop(frame);
                Push(in, frame, Bool(LooseEquals(a, b, version)));
                break;
            }
            case kActionStrictEquals: {
                Value b = Pop(frame), a = Pop(frame);
                Push(in, frame, Bool(StrictEquals(a, b)));
                break;
            }
            case kActionToNumber: Push(in, frame, Number(ToNumber(Pop(frame), version))); break;
            case kActionToString: Push(in, frame, String(ToString(Pop(frame), version))); break;
            case kActionPushDuplicate: {
                Value top = frame.stack.empty() ? Undefined() : frame.stack.back();
                Push(in, frame, std::move(top));
                break;
            }
            case kActionStackSwap: {
                Value b = Pop(frame), a = Pop(frame);
                Push(in, frame, std::move(b));
                Push(in, frame, std::move(a));
                break;
            }
            case kActionGetMember: {
                std::string name = ToString(Pop(frame), version);
                Value object = Pop(frame);
                Push(in, frame, GetMemberValue(in, object, name));
                break;
            }
            case kActionSetMember: {
                Value value = Pop(frame);
                std::string name = ToString(Pop(frame), version);
                SetMemberValue(in, Pop(frame), name, value);
                break;
            }
            case kActionIncrement:
            case kActionDecrement:
                Push(in, frame,
                     Number(ToNumber(Pop(frame), version) + (op == kActionIncrement ? 1 : -1)));
                break;
            case kActionInstanceOf: {
                Value constructor = Pop(frame);
                Value object = Pop(frame);
                bool is = InheritsFrom(in, object, constructor);
                Push(in, frame, Bool(is));
                break;
            }
            case kActionExtends: {
                Value superclass = Pop(frame);
                Value subclass = Pop(frame);
                Value superPrototype = GetMemberValue(in, superclass, "prototype");
                if (subclass.type == ValueType::Object) {
                    if (Object* prototype = NewObject(player)) {
                        if (superPrototype.type == ValueType::Object)
                            prototype->proto = superPrototype.object;
                        prototype->members["__constructor__"] = superclass;
                        subclass.object->members["prototype"] = ObjectValue(prototype);
                    }
                }
                break;
            }
            case kActionBitAnd:
            case kActionBitOr:
            case kActionBitXor:
            case kActionBitLShift:
            case kActionBitRShift:
            case kActionBitURShift: {
                int32_t b = ToInt32(ToNumber(Pop(frame), version)),
                        a = ToInt32(ToNumber(Pop(frame), version));
                uint32_t ua = static_cast<uint32_t>(a), shift = static_cast<uint32_t>(b) & 31;
                double result = 0;
                switch (op) {
                    case kActionBitAnd: result = a & b; break;
                    case kActionBitOr: result = a | b; break;
                    case kActionBitXor: result = a ^ b; break;
                    case kActionBitLShift: result = static_cast<int32_t>(ua << shift); break;
                    case kActionBitRShift: result = a >> shift; break;
                    default: result = ua >> shift; break;
                }
                Push(in, frame, Number(result));
                break;
            }
            case kActionStoreRegister: {
                size_t reg = ReadU8(r);
                if (reg < frame.registers.size())
                    frame.registers[reg] = frame.stack.empty() ? Undefined() : frame.stack.back();
                break;
            }
            case kActionConstantPool: {
                size_t count = ReadU16(r);
                auto pool = std::make_shared<std::vector<std::string>>();
                for (size_t i = 0; i < count && !r.failed; ++i) {
                    std::string s = ReadString(r);
                    if (!r.failed) pool->push_back(std::move(s));
                }
                frame.constants = std::move(pool);
                break;
            }
            case kActionDefineFunction:
            case kActionDefineFunction2: {
                auto function = std::make_unique<ScriptFunction>();
                std::string name = ReadString(r);
                size_t params = ReadU16(r);
                if (op == kActionDefineFunction2) {
                    function->second = true;
                    function->registerCount = ReadU8(r);
                    function->flags = ReadU16(r);
                }
                for (size_t i = 0; i < params && !r.failed; ++i) {
                    uint8_t reg = op == kActionDefineFunction2 ? ReadU8(r) : 0;
                    function->paramRegisters.push_back(reg);
                    function->params.push_back(ReadString(r));
                }
                size_t bodyLength = ReadU16(r);
                if (r.failed || bodyLength > length - next) return;
                function->code = ActionBlock{block.bytes, block.offset + next, bodyLength};
                function->constants = frame.constants;
                Instance* clip = ScopeClip(frame);
                function->clipPath = clip ? DotPath(*clip) : "";
                function->closure = frame.locals;
                Object* fn = MakeFunctionObject(in);
                if (fn) fn->function = std::move(function);
                if (name.empty())
                    Push(in, frame, ObjectValue(fn));
                else
                    DefineLocalValue(in, frame, name, ObjectValue(fn));
                pc = next + bodyLength;
                continue;
            }
            case kActionWith: {
                size_t size = ReadU16(r);
                Value object = Pop(frame);
                if (r.failed || size > length - next) return;
                if (frame.withs.size() >= 16) return;
                frame.withs.push_back(WithScope{object, next + size});
                break;
            }
            default: break;  // not supported: skipped by its length
        }
        pc = next;
    }
}

void CallFrameActions(Interpreter& in, Instance& clip, int frame) {
    if (!clip.timeline || frame < 0 || static_cast<size_t>(frame) >= clip.timeline->frames.size())
        return;
    if (in.depth >= kMaxCallDepth) {
        in.aborted = true;
        return;
    }
    auto timeline = clip.timeline;  // the clip may be replaced while its frame runs
    ++in.depth;
    for (const ActionBlock& block : timeline->frames[static_cast<size_t>(frame)].actions) {
        if (in.aborted || clip.removed) break;
        CallFrame callFrame = FrameOn(&clip);
        ExecuteBlock(in, callFrame, block);
    }
    --in.depth;
}

Value CallFunctionValue(Interpreter& in, const Value& function, const Value& self,
                        std::vector<Value>& args) {
    if (function.type != ValueType::Object || in.aborted) return Undefined();
    Object* fn = function.object;
    if (in.depth >= kMaxCallDepth) {
        in.aborted = true;
        return Undefined();
    }
    if (fn->native) {
        ++in.depth;
        Value result = fn->native(in, self, args);
        --in.depth;
        return result;
    }
    if (!fn->function) return Undefined();
    const ScriptFunction& script = *fn->function;
    Player& player = in.player;
    Instance* clip = ResolveTarget(player, nullptr, script.clipPath);
    if (!clip) clip = RootOf(player, 0);
    CallFrame frame = FrameOn(clip);
    frame.thisValue = self;
    frame.constants = script.constants;
    frame.locals = NewObject(player);
    if (!frame.locals) return Undefined();
    frame.locals->scopeParent = script.closure;
    Object* arguments = NewArray(player);
    if (arguments) arguments->elements = args;
    if (script.second) {
        frame.registers.assign(std::max(script.registerCount, 1), Undefined());
        size_t reg = 1;
        auto preload = [&](uint16_t bit, Value value) {
            if ((script.flags & bit) && reg < frame.registers.size())
                frame.registers[reg++] = std::move(value);
        };
        Value thisValue = self.type != ValueType::Undefined
                              ? self
                              : (clip ? ClipValue(DotPath(*clip)) : Undefined());
        preload(0x01, thisValue);
        preload(0x04, ObjectValue(arguments));
        preload(0x10, Undefined());  // super: classes are not modelled
        preload(0x40, clip ? ClipValue(DotPath(*LevelRoot(*clip))) : Undefined());
        preload(0x80, clip && clip->parent ? ClipValue(DotPath(*clip->parent)) : Undefined());
        preload(0x100, ObjectValue(player.global));
        if (!(script.flags & 0x08)) frame.locals->members["arguments"] = ObjectValue(arguments);
        for (size_t i = 0; i < script.params.size(); ++i) {
            Value arg = i < args.size() ? args[i] : Undefined();
            uint8_t target = script.paramRegisters[i];
            if (target != 0 && target < frame.registers.size())
                frame.registers[target] = arg;
            else
                frame.locals->members[script.params[i]] = arg;
        }
    } else {
        frame.locals->members["arguments"] = ObjectValue(arguments);
        for (size_t i = 0; i < script.params.size(); ++i)
            frame.locals->members[script.params[i]] = i < args.size() ? args[i] : Undefined();
    }
    ActionBlock code = script.code;  // the function object outlives nothing it needs
    ++in.depth;
    ExecuteBlock(in, frame, code);
    --in.depth;
    return frame.result;
}

Value Construct(Interpreter& in, const Value& constructor, std::vector<Value>& args) {
    if (constructor.type != ValueType::Object) return Undefined();
    Object* fn = constructor.object;
    if (fn->native) return CallFunctionValue(in, constructor, Undefined(), args);
    if (!fn->function) return Undefined();
    Object* made = NewObject(in.player);
    if (!made) return Undefined();
    Value prototype = GetMemberValue(in, constructor, "prototype");
    if (prototype.type == ValueType::Object) made->proto = prototype.object;
    made->members["__constructor__"] = constructor;
    Value result = CallFunctionValue(in, constructor, ObjectValue(made), args);
    return result.type == ValueType::Object ? result : ObjectValue(made);
}

size_t RunActionBlock(Player& player, Instance* clip, const ActionBlock& block) {
    if (!clip || clip->removed) return 0;
    Interpreter in{player};
    CallFrame frame = FrameOn(clip);
    ExecuteBlock(in, frame, block);
    return in.steps;
}

void RunQueuedActions(Player& player) {
    size_t ran = 0, steps = 0;
    size_t i = 0;
    while (i < player.queue.size()) {
        if (ran++ >= kMaxQueuedBlocks || steps >= kMaxOperationSteps) break;
        QueuedActions item = player.queue[i++];
        steps += RunActionBlock(player, item.clip, item.block);
    }
    player.queue.clear();
}

}  // namespace kelpo::player
