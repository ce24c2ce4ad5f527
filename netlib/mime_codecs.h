// The content transfer encodings of mail parts: quoted-printable and base64
// as the mail classes write them, and lenient readers for what other mail
// programs send. Readers never fail: broken input gives what could be
// decoded, so a damaged part still yields its readable bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kelpo {

// Transfer-encoding indexes, as a message's parts record them.
enum TransferEncoding { kEncodingBinary = 0, kEncodingQuotedPrintable = 1, kEncodingBase64 = 2 };

// "binary", "quoted-printable" or "base64".
const char* TransferEncodingName(TransferEncoding encoding);

// The index of a Content-Transfer-Encoding value (any letter case, blanks
// around it ignored); "7bit", "8bit", unknown and empty values are binary.
TransferEncoding TransferEncodingOf(const std::string& value);

// Quoted-printable for text. Line breaks (LF or CR LF) become CR LF hard
// breaks; a blank before one, a lone CR, "=" and bytes outside 32..126 are
// written "=XX"; a soft break "=\r\n" keeps encoded lines within 76
// characters and ends non-empty output.
std::string EncodeQuotedPrintable(const uint8_t* bytes, size_t length);

// Decodes "=XX" (either letter case) and removes soft breaks ("=" before
// CR LF or LF, blanks between them allowed); an "=" that starts neither is
// kept as it is.
std::string DecodeQuotedPrintable(const char* text, size_t length);

// Base64 in lines of `lineLength` characters (a multiple of 4), each line
// ended by CR LF.
std::string EncodeBase64Lines(const uint8_t* bytes, size_t length, size_t lineLength);

// Base64 with line breaks and blanks skipped; characters outside the
// alphabet are passed over and decoding stops at the padding.
std::string DecodeBase64Text(const char* text, size_t length);

// The bytes of a part's content by its encoding.
std::string DecodeTransfer(TransferEncoding encoding, const char* text, size_t length);

}  // namespace kelpo
