// Inflating and deflating the body of a CWS or ZWS movie.
#include "swf/SWFCompression.h"

#include <libdeflate.h>
#include <lzma.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <memory>

#include "common/ByteReader.h"
#include "common/ByteWriter.h"
#include "swf/Deflate.h"

namespace tarvenox {

namespace {

// Output grows by at most this much per step, so a header that promises more than the
// data holds, or data that holds more than the header promises, costs no more memory
// than what really came out.
constexpr std::size_t kChunk = 64 * 1024;
// No template comes near this; a movie claiming more is refused before inflating.
constexpr std::uint32_t kMaxUncompressed = 256u * 1024 * 1024;
// ZWS: after the common prefix, the length of the LZMA data (UI32) and the 5 bytes of
// LZMA properties (lc/lp/pb and the dictionary size).
constexpr std::size_t kLzmaLengthOffset = kSWFPrefixSize;
constexpr std::size_t kLzmaPropsOffset = kLzmaLengthOffset + 4;
constexpr std::size_t kLzmaPropsSize = 5;
constexpr std::size_t kLzmaDataOffset = kLzmaPropsOffset + kLzmaPropsSize;

// Makes room for one more chunk of output at the end of out and returns where it starts;
// keepWritten() then drops what the step left unwritten.
std::uint8_t* addChunk(Bytes& out) {
    out.resize(out.size() + kChunk);
    return out.data() + out.size() - kChunk;
}

void keepWritten(Bytes& out, std::size_t unwritten) { out.resize(out.size() - unwritten); }

std::string sizeText(std::size_t n) { return std::to_string(n) + " bytes"; }

// Checks one step of output against the length the header promises. Messages count
// the whole movie, as the header's file length does.
bool overflows(std::size_t produced, std::size_t expected, std::string* error) {
    if (produced <= expected) return false;
    *error = "the compressed data holds more than the " + sizeText(expected + kSWFPrefixSize) +
             " the header gives; the header is wrong";
    return true;
}

std::string shortText(std::size_t produced, std::size_t expected) {
    return "the compressed data ends after " + sizeText(produced + kSWFPrefixSize) + " of the " +
           sizeText(expected + kSWFPrefixSize) + " the header gives";
}

bool inflateZlib(ByteSpan in, std::size_t expected, Bytes& out, std::string* error) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) {
        *error = "zlib cannot be started";
        return false;
    }
    std::unique_ptr<z_stream, int (*)(z_stream*)> guard(&stream, inflateEnd);
    stream.next_in = const_cast<Bytef*>(in.data());
    stream.avail_in = static_cast<uInt>(in.size());
    const std::size_t base = out.size();
    for (;;) {
        stream.next_out = addChunk(out);
        stream.avail_out = static_cast<uInt>(kChunk);
        const int status = inflate(&stream, Z_NO_FLUSH);
        keepWritten(out, stream.avail_out);
        const std::size_t produced = out.size() - base;
        if (overflows(produced, expected, error)) return false;
        if (status == Z_STREAM_END) {
            if (produced == expected) return true;
            *error = shortText(produced, expected);
            return false;
        }
        if (status == Z_BUF_ERROR || (status == Z_OK && stream.avail_in == 0 && stream.avail_out != 0)) {
            // Data that stops after the last promised byte (a stream cut before its
            // checksum) holds the whole movie, as players take it.
            if (produced == expected) return true;
            *error = shortText(produced, expected);
            return false;
        }
        if (status != Z_OK) {
            *error = std::string("the zlib data is broken (") +
                     (stream.msg != nullptr ? stream.msg : "zlib error") + ")";
            return false;
        }
    }
}

// Deflate expands its input at most 1032 times: data that promises more cannot hold it.
constexpr std::size_t kMaxDeflateRatio = 1032;

