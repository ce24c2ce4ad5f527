#include "hostobjects/movie_text.h"

#include "runtime/convert.h"
#include "runtime/strings.h"

namespace kelpo {

Value MovieTextToValue(ScriptContext* context, const std::u16string& text) {
    if (text == u"true") return MakeBoolean(true);
    if (text == u"false") return MakeBoolean(false);
    if (text == u"undefined") return MakeUndefined();
    if (!text.empty()) {
        const char16_t* begin = text.c_str();  // NUL-terminated for the scanners
        const char16_t* textEnd = begin + text.size();
        const char16_t* end = begin;
        double floating = 0;
        int64_t integer = 0;
        if (ParseNumberText(context, begin, &end, 10, &floating, &integer) == 1 && end == textEnd) {
            return MakeInteger(integer);
        }
        if (ParseDecimalText(begin, &end, &floating) && end == textEnd) return MakeFloat(floating);
    }
    return NewText(context, text);
}

std::u16string TextOf(const Value& string) {
    if (string.tag != ValueTag::String || string.string->length == 0) return std::u16string();
    return std::u16string(string.string->chars, string.string->length);
}

std::u16string TextOfValue(ScriptContext* context, const Value& value) {
    return TextOf(value.tag == ValueTag::String ? value : ToString(context, value));
}

Value NewText(ScriptContext* context, const std::u16string& text) {
    return NewString(context, text.data(), static_cast<uint32_t>(text.size()));
}

}  // namespace kelpo
