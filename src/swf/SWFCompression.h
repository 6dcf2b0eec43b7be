// The three forms of an SWF file: FWS (plain), CWS (zlib) and ZWS (LZMA).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "common/Bytes.h"
#include "common/Report.h"
#include "common/Result.h"

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

// What is said of a movie whose data ends before the file length its header gives (a
// download cut off): "truncated: 9063 of 18369 bytes". Both count the movie uncompressed,
// as a compressed movie's header does, which its line says ("... bytes uncompressed").
std::string truncationText(std::uint64_t length, std::uint64_t headerLength, bool compressed);

// The movie in its plain form: the 8-byte prefix as it stands (signature kept) followed
// by the uncompressed rest. The data is inflated in bounded steps and must come out at
// exactly the length the prefix gives; a movie whose data holds more or less, whose data
// is broken, or whose LZMA dictionary would need an unreasonable amount of memory is
// refused with the reason: "a CWS movie whose zlib data cannot be used: ...", or for
// data that holds less truncationText's, in the words of any cut-off movie.
Result<Bytes> unpackSWF(ByteSpan movie, SWFCompression compression);

// The most bytes of a movie's start that MovieInflater::start looks at: the prefix, and
// for ZWS the length and the 5 property bytes of its LZMA data.
inline constexpr std::size_t kInflaterStartSize = kSWFPrefixSize + 4 + 5;

// The rest of a CWS or ZWS movie after its 8-byte prefix, inflated piece by piece from
// its compressed data as that is handed over, and checked against the length the prefix
// gives as unpackSWF checks it: a movie read in bounded memory.
class MovieInflater {
public:
    // From the movie's first bytes (dataOffset() of them: the prefix, and for ZWS the
    // length and properties of its LZMA data); fails, with unpackSWF's reason, when they
    // cannot be used.
    static Result<std::unique_ptr<MovieInflater>> start(ByteSpan movieStart, SWFCompression compression);
    virtual ~MovieInflater() = default;
    MovieInflater(const MovieInflater&) = delete;
    MovieInflater& operator=(const MovieInflater&) = delete;

    // Where the compressed data starts in the file: 8 for CWS, 17 for ZWS.
    std::size_t dataOffset() const { return dataOffset_; }
    // How many bytes the data inflates to.
    std::size_t expected() const { return expected_; }
    // Inflates data, the next compressed bytes, into out (not empty) and returns how many
    // bytes were written; data is advanced past what was taken. end says that data
    // reaches the end of the file. Once the data is known to hold the whole movie, or to
    // be unusable, done() is true.
    virtual std::size_t inflate(ByteSpan& data, bool end, std::span<std::uint8_t> out) = 0;
    bool done() const { return done_; }
    // Once done(), what the data came to: failed, with unpackSWF's reason, when it cannot
    // be used.
    const Report& verdict() const { return verdict_; }

protected:
    MovieInflater(SWFCompression compression, std::size_t expected, std::size_t dataOffset)
        : compression_(compression), expected_(expected), dataOffset_(dataOffset) {}
    // The room one step may fill: one byte more than is missing, so that data holding
    // more than promised is found without inflating it all.
    std::size_t roomFor(std::span<std::uint8_t> out) const;
    // Counts written bytes; true (and done, failed) when they pass the promise.
    bool produced(std::size_t written);
    // The data has ended: done, truncated when it held fewer bytes than promised.
    void ended();
    // Done: the data cannot be used, for the reason problem.
    void fail(const std::string& problem);

private:
    SWFCompression compression_;
    std::size_t expected_;
    std::size_t dataOffset_;
    std::size_t produced_ = 0;
    bool done_ = false;
    Report verdict_;
};

// The movie packed into the given form: plain is the movie uncompressed with its 8-byte
// prefix; the prefix's signature is set to the form and the rest compressed.
Bytes packSWF(ByteSpan plain, SWFCompression compression);

}  // namespace tarvenox
