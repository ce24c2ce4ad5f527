// The lexer: separators, comments, operators, identifiers and keywords,
// numbers, string and character literals, escapes and regular expressions.
#include "compiler/lexer.h"

#include <cstdlib>
#include <cstring>

#include "compiler/diagnostics.h"
#include "runtime/errors.h"
#include "runtime/gc.h"

namespace kelpo {
namespace {

// ---- Bytes ------------------------------------------------------------------

// The next source byte; 0 for ever once a 0 was read, so that nothing behind
// the first NUL of a file is ever scanned.
int Get(ScriptContext* context, CompileState* state) {
    ScriptStream* s = state->source;
    if (state->inputEnded && s->pushBack.count == 0) return 0;
    int c = StreamGetByte(context, s);
    if (c == 0) state->inputEnded = 1;
    return c;
}

// Pushes a byte back; the end of input needs no push-back (Get keeps
// answering 0 after it).
void Unget(ScriptContext* context, CompileState* state, int c) {
    if (c == 0) return;
    if (!StreamPushBack(context, state->source, c)) RaiseErrorf(context, "Out of memory");
}

void CountLine(CompileState* state) { ++state->source->line; }

bool IsDigit(int c) { return c >= '0' && c <= '9'; }
bool IsOctal(int c) { return c >= '0' && c <= '7'; }
bool IsIdentifierStart(int c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '$' || c == '_';
}
bool IsIdentifierPart(int c) { return IsIdentifierStart(c) || IsDigit(c); }

int HexValue(int c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// ---- Literal text buffers ---------------------------------------------------

// A growing NUL-terminated text on the collected heap.
struct TextBuffer {
    char* bytes;
    size_t length;
    size_t capacity;
};

TextBuffer NewText(ScriptContext* context) {
    TextBuffer t;
    t.capacity = 16;
    t.length = 0;
    t.bytes = static_cast<char*>(GcAlloc(context, t.capacity));
    t.bytes[0] = '\0';
    return t;
}

void Append(ScriptContext* context, TextBuffer* t, int byte) {
    if (t->length + 1 >= t->capacity) {
        t->capacity *= 2;
        t->bytes = static_cast<char*>(GcRealloc(context, t->bytes, t->capacity));
    }
    t->bytes[t->length++] = static_cast<char>(byte);
    t->bytes[t->length] = '\0';
}

Token* NewToken(ScriptContext* context, int32_t kind, int line) {
    auto* token = static_cast<Token*>(GcAllocPacked(context, sizeof(Token)));
    token->kind = kind;
    token->value.integer = 0;
    token->line = line;
    return token;
}

int CurrentLine(CompileState* state) { return state->source->line; }

[[noreturn]] void Unterminated(ScriptContext* context, CompileState* state, const char* name) {
    CompileError(context, state, CurrentLine(state), "unterminated %s constant", name);
}

// ---- Comments -----------------------------------------------------------------

// After "/*": up to and including "*/"; the end of input simply ends it.
void SkipBlockComment(ScriptContext* context, CompileState* state) {
    int previous = 0;
    for (;;) {
        int c = Get(context, state);
        if (c == 0) return;
        if (c == '\n') CountLine(state);
        if (previous == '*' && c == '/') return;
        previous = c;
    }
}

// After "//" or "#!": up to and including the next line feed.
void SkipLineComment(ScriptContext* context, CompileState* state) {
    for (;;) {
        int c = Get(context, state);
        if (c == 0) return;
        if (c == '\n') {
            CountLine(state);
            return;
        }
    }
}

// ---- Tokens -------------------------------------------------------------------

// Longest match over the operator table, one byte of look-ahead at a time.
Token* ScanOperator(ScriptContext* context, CompileState* state, int c, int line) {
    char text[5] = {static_cast<char>(c), 0, 0, 0, 0};
    int32_t kind = static_cast<int8_t>(c);
    for (size_t length = 1; length < 4; ++length) {
        int n = Get(context, state);
        text[length] = static_cast<char>(n);
        int32_t longer = n != 0 ? FindOperator(text) : 0;
        if (longer == 0) {
            Unget(context, state, n);
            break;
        }
        kind = longer;
    }
    return NewToken(context, kind, line);
}

Token* ScanIdentifier(ScriptContext* context, CompileState* state, int c, int line) {
    TextBuffer t = NewText(context);
    while (IsIdentifierPart(c)) {
        Append(context, &t, c);
        c = Get(context, state);
    }
    Unget(context, state, c);
    int32_t keyword = LookupKeyword(context, t.bytes, t.length);
    if (keyword != 0) return NewToken(context, keyword, line);
    Token* token = NewToken(context, TokenIdentifier, line);
    token->value.text = t.bytes;
    return token;
}

// Reads digits into the buffer; answers the first byte that is no digit.
int AppendDigits(ScriptContext* context, CompileState* state, TextBuffer* t) {
    int c = Get(context, state);
    while (IsDigit(c)) {
        Append(context, t, c);
        c = Get(context, state);
    }
    return c;
}

// A decimal literal starting with a digit or with "." (followed by a digit).
Token* ScanDecimal(ScriptContext* context, CompileState* state, int c, int line) {
    TextBuffer t = NewText(context);
    bool isFloat = c == '.';
    Append(context, &t, c);
    int n = AppendDigits(context, state, &t);
    if (!isFloat && n == '.') {
        isFloat = true;
        Append(context, &t, n);
        n = AppendDigits(context, state, &t);
    }
    if (n == 'e' || n == 'E') {
        isFloat = true;
        Append(context, &t, n);
        n = Get(context, state);
        if (n == '+' || n == '-') {
            Append(context, &t, n);
            n = Get(context, state);
        }
        if (!IsDigit(n)) {
            CompileError(context, state, CurrentLine(state),
                         "invalid exponent part in a decimal literal");
        }
        Append(context, &t, n);
        n = AppendDigits(context, state, &t);
    }
    // The "." that ends a number begun with "." is punctuation, not the
    // start of another number: ".5.3" is .5, ".", 3.
    if (n == '.' && c == '.') state->dotEndsNumber = 1;
    Unget(context, state, n);

    if (!isFloat) {
        uint64_t value = 0;
        bool overflow = false;
        for (size_t i = 0; i < t.length; ++i) {
            unsigned digit = static_cast<unsigned>(t.bytes[i] - '0');
            if (value > (UINT64_MAX - digit) / 10) overflow = true;
            value = value * 10 + digit;
        }
        if (!overflow && value <= static_cast<uint64_t>(INT64_MAX)) {
            Token* token = NewToken(context, TokenInteger, line);
            token->value.integer = static_cast<int64_t>(value);
            return token;
        }
    }
    Token* token = NewToken(context, TokenFloat, line);
    token->value.number = strtod(t.bytes, nullptr);
    return token;
}

// Numbers: hexadecimal and octal after a leading "0", otherwise decimal.
Token* ScanNumber(ScriptContext* context, CompileState* state, int c, int line) {
    if (c == '0') {
        int n = Get(context, state);
        if (n != '.' && n != 'e' && n != 'E') {
            uint64_t value = 0;  // wraps on 64 bits
            if (n == 'x' || n == 'X') {
                for (int d = Get(context, state);; d = Get(context, state)) {
                    if (HexValue(d) < 0) {
                        Unget(context, state, d);
                        break;
                    }
                    value = value * 16 + static_cast<uint64_t>(HexValue(d));
                }
            } else {
                for (int d = n;; d = Get(context, state)) {
                    if (!IsOctal(d)) {
                        Unget(context, state, d);
                        break;
                    }
                    value = value * 8 + static_cast<uint64_t>(d - '0');
                }
            }
            Token* token = NewToken(context, TokenInteger, line);
            token->value.integer = static_cast<int64_t>(value);
            return token;
        }
        Unget(context, state, n);
    }
    return ScanDecimal(context, state, c, line);
}

// After "#'": one byte or an escape, then the closing "'".
Token* ScanCharacter(ScriptContext* context, CompileState* state, int line) {
    int c = Get(context, state);
    int value;
    if (c == '\\') {
        value = ScanEscape(context, state, "character");
    } else {
        value = c;
        if (c == '\n') CountLine(state);
    }
    if (Get(context, state) != '\'') {
        CompileError(context, state, CurrentLine(state), "illegal character");
    }
    Token* token = NewToken(context, TokenInteger, line);
    token->value.integer = static_cast<int8_t>(value);
    return token;
}

Token* ScanString(ScriptContext* context, CompileState* state, int delimiter, int line) {
    const char* name = "string";
    TextBuffer t = NewText(context);
    bool warned = false;
    for (;;) {
        int c = Get(context, state);
        if (c == 0) Unterminated(context, state, name);
        if (c == delimiter) break;
        if (c == '\n') {
            if (!warned && (state->options & WarnLineTerminatorOption) != 0) {
                CompileWarning(context, state, CurrentLine(state),
                               "ECMAScript don't allow line terminators in %s constants", name);
                warned = true;
            }
            CountLine(state);
        } else if (c == '\\') {
            int n = Get(context, state);
            if (n == '\n') {
                // Line continuation: both bytes dropped.
                CountLine(state);
                continue;
            }
            Unget(context, state, n);
            c = ScanEscape(context, state, name);
        }
        Append(context, &t, c);
    }
    Token* token = NewToken(context, TokenString, line);
    token->value.text = t.bytes;
    return token;
}

}  // namespace

int ScanEscape(ScriptContext* context, CompileState* state, const char* literalName) {
    int c = Get(context, state);
    switch (c) {
        case 0: Unterminated(context, state, literalName);
        case 'a': return 7;
        case 'b': return 8;
        case 'f': return 12;
        case 'n': return 10;
        case 'r': return 13;
        case 't': return 9;
        case 'v': return 11;
        case '"':
        case '\'':
        case '?':
        case '\\': return c;
        case 'x':
        case 'u': {
            // "\x" takes two hexadecimal digits, "\u" four of which the last two
            // form the byte.
            int count = c == 'x' ? 2 : 4;
            int digits[4];
            for (int i = 0; i < count; ++i) digits[i] = Get(context, state);
            for (int i = 0; i < count; ++i) {
                if (digits[i] == 0) Unterminated(context, state, literalName);
            }
            for (int i = 0; i < count; ++i) {
                if (HexValue(digits[i]) >= 0) continue;
                if (c == 'x') {
                    CompileError(context, state, CurrentLine(state), "illegal character '%s%c%c'",
                                 "\\x", digits[0], digits[1]);
                }
                CompileError(context, state, CurrentLine(state),
                             "illegal unicode character '%s%c%c%c%c'", "\\u", digits[0], digits[1],
                             digits[2], digits[3]);
            }
            return HexValue(digits[count - 2]) * 16 + HexValue(digits[count - 1]);
        }
        default: break;
    }
    if (IsOctal(c)) {
        // Up to three digits; a leading "0" does not count.
        int value = c - '0';
        int counted = c == '0' ? 0 : 1;
        while (counted < 3) {
            int d = Get(context, state);
            if (!IsOctal(d)) {
                Unget(context, state, d);
                break;
            }
            value = value * 8 + (d - '0');
            ++counted;
        }
        return value & 0xFF;
    }
    CompileWarning(context, state, CurrentLine(state), "unknown escape sequence '%c%c'", '\\', c);
    if (c == '\n') CountLine(state);
    return c;
}

Token* ScanToken(ScriptContext* context, CompileState* state) {
    for (;;) {
        int c = Get(context, state);
        int line = CurrentLine(state);
        if (c == 0) return NewToken(context, TokenEnd, line);
        bool dotEndsNumber = state->dotEndsNumber != 0;
        state->dotEndsNumber = 0;
        switch (c) {
            case '\n': CountLine(state); continue;
            case 9:
            case 11:
            case 12:
            case 13:
            case 32: continue;
            case '/': {
                int n = Get(context, state);
                if (n == '*') {
                    SkipBlockComment(context, state);
                    continue;
                }
                if (n == '/') {
                    SkipLineComment(context, state);
                    continue;
                }
                Unget(context, state, n);
                return ScanOperator(context, state, c, line);
            }
            case '#': {
                int n = Get(context, state);
                if (n == '!') {
                    SkipLineComment(context, state);
                    continue;
                }
                if (n == '\'') return ScanCharacter(context, state, line);
                Unget(context, state, n);
                return NewToken(context, '#', line);
            }
            case '"':
            case '\'': return ScanString(context, state, c, line);
            case '.': {
                int n = Get(context, state);
                Unget(context, state, n);
                if (IsDigit(n) && !dotEndsNumber) return ScanDecimal(context, state, c, line);
                return NewToken(context, '.', line);
            }
            default: break;
        }
        if (IsIdentifierStart(c)) return ScanIdentifier(context, state, c, line);
        if (IsDigit(c)) return ScanNumber(context, state, c, line);
        return ScanOperator(context, state, c, line);
    }
}

RegExpLiteral ScanRegExp(ScriptContext* context, CompileState* state) {
    const char* name = "regular expression";
    TextBuffer t = NewText(context);
    for (;;) {
        int c = Get(context, state);
        if (c == 0) Unterminated(context, state, name);
        if (c == '/') break;
        if (c == '\n') CountLine(state);
        if (c != '\\') {
            Append(context, &t, c);
            continue;
        }
        int n = Get(context, state);
        switch (n) {
            case 0: Unterminated(context, state, name);
            case '\n': CountLine(state); break;
            case '0':
            case 'u':
            case 'x':
                Unget(context, state, n);
                Append(context, &t, ScanEscape(context, state, name));
                break;
            case 'c': {
                // "\c" and the next byte as it stands.
                Append(context, &t, '\\');
                Append(context, &t, 'c');
                int m = Get(context, state);
                if (m == 0) Unterminated(context, state, name);
                if (m == '\n') CountLine(state);
                Append(context, &t, m);
                break;
            }
            case 'f': Append(context, &t, 12); break;
            case 'n': Append(context, &t, 10); break;
            case 'r': Append(context, &t, 13); break;
            case 't': Append(context, &t, 9); break;
            case 'v': Append(context, &t, 11); break;
            default:
                // The regular-expression engine sees the escape itself.
                Append(context, &t, '\\');
                Append(context, &t, n);
                break;
        }
    }
    RegExpLiteral literal = {t.bytes, 0};
    for (;;) {
        int c = Get(context, state);
        if (c == 'g') {
            literal.flags |= RegExpGlobal;
        } else if (c == 'i') {
            literal.flags |= RegExpIgnoreCase;
        } else if (c == 'm') {
            literal.flags |= RegExpMultiline;
        } else {
            Unget(context, state, c);
            break;
        }
    }
    return literal;
}

Token* PeekToken(ScriptContext* context, CompileState* state) {
    if (!state->hasPending) {
        state->pending = ScanToken(context, state);
        state->hasPending = 1;
    }
    return state->pending;
}

Token* NextToken(ScriptContext* context, CompileState* state) {
    ++state->tokenCount;
    Token* token;
    if (state->hasPending) {
        token = state->pending;
        state->hasPending = 0;
    } else {
        token = ScanToken(context, state);
    }
    state->lastLine = token->line;
    if (token->kind == TokenIdentifier && strcmp(token->value.text, "arguments") == 0) {
        ++state->argumentsCount;
    }
    return token;
}

}  // namespace kelpo
