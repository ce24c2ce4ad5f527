// The Encryption class: MD5 digests of texts and files, and Blowfish and
// Triple DES encryption of text under a pass phrase (pass_phrase_cipher.h),
// used through the class object.
//
// Texts cross as ANSI bytes, every byte of them (a zero character too).
// Results are Strings; a missing or non-String argument, a file that
// cannot be read and data that is not base64 of whole blocks give Null.
#include "syslib/classes.h"

#include <cstdio>
#include <string>

#include "platform/ansi.h"
#include "platform/files.h"
#include "runtime/class_kit.h"
#include "runtime/native_args.h"
#include "runtime/strings.h"
#include "syslib/crypto_blocks.h"
#include "syslib/pass_phrase_cipher.h"
#include "syslib/path_names.h"

namespace kelpo {
namespace {

enum Method { kMd5, kMd5File, kBlowfishEncode, kBlowfishDecode, kDesEncode, kDesDecode };
const MemberRow kMethodNames[] = {
    {"md5",
     "md5(text) -> String: the MD5 digest of the text's ANSI bytes in 32 hexadecimal "
     "digits; null when text is no String"},
    {"md5File",
     "md5File(path) -> String: the MD5 digest of the file's bytes; null when it cannot "
     "be read"},
    {"blowfishEncode",
     "blowfishEncode(key, text) -> String: text encrypted with Blowfish under "
     "the pass phrase key, in base64"},
    {"blowfishDecode",
     "blowfishDecode(key, data) -> String: the text blowfishEncode encrypted "
     "into data; null when it cannot be decoded"},
    {"desEncode",
     "desEncode(key, text) -> String: text encrypted with Triple DES under the pass "
     "phrase key, in base64"},
    {"desDecode",
     "desDecode(key, data) -> String: the text desEncode encrypted into data; null "
     "when it cannot be decoded"},
};

// All the ANSI bytes of String argument k; false when it is not a String.
bool TextArg(const Value* args, int64_t k, std::string& out) {
    if (!IsStringArg(args, k)) return false;
    const ScriptString* s = args[k].string;
    out.assign(2 * size_t(s->length), '\0');
    size_t written = s->length == 0 ? 0 : Utf16ToAnsi(s->chars, s->length, &out[0], out.size());
    out.resize(written);
    return true;
}

Value HexDigest(ScriptContext* context, const uint8_t digest[kMd5Size]) {
    static const char kHex[] = "0123456789abcdef";
    std::string text;
    for (size_t i = 0; i < kMd5Size; ++i) {
        text += kHex[digest[i] >> 4];
        text += kHex[digest[i] & 15];
    }
    return AnsiString(context, text);
}

Value Md5OfText(ScriptContext* context, const Value* args) {
    std::string text;
    if (!TextArg(args, 1, text)) return MakeNull();
    uint8_t digest[kMd5Size];
    Md5Bytes(reinterpret_cast<const uint8_t*>(text.data()), text.size(), digest);
    return HexDigest(context, digest);
}

Value Md5OfFile(ScriptContext* context, const Value* args) {
    std::string path;
    if (!HasArg(args, 1) || !PathOfValue(context, args[1], &path)) return MakeNull();
    FILE* file = OpenStreamFile(path, "rb");
    if (file == nullptr) return MakeNull();
    uint8_t digest[kMd5Size];
    bool ok = Md5Stream(file, digest);
    fclose(file);
    return ok ? HexDigest(context, digest) : MakeNull();
}

Value Cipher(ScriptContext* context, const Value* args, PhraseCipher cipher, bool encrypt) {
    std::string phrase, text, result;
    if (!TextArg(args, 1, phrase) || !TextArg(args, 2, text)) return MakeNull();
    bool ok = encrypt ? EncryptText(cipher, phrase, text, result)
                      : DecryptText(cipher, phrase, text, result);
    return ok ? AnsiString(context, result) : MakeNull();
}

int EncryptionMethod(ScriptContext* context, NativeClass*, void*, int member, Value* out,
                     Value* args) {
    switch (member) {
        case kMd5: *out = Md5OfText(context, args); break;
        case kMd5File: *out = Md5OfFile(context, args); break;
        case kBlowfishEncode: *out = Cipher(context, args, PhraseCipher::kBlowfish, true); break;
        case kBlowfishDecode: *out = Cipher(context, args, PhraseCipher::kBlowfish, false); break;
        case kDesEncode: *out = Cipher(context, args, PhraseCipher::kTripleDes, true); break;
        case kDesDecode: *out = Cipher(context, args, PhraseCipher::kTripleDes, false); break;
    }
    return 1;
}

// toString answers exactly this text: its spelling is part of the interface
// scripts see, so it stays as it is.
const ClassSpec kEncryptionClass = {
    .name = "Encryption",
    .text = u"[object Encrpytion]",
    .about =
        "MD5 digests, and Blowfish and Triple DES encryption of text with a pass phrase; "
        "the methods are the class's own (null when an argument is missing or no String)",
    .methods = kMethodNames,
    .method = EncryptionMethod,
};

}  // namespace

void RegisterEncryptionClass(ScriptContext* context) { DefineClass(context, kEncryptionClass); }

}  // namespace kelpo
