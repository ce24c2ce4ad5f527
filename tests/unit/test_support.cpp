#include "tests/unit/test_support.h"

#include "runtime/strings.h"
#include "runtime/trace.h"

namespace kelpo::test {

void ContextTest::SetUp() {
    ctx = NewContext(4096, 2, nullptr, 0);
    ASSERT_NE(ctx, nullptr);
}

void ContextTest::TearDown() {
    DestroyContext(ctx);
    ctx = nullptr;
}

TraceCapture::TraceCapture() { SetTraceSink(&TraceCapture::Sink, this); }
TraceCapture::~TraceCapture() { SetTraceSink(nullptr, nullptr); }

void TraceCapture::Sink(void* user, const char* text, size_t length) {
    static_cast<TraceCapture*>(user)->text_.append(text, length);
}

std::string Utf8(const Value& v) {
    if (v.tag != ValueTag::String) return "<not a string>";
    std::string out;
    const ScriptString* s = v.string;
    for (uint32_t i = 0; i < s->length; ++i) {
        uint32_t c = s->chars[i];
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

}  // namespace kelpo::test
