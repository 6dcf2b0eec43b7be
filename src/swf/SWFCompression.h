// The three forms of an SWF file: FWS (plain), CWS (zlib) and ZWS (LZMA).
#pragma once

#include <optional>
#include <string>

#include "common/Bytes.h"

namespace tarvenox {

enum class SWFCompression { None, Zlib, Lzma };

// The form a signature names ("FWS", "CWS", "ZWS"); nullopt for anything else.
std::optional<SWFCompression> compressionOfSignature(std::string_view signature);
// "FWS", "CWS" or "ZWS".
const char* signatureOf(SWFCompression compression);
// "uncompressed", "zlib" or "LZMA", for listings.
const char* compressionName(SWFCompression compression);

// Every form starts with signature (3 bytes), version (1) and the file length (UI32):
// the length of the whole movie uncompressed, these 8 bytes included.
inline constexpr std::size_t kSWFPrefixSize = 8;

// The movie in its plain form: the 8-byte prefix as it stands (signature kept) followed
// by the uncompressed rest. The data is inflated in bounded steps and must come out at
// exactly the length the prefix gives; a movie whose data holds more or less, whose data
// is broken, or whose LZMA dictionary would need an unreasonable amount of memory is
// refused: nullopt, with *error saying why.
std::optional<Bytes> unpackSWF(ByteSpan movie, SWFCompression compression, std::string* error);

// The movie packed into the given form: plain is the movie uncompressed with its 8-byte
// prefix; the prefix's signature is set to the form and the rest compressed.
Bytes packSWF(ByteSpan plain, SWFCompression compression);

}  // namespace tarvenox
