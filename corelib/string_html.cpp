// The HTML wrappers of String: anchor, big, blink, bold, fixed, fontColor,
// fontSize, italics, link, small, strike, sub, sup.
//
// Each wrapper is a printf-style format whose "%s" receive the texts as a
// wide formatter would: the attribute argument (when the wrapper has one)
// and then the string, each up to its first NUL. The result is limited to
// the 1024-unit formatting buffer, terminator included.
#include "corelib/string_methods.h"
#include "corelib/text_buffer.h"
#include "runtime/convert.h"
#include "runtime/native.h"

namespace kelpo {
namespace {

constexpr size_t kFormatBufferUnits = 1024;

// Formats `format`, replacing each "%s" with the next of `texts`.
Value FormatWrapper(ScriptContext* context, const char* format, const Value* texts, int count) {
    TextBuffer out(context);
    int next = 0;
    for (const char* p = format; *p != '\0'; ++p) {
        if (p[0] == '%' && p[1] == 's' && next < count) {
            const Value& text = texts[next++];
            out.Append(UnitsOf(text), TerminatedLength(UnitsOf(text), LengthOf(text)));
            ++p;
            continue;
        }
        out.Append(static_cast<char16_t>(static_cast<unsigned char>(*p)));
    }
    size_t n = out.size() < kFormatBufferUnits - 1 ? out.size() : kFormatBufferUnits - 1;
    return NewString(context, out.data(), static_cast<uint32_t>(n));
}

Value Wrap(ScriptContext* context, const Value& self, const char* format) {
    return FormatWrapper(context, format, &self, 1);
}

// Wrappers with an attribute: the argument converted to text (empty when
// missing) goes first.
Value WrapWithAttribute(ScriptContext* context, const Value& self, Value* args,
                        const char* format) {
    Value texts[2] = {HasArg(args, 1) ? ToString(context, args[1]) : MakeUndefined(), self};
    return FormatWrapper(context, format, texts, 2);
}

}  // namespace

Value StringAnchor(ScriptContext* context, const Value& self, Value* args) {
    return WrapWithAttribute(context, self, args, "<A NAME=\"%s\">%s</A>");
}
Value StringBig(ScriptContext* context, const Value& self, Value*) {
    return Wrap(context, self, "<BIG>%s</BIG>");
}
Value StringBlink(ScriptContext* context, const Value& self, Value*) {
    return Wrap(context, self, "<BLINK>%s</BLINK>");
}
Value StringBold(ScriptContext* context, const Value& self, Value*) {
    return Wrap(context, self, "<B>%s</B>");
}
Value StringFixed(ScriptContext* context, const Value& self, Value*) {
    return Wrap(context, self, "<TT>%s</TT>");
}
Value StringFontColor(ScriptContext* context, const Value& self, Value* args) {
    return WrapWithAttribute(context, self, args, "<FONT COLOR=\"%s\">%s</FONT>");
}
Value StringFontSize(ScriptContext* context, const Value& self, Value* args) {
    return WrapWithAttribute(context, self, args, "<FONT SIZE=\"%s\">%s</FONT>");
}
Value StringItalics(ScriptContext* context, const Value& self, Value*) {
    return Wrap(context, self, "<I>%s</I>");
}
Value StringLink(ScriptContext* context, const Value& self, Value* args) {
    return WrapWithAttribute(context, self, args, "<A HREF=\"%s\">%s</A>");
}
Value StringSmall(ScriptContext* context, const Value& self, Value*) {
    return Wrap(context, self, "<SMALL>%s</SMALL>");
}
Value StringStrike(ScriptContext* context, const Value& self, Value*) {
    return Wrap(context, self, "<STRIKE>%s</STRIKE>");
}
Value StringSub(ScriptContext* context, const Value& self, Value*) {
    return Wrap(context, self, "<SUB>%s</SUB>");
}
Value StringSup(ScriptContext* context, const Value& self, Value*) {
    return Wrap(context, self, "<SUP>%s</SUP>");
}

}  // namespace kelpo
