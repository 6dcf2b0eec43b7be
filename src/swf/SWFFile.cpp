// Reading and writing an SWF movie.
#include "swf/SWFFile.h"

#include <cstdio>

#include "common/ByteReader.h"
#include "common/ByteWriter.h"
#include "common/FileIO.h"
#include "common/Log.h"
#include "swf/SWFBackgroundColor.h"
#include "swf/SWFCompression.h"
#include "swf/SWFExportAssets.h"
#include "swf/TagFactory.h"

namespace tarvenox {

namespace {

// Signature, version and file length come before the frame RECT.
constexpr std::size_t kRectOffset = 8;
constexpr std::size_t kFileLengthOffset = 4;
constexpr std::uint32_t kLongLengthMark = 63;
// The End tag: a record header of code 0, length 0.
constexpr std::size_t kEndTagSize = 2;

// A signature as it can be shown: bytes outside printable ASCII as \xNN.
std::string displaySignature(const std::string& sig) {
    std::string out;
    for (unsigned char c : sig) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out;
}

std::string describeTag(int code) {
    return "tag " + std::to_string(code) + " (" + std::string(tagName(code)) + ")";
}

}  // namespace

std::size_t SWFFile::headerLength(int nBits) {
    // 8 bytes before the RECT, the RECT's 5 + 4 * Nbits bits rounded up to whole
    // bytes, then frame rate and frame count (2 bytes each).
    return 13 + static_cast<std::size_t>((4 * nBits + 5) / 8);
}

SWFFile::SWFFile(const std::string& path) { readFile(path); }

SWFFile::SWFFile(const std::string& path, TagSink onTag) : tagSink_(std::move(onTag)) {
    readFile(path);
}

void SWFFile::readFile(const std::string& path) {
    std::string error;
    auto data = readFileBytes(path, &error);
    if (!data) {
        error_ = error;
        return;
    }
    read(*data, path);
}

SWFFile::SWFFile(ByteSpan data, const std::string& name) { read(data, name); }

SWFFile::SWFFile(std::uint8_t version, SWFRect frame, double frameRate, std::uint16_t frameCount) {
    header_ = {'F', 'W', 'S', version, 0, 0, 0, 0};
    SWFBitWriter rect;
    frame.write(rect);
    header_.insert(header_.end(), rect.bytes().begin(), rect.bytes().end());
    const auto rate = static_cast<std::uint16_t>(frameRate * 256.0 + 0.5);
    writeUI16(header_, rate);
    writeUI16(header_, frameCount);
}

void SWFFile::read(ByteSpan data, const std::string& name) {
    if (data.size() < 3) {
        error_ = name + ": the header is cut short (" + std::to_string(data.size()) +
                 " bytes, a movie has at least 9)";
        return;
    }
    const std::string sig = asString(data.first(3));
    const auto compression = compressionOfSignature(sig);
    if (!compression) {
        error_ = name + ": not an SWF movie: it starts with '" + displaySignature(sig) +
                 "', not FWS, CWS or ZWS";
        return;
    }
    compression_ = *compression;
    std::optional<Bytes> unpacked;
    if (compression_ != SWFCompression::None) {
        std::string problem;
        unpacked = unpackSWF(data, compression_, &problem);
        if (!unpacked) {
            error_ = name + ": a " + sig + " movie whose " + compressionName(compression_) +
                     " data cannot be used: " + problem;
            return;
        }
        data = *unpacked;
    }
    readPlain(data, name);
}

void SWFFile::readPlain(ByteSpan data, const std::string& name) {
    ByteReader reader(data);
    if (data.size() < kRectOffset + 1) {
        error_ = name + ": the header is cut short (" + std::to_string(data.size()) +
                 " bytes, a movie has at least 9)";
        return;
    }
    const int nBits = data[kRectOffset] >> 3;
    const std::size_t length = headerLength(nBits);
    ByteSpan header = reader.readBytes(length);
    if (reader.overrun()) {
        error_ = name + ": the header is cut short (" + std::to_string(data.size()) + " of " +
                 std::to_string(length) + " bytes)";
        return;
    }
    header_.assign(header.begin(), header.end());

    for (;;) {
        const std::size_t offset = reader.position();
        // Compilers that leave the End tag out write movies that players take as they
        // are: the last tag ends exactly at the end of the data.
        if (reader.atEnd()) {
            endTagMissing_ = true;
            return;
        }
        if (reader.remaining() < 2) {
            error_ = name + ": the movie ends at offset " + std::to_string(offset) +
                     " inside a record header";
            return;
        }
        const std::uint16_t word = reader.readU16LE();
        const int code = word >> 6;
        // The End tag; anything after it is dropped. A record of code 0 with a length
        // is taken as the End tag too, as players take it: kept as a tag, it would be
        // written back as a bare End tag and cut the movie short there.
        if (code == static_cast<int>(TagCode::End)) break;
        std::uint32_t bodyLength = word & 0x3F;
        if (bodyLength == kLongLengthMark) {
            bodyLength = reader.readU32LE();
            if (reader.overrun()) {
                error_ = name + ": " + describeTag(code) + " at offset " + std::to_string(offset) +
                         " ends inside its record header";
                return;
            }
        }
        if (bodyLength > reader.remaining()) {
            error_ = name + ": " + describeTag(code) + " at offset " + std::to_string(offset) +
                     " ends after " + std::to_string(reader.remaining()) + " of " +
                     std::to_string(bodyLength) + " bytes";
            return;
        }
        ByteSpan body = reader.readBytes(bodyLength);
        auto tag = createTag(code, Bytes(body.begin(), body.end()));
        if (tagSink_) {
            tagSink_(std::move(tag));
        } else {
            tags_.push_back(std::move(tag));
        }
    }
}

Bytes SWFFile::serialize() const {
    // A movie whose header could not be read has nothing to write.
    if (header_.size() < kRectOffset) return {};
    std::size_t total = header_.size() + kEndTagSize;
    for (const auto& tag : tags_) total += tag->outputSize();
    // The file length is computed for the bytes written, never kept in the model.
    const auto fileLength = static_cast<std::uint32_t>(total);
    Bytes out;
    out.reserve(total);
    out.insert(out.end(), header_.begin(), header_.end());
    for (int i = 0; i < 4; ++i) {
        out[kFileLengthOffset + i] = static_cast<std::uint8_t>((fileLength >> (8 * i)) & 0xFF);
    }
    for (const auto& tag : tags_) tag->writeTo(out);
    writeUI16(out, 0);
    if (compression_ == SWFCompression::None) return out;
    return packSWF(out, compression_);
}

void SWFFile::setCompression(SWFCompression compression) {
    compression_ = compression;
    if (header_.size() < 3) return;
    const char* sig = signatureOf(compression);
    std::copy(sig, sig + 3, header_.begin());
}

bool SWFFile::write(const std::string& path, std::string* error) {
    if (!complete()) {
        if (error != nullptr) *error = error_ + "; the movie was not written";
        return false;
    }
    Bytes bytes = serialize();
    logPrint("writing SWFFile: %s\n", path.c_str());
    return writeFileAtomically(path, bytes, error);
}

std::string SWFFile::signature() const {
    return header_.size() >= 3 ? asString(ByteSpan(header_).first(3)) : std::string();
}

std::uint8_t SWFFile::version() const { return header_.size() > 3 ? header_[3] : 0; }

std::uint32_t SWFFile::fileLengthField() const {
    if (header_.size() < 8) return 0;
    ByteReader reader(ByteSpan(header_).subspan(kFileLengthOffset, 4));
    return reader.readU32LE();
}

SWFRect SWFFile::frameRect() const {
    if (header_.size() <= kRectOffset) return {};
    SWFBitReader reader(ByteSpan(header_).subspan(kRectOffset));
    return SWFRect::read(reader);
}

double SWFFile::frameRate() const {
    if (header_.size() < 4) return 0;
    // 8.8 fixed point: the fraction byte comes first.
    const std::size_t at = header_.size() - 4;
    return header_[at + 1] + header_[at] / 256.0;
}

std::uint16_t SWFFile::frameCount() const {
    if (header_.size() < 2) return 0;
    return peekUI16(header_, header_.size() - 2);
}

std::optional<std::uint16_t> SWFFile::findExportedId(const std::string& exportName) const {
    for (const auto& tag : tags_) {
        auto* exports = dynamic_cast<const SWFExportAssets*>(tag.get());
        if (exports == nullptr) continue;
        for (const auto& asset : exports->assets()) {
            if (asset.name == exportName) return asset.id;
        }
    }
    return std::nullopt;
}

void SWFFile::setBackgroundColor(std::int32_t rgb) {
    for (auto& tag : tags_) {
        if (auto* background = dynamic_cast<SWFBackgroundColor*>(tag.get())) {
            background->setColor(rgb);
            return;
        }
    }
}

namespace {

// The file's bytes, inflated when it is a CWS or ZWS movie whose data can be used: the
// probes look at the movie as players see it.
std::optional<Bytes> readPlainMovie(const std::string& path) {
    auto data = readFileBytes(path);
    if (!data || data->size() < 3) return data;
    const auto compression = compressionOfSignature(asString(ByteSpan(*data).first(3)));
    if (!compression || *compression == SWFCompression::None) return data;
    std::string ignored;
    auto plain = unpackSWF(*data, *compression, &ignored);
    return plain ? plain : data;
}

}  // namespace

std::optional<std::int32_t> probeBackgroundColor(const std::string& path) {
    auto data = readPlainMovie(path);
    if (!data) return std::nullopt;
    const Bytes& d = *data;
    // 0x43 0x02 is the short record header of code 9 with length 3. The search runs
    // from the first byte, header included, like the record reader of old templates.
    for (std::size_t i = 0; i + 4 < d.size(); ++i) {
        if (d[i] == 0x43 && d[i + 1] == 0x02) return (d[i + 2] << 16) | (d[i + 3] << 8) | d[i + 4];
    }
    return std::nullopt;
}

std::optional<std::pair<std::int32_t, std::int32_t>> probeFrameSize(const std::string& path) {
    auto data = readPlainMovie(path);
    if (!data || data->size() <= kRectOffset) return std::nullopt;
    ByteSpan rectBytes = ByteSpan(*data).subspan(kRectOffset);
    SWFBitReader reader(rectBytes.first(std::min<std::size_t>(rectBytes.size(), 20)));
    SWFRect rect = SWFRect::read(reader);
    if (reader.overrun()) return std::nullopt;
    return std::make_pair(rect.width(), rect.height());
}

}  // namespace tarvenox