// Inflates the whole stream at once with libdeflate. nullopt when zlib's step by step
// inflation must judge instead: libdeflate finds the data broken (a stream cut before its
// checksum is among those, and players take it whole), or the data is too short to hold
// what the header promises, whose output is then not set aside at once.
std::optional<bool> inflateWhole(ByteSpan in, std::size_t expected, Bytes& out, std::string* error) {
    if (expected / kMaxDeflateRatio > in.size()) return std::nullopt;
    std::unique_ptr<libdeflate_decompressor, void (*)(libdeflate_decompressor*)> decompressor(
        libdeflate_alloc_decompressor(), libdeflate_free_decompressor);
    if (!decompressor) return std::nullopt;
    const std::size_t base = out.size();
    out.resize(base + expected);
    std::size_t consumed = 0;
    std::size_t produced = 0;
    switch (libdeflate_zlib_decompress_ex(decompressor.get(), in.data(), in.size(), out.data() + base, expected,
                                          &consumed, &produced)) {
        case LIBDEFLATE_SUCCESS:
            if (produced == expected) return true;
            *error = shortText(produced, expected);
            return false;
        case LIBDEFLATE_INSUFFICIENT_SPACE:
            overflows(expected + 1, expected, error);
            return false;
        default:
            out.resize(base);
            return std::nullopt;
    }
}

bool inflateLzma(ByteSpan in, std::size_t expected, Bytes& out, std::string* error) {
    ByteReader reader(in);
    reader.skip(kLzmaPropsOffset);
    ByteSpan props = reader.readBytes(kLzmaPropsSize);
    if (reader.overrun()) {
        *error = "the LZMA header is cut short";
        return false;
    }
    lzma_filter filters[2] = {{LZMA_FILTER_LZMA1EXT, nullptr}, {LZMA_VLI_UNKNOWN, nullptr}};
    if (lzma_properties_decode(&filters[0], nullptr, props.data(), props.size()) != LZMA_OK) {
        *error = "the LZMA properties are not valid";
        return false;
    }
    std::unique_ptr<lzma_options_lzma, void (*)(void*)> options(
        static_cast<lzma_options_lzma*>(filters[0].options), free);
    // A dictionary larger than the whole output is never used: capping it keeps a
    // movie from asking for gigabytes of it.
    options->dict_size = std::clamp<std::uint32_t>(options->dict_size, LZMA_DICT_SIZE_MIN,
                                                   std::max<std::uint32_t>(expected, LZMA_DICT_SIZE_MIN));
    // The size is known from the header; writers differ in whether they end the data
    // with an end marker as well.
    options->ext_flags = LZMA_LZMA1EXT_ALLOW_EOPM;
    lzma_set_ext_size(*options, expected);

    lzma_stream stream = LZMA_STREAM_INIT;
    if (lzma_raw_decoder(&stream, filters) != LZMA_OK) {
        *error = "the LZMA decoder cannot be started";
        return false;
    }
    std::unique_ptr<lzma_stream, void (*)(lzma_stream*)> guard(&stream, lzma_end);
    ByteSpan data = reader.rest();
    stream.next_in = data.data();
    stream.avail_in = data.size();
    const std::size_t base = out.size();
    for (;;) {
        stream.next_out = addChunk(out);
        stream.avail_out = kChunk;
        const lzma_ret status = lzma_code(&stream, LZMA_FINISH);
        keepWritten(out, stream.avail_out);
        const std::size_t produced = out.size() - base;
        if (overflows(produced, expected, error)) return false;
        if (status == LZMA_STREAM_END) {
            if (produced == expected) return true;
            *error = shortText(produced, expected);
            return false;
        }
        if (status == LZMA_BUF_ERROR) {
            *error = shortText(produced, expected);
            return false;
        }
        if (status != LZMA_OK) {
            *error = "the LZMA data is broken";
            return false;
        }
    }
}

