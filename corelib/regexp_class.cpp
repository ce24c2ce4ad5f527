// The RegExp class: construction (also of regular-expression constants),
// the per-instance members, exec/test/compile and the class-wide match
// properties. Searching lives in regexp_match.cpp; the String methods that
// take a RegExp in regexp_string_ops.cpp.
#include "corelib/regexp_class.h"

#include "corelib/classes.h"
#include "corelib/callback_roots.h"
#include "corelib/text_buffer.h"
#include "runtime/atoms.h"
#include "runtime/class_kit.h"
#include "runtime/convert.h"
#include "runtime/gc.h"
#include "runtime/native.h"
#include "runtime/strings.h"
#include "runtime/trace.h"

namespace kelpo {
namespace {

// In the order of RegExpProperty.
const MemberRow kPropertyNames[] = {
    {"$1", "String, read-only: the text of group 1 of the last match; null when it took no part"},
    {"$2", "String, read-only: the text of group 2 of the last match; null when it took no part"},
    {"$3", "String, read-only: the text of group 3 of the last match; null when it took no part"},
    {"$4", "String, read-only: the text of group 4 of the last match; null when it took no part"},
    {"$5", "String, read-only: the text of group 5 of the last match; null when it took no part"},
    {"$6", "String, read-only: the text of group 6 of the last match; null when it took no part"},
    {"$7", "String, read-only: the text of group 7 of the last match; null when it took no part"},
    {"$8", "String, read-only: the text of group 8 of the last match; null when it took no part"},
    {"$9", "String, read-only: the text of group 9 of the last match; null when it took no part"},
    {"$_", "String, read-only: the last input searched (as input)"},
    {"input", "String, read-only: the last input searched"},
    {"lastMatch", "String, read-only: the text of the last match"},
    {"lastParen", "String, read-only: the text of the last match's highest group that took part"},
    {"leftContext", "String, read-only: the last input's text before the last match"},
    {"multiline",
     "Boolean, read-only: whether the expression has the m flag (undefined on the "
     "class)"},
    {"rightContext", "String, read-only: the last input's text after the last match"},
    {"global", "Boolean, read-only: whether the expression has the g flag"},
    {"ignoreCase", "Boolean, read-only: whether the expression has the i flag"},
    {"lastIndex", "Integer: where the next search starts; an Integer sets it"},
    {"source", "String, read-only: the pattern text"},
};

enum Method { kToString, kValueOf, kCompile, kExec, kTest };
const MemberRow kMethodNames[] = {
    {"toString",
     "toString() -> String: \"/source/\" and the flags gim that are set; "
     "\"[Object RegExp]\" on the class"},
    {"valueOf", "valueOf() -> RegExp: the expression itself; the class's global on the class"},
    {"compile",
     "compile(pattern [, flags]) -> Boolean: replaces the pattern and flags; false "
     "when it does not compile (reported to the trace output)"},
    {"exec",
     "exec([text]) -> Array: searches text (else the last input) from lastIndex; the "
     "groups' texts with index and input, or null; re(text) does the same"},
    {"test", "test([text]) -> Boolean: whether exec would match"},
};

// Library flags: constructor and literals ask for the two extensions (no
// locale collation, escapes inside bracket lists); compile() does not.
constexpr int kConstructorSyntax = kRegExtended | kRegNoCollate | kRegEscapeInLists;
constexpr int kCompileSyntax = kRegExtended;

int LibraryFlags(int syntax, uint32_t flags) {
    int f = syntax;
    if (flags & kRegExpIgnoreCase) f |= kRegIgnoreCase;
    if (flags & kRegExpMultiline) f |= kRegNewline;
    return f;
}

uint32_t ParseFlags(const Value& text) {
    uint32_t flags = 0;
    for (uint32_t i = 0; i < LengthOf(text); ++i) {
        switch (text.string->chars[i]) {
            case u'g': flags |= kRegExpGlobal; break;
            case u'i': flags |= kRegExpIgnoreCase; break;
            case u'm': flags |= kRegExpMultiline; break;
            default: break;
        }
    }
    return flags;
}

// A NUL-terminated copy of a String's text (up to its first NUL).
char16_t* CopySource(ScriptContext* context, const Value& text, uint32_t* length) {
    *length = TerminatedLength(UnitsOf(text), LengthOf(text));
    auto* copy = static_cast<char16_t*>(ContextAlloc(context, (*length + 1) * sizeof(char16_t)));
    for (uint32_t i = 0; i < *length; ++i) copy[i] = text.string->chars[i];
    copy[*length] = 0;
    return copy;
}

// Compiles a pattern; an empty one becomes "^". A compile error goes to the
// trace output and gives null.
RegexProgram* CompileSource(const char16_t* source, uint32_t length, int libraryFlags) {
    static const char16_t kCaret[] = u"^";
    if (length == 0) {
        source = kCaret;
        length = 1;
    }
    RegexProgram* program = nullptr;
    int code = RegexCompile(source, length, libraryFlags, &program);
    if (code != kRegOk) {
        TraceLinef("RegExp runtime error: %s", RegexErrorText(code));
        return nullptr;
    }
    return program;
}

// Frees a half-built instance record when a raise interrupts its creation.
struct PendingData {
    RegExpData* data;
    ~PendingData() {
        if (data == nullptr) return;
        RegexFree(data->program);
        ContextFree(data->source);
        ContextFree(data);
    }
};

// new RegExp(pattern, flags): Null (and a trace line) when the pattern does
// not compile.
Value NewRegExp(ScriptContext* context, NativeClass* klass, Value* args) {
    Value pattern = HasArg(args, 1) && args[1].tag == ValueTag::String ? args[1] : MakeUndefined();
    uint32_t flags = HasArg(args, 2) && args[2].tag == ValueTag::String ? ParseFlags(args[2]) : 0;
    PendingData pending{static_cast<RegExpData*>(ContextCalloc(context, 1, sizeof(RegExpData)))};
    RegExpData* data = pending.data;
    data->source = CopySource(context, pattern, &data->sourceLength);
    data->flags = flags;
    data->program =
        CompileSource(data->source, data->sourceLength, LibraryFlags(kConstructorSyntax, flags));
    if (data->program == nullptr) return MakeNull();
    Value instance = BindNative(context, klass, data);
    data->self = instance.native;
    pending.data = nullptr;
    return instance;
}

// re.compile(pattern, flags).
Value CompileMethod(ScriptContext* context, RegExpData* re, Value* args) {
    if (!HasArg(args, 1)) return MakeBoolean(false);
    // The conversions may run script code; the instance must outlive them
    // even when only this call still refers to it (re(...) form).
    CallbackRoots roots(context);
    roots.Push(NativeValue(re->self));
    uint32_t length = 0;
    char16_t* source = CopySource(context, ToString(context, args[1]), &length);
    struct SourceGuard {
        char16_t* p;
        ~SourceGuard() { ContextFree(p); }
    } guard{source};
    uint32_t flags = HasArg(args, 2) ? ParseFlags(ToString(context, args[2])) : 0;
    RegexFree(re->program);
    re->program = nullptr;
    ContextFree(re->source);
    re->source = source;
    guard.p = nullptr;
    re->sourceLength = length;
    re->flags = flags;
    re->program = CompileSource(source, length, LibraryFlags(kCompileSyntax, flags));
    return MakeBoolean(re->program != nullptr);
}

Value ToStringMethod(ScriptContext* context, const RegExpData* re) {
    TextBuffer text(context);
    text.Append(u'/');
    text.Append(re->source, re->sourceLength);
    text.Append(u'/');
    if (re->flags & kRegExpGlobal) text.Append(u'g');
    if (re->flags & kRegExpIgnoreCase) text.Append(u'i');
    if (re->flags & kRegExpMultiline) text.Append(u'm');
    return text.ToValue();
}

// ---- Callbacks ----------------------------------------------------------

int RegExpMethod(ScriptContext* context, NativeClass* klass, void* data, int member, Value* out,
                 Value* args) {
    auto* re = static_cast<RegExpData*>(data);
    switch (member) {
        case kToString:
            *out = re != nullptr ? ToStringMethod(context, re)
                                 : StaticText(context, u"[Object RegExp]");
            return 1;
        case kValueOf:
            *out = re != nullptr ? NativeValue(re->self) : GetGlobal(context, "RegExp");
            return 1;
    }
    if (re == nullptr) return 0;
    auto* cls = static_cast<RegExpClassData*>(ClassData(klass));
    switch (member) {
        case kExec: *out = RegExpExec(context, cls, re, args, true); break;
        case kTest: *out = RegExpExec(context, cls, re, args, false); break;
        case kCompile: *out = CompileMethod(context, re, args); break;
    }
    return 1;
}

int RegExpPropertyAccess(ScriptContext* context, NativeClass* klass, void* data, int name,
                         int isSet, Value* io) {
    auto* cls = static_cast<RegExpClassData*>(ClassData(klass));
    auto* re = static_cast<RegExpData*>(data);
    if (name == kNameMultiline) {
        // Read-only; the class object itself has no flags to report.
        if (!isSet)
            *io =
                re != nullptr ? MakeBoolean((re->flags & kRegExpMultiline) != 0) : MakeUndefined();
        return 1;
    }
    if (name <= kNameRightContext) {
        if (!isSet) ReadMatchProperty(context, cls, name, io);
        return 1;  // the match record is read-only
    }
    if (re == nullptr) return 0;  // instance members on the class object
    switch (name) {
        case kNameGlobal:
            if (!isSet) *io = MakeBoolean((re->flags & kRegExpGlobal) != 0);
            return 1;
        case kNameIgnoreCase:
            if (!isSet) *io = MakeBoolean((re->flags & kRegExpIgnoreCase) != 0);
            return 1;
        case kNameLastIndex:
            if (!isSet) {
                *io = MakeInteger(re->lastIndex);
            } else if (io->tag == ValueTag::Integer) {
                re->lastIndex = static_cast<int32_t>(io->integer);
            }
            return 1;
        case kNameSource:
            if (!isSet) *io = NewString(context, re->source, re->sourceLength);
            return 1;
        default: return 0;
    }
}

void RegExpConstruct(ScriptContext* context, NativeClass* klass, Value* args, Value* out) {
    *out = NewRegExp(context, klass, args);
}

// RegExp(...) on the class constructs; an instance called as a function
// executes.
void RegExpCall(ScriptContext* context, NativeClass* klass, void* data, Value* out, Value* args) {
    auto* re = static_cast<RegExpData*>(data);
    if (re == nullptr) {
        *out = NewRegExp(context, klass, args);
        return;
    }
    *out = RegExpExec(context, static_cast<RegExpClassData*>(ClassData(klass)), re, args, true);
}

void RegExpFinalize(NativeClass* /*klass*/, void* data) {
    auto* re = static_cast<RegExpData*>(data);
    if (re == nullptr) return;
    RegexFree(re->program);
    ContextFree(re->source);
    ContextFree(re);
}

// Every reachable instance (and the class object) keeps the class's last
// input alive.
void RegExpMark(NativeClass* klass, void* /*data*/) {
    auto* cls = static_cast<RegExpClassData*>(ClassData(klass));
    if (cls != nullptr) GcMarkValue(cls->record.lastInput);
}

void FreeClassData(void* data) { ContextFree(data); }

const ClassSpec kRegExpClass = {
    .name = "RegExp",
    .about =
        "Regular expressions: new RegExp(pattern [, flags]) with flags of g, i, m (null "
        "when it does not compile); the $1...$9 and context properties, read on the class "
        "or any instance, describe the last match",
    .methods = kMethodNames,
    .method = RegExpMethod,
    .properties = kPropertyNames,
    .property = RegExpPropertyAccess,
    .call = RegExpCall,
    .construct = RegExpConstruct,
    .finalize = RegExpFinalize,
    .mark = RegExpMark,
};

}  // namespace

RegExpData* RegExpDataOf(const Value& value) {
    if (value.tag != ValueTag::Native || value.native == nullptr) return nullptr;
    if (ClassSpecOf(value.native->klass) != &kRegExpClass) return nullptr;
    return static_cast<RegExpData*>(value.native->data);
}

RegExpClassData* RegExpClassOf(const Value& value) {
    if (value.tag != ValueTag::Native || value.native == nullptr) return nullptr;
    return static_cast<RegExpClassData*>(ClassDataOf(value.native->klass, kRegExpClass));
}

void RegisterRegExpClass(ScriptContext* context) {
    auto* cls = static_cast<RegExpClassData*>(ContextCalloc(context, 1, sizeof(RegExpClassData)));
    cls->input = InternAtom(context, "input");
    cls->index = InternAtom(context, "index");
    cls->record.lastInput = MakeUndefined();
    cls->record.groupCount = 0;
    for (int32_t& p : cls->record.positions) p = -1;
    DefineClass(context, kRegExpClass, cls, FreeClassData);
}

}  // namespace kelpo
