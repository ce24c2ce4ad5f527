// Hostile bytes through the stream classes: as the content of a
// StringStream (uncompress, the line and string readers) and as a file
// (StringStream.readFromFile, FileStream's readers). The C++ side checks
// that whatever uncompress accepts is exactly what zlib itself makes of the
// data, and that a decompression stops at the stream limit.
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "runtime/atoms.h"
#include "runtime/errors.h"
#include "runtime/registration.h"
#include "syslib/classes.h"
#include "syslib/stream_codec.h"
#include "syslib/string_stream.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using namespace kelpo;

void WriteWhole(const std::string& path, const uint8_t* data, size_t size) {
    FILE* file = fopen(path.c_str(), "wb");
    if (file == nullptr) abort();
    if (size != 0 && fwrite(data, 1, size, file) != size) abort();
    if (fclose(file) != 0) abort();
}

void RegisterStreams(ScriptContext* context) {
    RegisterStreamClasses(context);
    RegisterStringStreamClass(context);
}

// Decompression of the input under a small limit, checked against zlib's
// one-shot uncompress.
void CheckCodec(const uint8_t* data, size_t size) {
    constexpr size_t kLimit = size_t{4} << 20;
    ByteStream* out = NewByteStream(kStreamIn | kStreamOut, kLimit);
    if (out == nullptr) abort();
    if (UncompressInto(data, size, out)) {
        if (out->length > kLimit) abort();
        std::vector<uint8_t> theirs(out->length + 1);
        uLongf length = theirs.size();
        // zlib's own reading must agree (trailing bytes after the stream
        // are ignored by both).
        int code = uncompress(theirs.data(), &length, data, static_cast<uLong>(size));
        if (code != Z_OK || length != out->length ||
            (length != 0 && std::memcmp(theirs.data(), out->bytes, length) != 0)) {
            abort();
        }
        ByteStream* again = NewByteStream(kStreamIn | kStreamOut, kLimit * 2);
        if (!CompressInto(out->bytes, out->length, 6, again)) abort();
        FreeByteStream(again);
    } else if (out->capacity > kLimit) {
        abort();
    }
    FreeByteStream(out);
}

const char kScript[] =
    "var s = StringStream.readFromFile(path);\n"
    "if (s.length != size) throw 'readFromFile lost bytes';\n"
    "var u = s.uncompress();\n"
    "if (u != null) u.crc;\n"
    "for (var i = 0; i < 8 && !s.eof; ++i) s.readLine();\n"
    "s.getPos = 0;\n"
    "s.readString(); s.readUnicodeString(); s.getDouble(); s.read(7);\n"
    "var f = FileStream(path, 'rb');\n"
    "for (var i = 0; i < 8 && !f.eof; ++i) f.readLine();\n"
    "f.pos = 1; f.readString(); f.readUnicodeString(); f.read(1000000); f.length;\n"
    "f.close();\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = fuzz::ScratchPath(".bin");
    static const bool registered = (SetExtraRegistration(RegisterStreams), true);
    (void)registered;

    CheckCodec(data, size);

    WriteWhole(path, data, size);
    ScriptRunner* runner = fuzz::NewFuzzRunner();
    ScriptContext* context = runner->context;
    fuzz::SetStringGlobal(runner, "path", reinterpret_cast<const uint8_t*>(path.data()),
                          path.size());
    SetGlobal(context, "size", MakeInteger(static_cast<int64_t>(size)));
    if (RunSource(runner, kScript) != 1 && std::strstr(context->errorText, "lost bytes") != nullptr)
        abort();
    // The same bytes handed over through the C++ interface.
    bool handed = CatchRaise(context, [&] {
        Value s = NewStringStream(context, data, size);
        std::vector<uint8_t> back;
        if (!StringStreamBytes(s, &back) || back.size() != size) abort();
    });
    if (!handed) abort();
    FreeScriptRunner(runner);
    remove(path.c_str());
    return 0;
}