// Raw LZMA without an end marker (the header gives the size), with its 5 property bytes.
Bytes deflateLzma(ByteSpan in, std::array<std::uint8_t, kLzmaPropsSize>& props) {
    lzma_options_lzma options{};
    lzma_lzma_preset(&options, LZMA_PRESET_DEFAULT);
    lzma_filter filters[2] = {{LZMA_FILTER_LZMA1EXT, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    lzma_properties_encode(&filters[0], props.data());
    lzma_stream stream = LZMA_STREAM_INIT;
    Bytes out;
    if (lzma_raw_encoder(&stream, filters) != LZMA_OK) return out;
    std::unique_ptr<lzma_stream, void (*)(lzma_stream*)> guard(&stream, lzma_end);
    stream.next_in = in.data();
    stream.avail_in = in.size();
    lzma_ret status = LZMA_OK;
    while (status == LZMA_OK) {
        stream.next_out = addChunk(out);
        stream.avail_out = kChunk;
        status = lzma_code(&stream, LZMA_FINISH);
        keepWritten(out, stream.avail_out);
    }
    return out;
}

}  // namespace

std::optional<SWFCompression> compressionOfSignature(std::string_view signature) {
    if (signature == "FWS") return SWFCompression::None;
    if (signature == "CWS") return SWFCompression::Zlib;
    if (signature == "ZWS") return SWFCompression::Lzma;
    return std::nullopt;
}

const char* signatureOf(SWFCompression compression) {
    switch (compression) {
        case SWFCompression::Zlib:
            return "CWS";
        case SWFCompression::Lzma:
            return "ZWS";
        case SWFCompression::None:
            break;
    }
    return "FWS";
}

const char* compressionName(SWFCompression compression) {
    switch (compression) {
        case SWFCompression::Zlib:
            return "zlib";
        case SWFCompression::Lzma:
            return "LZMA";
        case SWFCompression::None:
            break;
    }
    return "uncompressed";
}

std::optional<Bytes> unpackSWF(ByteSpan movie, SWFCompression compression, std::string* error) {
    ByteReader reader(movie);
    ByteSpan prefix = reader.readBytes(kSWFPrefixSize);
    if (reader.overrun()) {
        *error = "the header is cut short";
        return std::nullopt;
    }
    if (compression == SWFCompression::None) return Bytes(movie.begin(), movie.end());
    const std::uint32_t fileLength = peekUI32(prefix, 4);
    if (fileLength < kSWFPrefixSize || fileLength > kMaxUncompressed) {
        *error = "the header gives an uncompressed length of " + sizeText(fileLength) +
                 ", which cannot be right (a movie takes 8 to " + sizeText(kMaxUncompressed) + ")";
        return std::nullopt;
    }
    const std::size_t expected = fileLength - kSWFPrefixSize;
    Bytes out(prefix.begin(), prefix.end());
    bool ok = false;
    if (compression == SWFCompression::Lzma) {
        ok = inflateLzma(movie, expected, out, error);
    } else if (const auto whole = inflateWhole(reader.rest(), expected, out, error)) {
        ok = *whole;
    } else {
        ok = inflateZlib(reader.rest(), expected, out, error);
    }
    if (!ok) return std::nullopt;
    return out;
}

Bytes packSWF(ByteSpan plain, SWFCompression compression) {
    Bytes out(plain.begin(), plain.begin() + std::min(plain.size(), kSWFPrefixSize));
    if (out.size() < kSWFPrefixSize) return out;
    const char* signature = signatureOf(compression);
    std::copy(signature, signature + 3, out.begin());
    ByteSpan rest = plain.subspan(kSWFPrefixSize);
    switch (compression) {
        case SWFCompression::None:
            out.insert(out.end(), rest.begin(), rest.end());
            break;
        case SWFCompression::Zlib: {
            Bytes packed = zlibCompress(rest);
            out.insert(out.end(), packed.begin(), packed.end());
            break;
        }
        case SWFCompression::Lzma: {
            std::array<std::uint8_t, kLzmaPropsSize> props{};
            Bytes packed = deflateLzma(rest, props);
            writeUI32(out, static_cast<std::uint32_t>(packed.size()));
            out.insert(out.end(), props.begin(), props.end());
            out.insert(out.end(), packed.begin(), packed.end());
            break;
        }
    }
    return out;
}

}  // namespace tarvenox
