// Tokens of Kelpo Script: the kind numbers, the token record, the keyword
// table and the spelling of every multi-character operator.
//
// Kinds 1 to 127 are single characters (the character code); bytes 0x80 to
// 0xFF outside literals give the negative kinds of a signed 8-bit byte. The
// named kinds below are fixed numbers.
#pragma once

#include <cstdint>

#include "runtime/context.h"

namespace kelpo {

enum TokenKind : int32_t {
    TokenEnd = 128,
    TokenInteger = 129,
    TokenFloat = 130,
    TokenString = 131,
    TokenIdentifier = 132,

    // Keywords.
    TokenBreak = 133,
    TokenContinue = 134,
    TokenDelete = 135,
    TokenElse = 136,
    TokenFor = 137,
    TokenFunction = 138,
    TokenIf = 139,
    TokenIn = 140,
    TokenNew = 141,
    TokenReturn = 142,
    TokenThis = 143,
    TokenTypeof = 144,
    TokenVar = 145,
    TokenVoid = 146,
    TokenWhile = 147,
    TokenWith = 148,
    TokenCase = 149,
    TokenCatch = 150,
    TokenClass = 151,     // reserved
    TokenConst = 152,     // reserved
    TokenDebugger = 153,  // reserved
    TokenDefault = 154,
    TokenDo = 155,
    TokenEnum = 156,     // reserved
    TokenExport = 157,   // reserved
    TokenExtends = 158,  // reserved
    TokenFinally = 159,
    TokenImport = 160,  // reserved
    TokenSuper = 161,   // reserved
    TokenSwitch = 162,
    TokenThrow = 163,
    TokenTry = 164,
    TokenNull = 165,
    TokenTrue = 166,
    TokenFalse = 167,
    TokenUndefined = 192,

    // Operators of two or more characters.
    TokenEqual = 168,           // ==
    TokenNotEqual = 169,        // !=
    TokenLessEqual = 170,       // <=
    TokenGreaterEqual = 171,    // >=
    TokenAndAnd = 172,          // &&
    TokenOrOr = 173,            // ||
    TokenPlusPlus = 174,        // ++
    TokenMinusMinus = 175,      // --
    TokenShl = 185,             // <<
    TokenShr = 186,             // >>
    TokenUshr = 187,            // >>>
    TokenStrictEqual = 190,     // ===
    TokenStrictNotEqual = 191,  // !==

    // Compound assignments.
    TokenMulAssign = 176,   // *=
    TokenDivAssign = 177,   // /=
    TokenModAssign = 178,   // %=
    TokenAddAssign = 179,   // +=
    TokenSubAssign = 180,   // -=
    TokenAndAssign = 181,   // &=
    TokenXorAssign = 182,   // ^=
    TokenOrAssign = 183,    // |=
    TokenShlAssign = 184,   // <<=
    TokenShrAssign = 188,   // >>=
    TokenUshrAssign = 189,  // >>>=
};

// One scanned token (a collected block, never freed explicitly).
struct Token {
    int32_t kind;
    union {
        int64_t integer;   // Integer literal
        double number;     // Float literal
        const char* text;  // String literal and identifier: NUL-terminated
    } value;
    int32_t line;  // line of the first character; end of input: the last line
};

// A word of the keyword table.
struct KeywordInfo {
    const char* word;
    int32_t kind;
};
constexpr int kKeywordCount = 36;
extern const KeywordInfo kKeywords[kKeywordCount];

// A multi-character operator.
struct OperatorInfo {
    const char* text;
    int32_t kind;
};
constexpr int kOperatorCount = 24;
extern const OperatorInfo kOperators[kOperatorCount];

// The operator kind spelled by `text` (1 to 4 bytes), or 0.
int32_t FindOperator(const char* text);

// Inserts the keywords into the context's keyword table where absent
// (ContextAlloc'ed entries, released by DestroyContext).
void InsertKeywords(ScriptContext* context);

// The keyword kind of a word of `length` bytes, or 0 when it is no keyword.
int32_t LookupKeyword(ScriptContext* context, const char* word, size_t length);

// The source spelling of any token kind ("(" for 40, "<<=" for 184, "while"
// for 147); descriptive names for literal kinds and end of input; "?" for
// numbers that are no kind.
const char* TokenSpelling(int32_t kind);

}  // namespace kelpo
