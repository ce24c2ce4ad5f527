// Keyword and operator tables and the per-context keyword hash.
#include "compiler/tokens.h"

#include <cstring>

#include "runtime/atoms.h"
#include "runtime/errors.h"

namespace kelpo {

const KeywordInfo kKeywords[kKeywordCount] = {
    {"break", TokenBreak},
    {"continue", TokenContinue},
    {"delete", TokenDelete},
    {"else", TokenElse},
    {"for", TokenFor},
    {"function", TokenFunction},
    {"if", TokenIf},
    {"in", TokenIn},
    {"new", TokenNew},
    {"return", TokenReturn},
    {"this", TokenThis},
    {"typeof", TokenTypeof},
    {"var", TokenVar},
    {"void", TokenVoid},
    {"while", TokenWhile},
    {"with", TokenWith},
    {"case", TokenCase},
    {"catch", TokenCatch},
    {"class", TokenClass},
    {"const", TokenConst},
    {"debugger", TokenDebugger},
    {"default", TokenDefault},
    {"do", TokenDo},
    {"enum", TokenEnum},
    {"export", TokenExport},
    {"extends", TokenExtends},
    {"finally", TokenFinally},
    {"import", TokenImport},
    {"super", TokenSuper},
    {"switch", TokenSwitch},
    {"throw", TokenThrow},
    {"try", TokenTry},
    {"null", TokenNull},
    {"true", TokenTrue},
    {"false", TokenFalse},
    {"undefined", TokenUndefined},
};

// Every prefix of an operator is itself a token (an operator or a single
// character), so the scanner can extend a match one byte at a time.
const OperatorInfo kOperators[kOperatorCount] = {
    {"==", TokenEqual},        {"!=", TokenNotEqual},     {"<=", TokenLessEqual},
    {">=", TokenGreaterEqual}, {"&&", TokenAndAnd},       {"||", TokenOrOr},
    {"++", TokenPlusPlus},     {"--", TokenMinusMinus},   {"*=", TokenMulAssign},
    {"/=", TokenDivAssign},    {"%=", TokenModAssign},    {"+=", TokenAddAssign},
    {"-=", TokenSubAssign},    {"&=", TokenAndAssign},    {"^=", TokenXorAssign},
    {"|=", TokenOrAssign},     {"<<=", TokenShlAssign},   {"<<", TokenShl},
    {">>", TokenShr},          {">>>", TokenUshr},        {">>=", TokenShrAssign},
    {">>>=", TokenUshrAssign}, {"===", TokenStrictEqual}, {"!==", TokenStrictNotEqual},
};

int32_t FindOperator(const char* text) {
    for (const OperatorInfo& op : kOperators) {
        if (op.text[0] == text[0] && strcmp(op.text, text) == 0) return op.kind;
    }
    return 0;
}

namespace {

KeywordEntry* FindEntry(ScriptContext* context, const char* word, size_t length) {
    uint32_t bucket = NameHash(word, length) & (kKeywordBuckets - 1);
    for (KeywordEntry* e = context->keywordTable[bucket]; e != nullptr; e = e->next) {
        if (strncmp(e->name, word, length) == 0 && e->name[length] == '\0') return e;
    }
    return nullptr;
}

}  // namespace

void InsertKeywords(ScriptContext* context) {
    for (const KeywordInfo& k : kKeywords) {
        size_t length = strlen(k.word);
        if (FindEntry(context, k.word, length) != nullptr) continue;
        // Plain allocations, checked here, so that a failure leaks nothing.
        auto* e = static_cast<KeywordEntry*>(ContextAlloc(nullptr, sizeof(KeywordEntry)));
        char* name = e != nullptr ? ContextStrDup(nullptr, k.word) : nullptr;
        if (name == nullptr) {
            ContextFree(e);
            SetErrorText(context, "Out of memory");
            RaiseError(context);
        }
        e->name = name;
        e->token = static_cast<int16_t>(k.kind);
        uint32_t bucket = NameHash(k.word, length) & (kKeywordBuckets - 1);
        e->next = context->keywordTable[bucket];
        context->keywordTable[bucket] = e;
    }
}

int32_t LookupKeyword(ScriptContext* context, const char* word, size_t length) {
    KeywordEntry* e = FindEntry(context, word, length);
    return e != nullptr ? e->token : 0;
}

const char* TokenSpelling(int32_t kind) {
    // Single characters: a table of one-character texts, indexed by byte.
    struct Singles {
        char text[256][2];
        Singles() {
            for (int b = 0; b < 256; ++b) {
                text[b][0] = static_cast<char>(b);
                text[b][1] = '\0';
            }
        }
    };
    static const Singles singles;
    if (kind >= -128 && kind <= 127 && kind != 0)
        return singles.text[static_cast<unsigned char>(kind)];
    switch (kind) {
        case TokenEnd: return "end of input";
        case TokenInteger: return "integer";
        case TokenFloat: return "float";
        case TokenString: return "string";
        case TokenIdentifier: return "identifier";
        default: break;
    }
    for (const KeywordInfo& k : kKeywords) {
        if (k.kind == kind) return k.word;
    }
    for (const OperatorInfo& op : kOperators) {
        if (op.kind == kind) return op.text;
    }
    return "?";
}

}  // namespace kelpo
