// Shared helpers for the engine's unit tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "runtime/context.h"
#include "runtime/errors.h"

namespace kelpo::test {

// A fresh context for each test, destroyed at the end.
class ContextTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs body inside an error frame; false when it raised.
    template <class Body>
    bool Run(Body&& body) {
        return CatchRaise(ctx, body);
    }

    ScriptContext* ctx = nullptr;
};

// Captures the trace output while alive.
class TraceCapture {
public:
    TraceCapture();
    ~TraceCapture();
    const std::string& text() const { return text_; }
    void Clear() { text_.clear(); }

private:
    static void Sink(void* user, const char* text, size_t length);
    std::string text_;
};

// UTF-8 rendering of a String value, for readable expectations.
std::string Utf8(const Value& v);

}  // namespace kelpo::test
