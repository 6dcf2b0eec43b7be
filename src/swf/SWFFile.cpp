// The model of a movie, and writing it.
#include "swf/SWFFile.h"

#include "common/FileIO.h"
#include "common/Log.h"
#include "swf/SWFBackgroundColor.h"
#include "swf/SWFExportAssets.h"

namespace tarvenox {

namespace {

// The End tag: a record header of code 0, length 0.
constexpr std::uint8_t kEndTag[] = {0, 0};
constexpr std::size_t kEndTagSize = sizeof kEndTag;

}  // namespace

SWFFile::SWFFile(MovieHeader header, SWFCompression compression, std::vector<std::unique_ptr<SWFTag>> tags,
                 bool endTagMissing, std::shared_ptr<const ByteSource> source)
    : header_(std::move(header)),
      compression_(compression),
      endTagMissing_(endTagMissing),
      tags_(std::move(tags)),
      source_(std::move(source)) {}

SWFFile::SWFFile(std::uint8_t version, SWFRect frame, double frameRate, std::uint16_t frameCount)
    : SWFFile(MovieHeader(version, frame, frameRate, frameCount), SWFCompression::None, {}, false, nullptr) {}

ByteChain SWFFile::bytes() const {
    ByteChain out;
    std::uint64_t total = header_.size() + kEndTagSize;
    for (const auto& tag : tags_) total += tag->outputSize();
    // The file length is computed for the bytes written, never kept in the model.
    out.appendCopy(header_.withFileLength(total));
    for (const auto& tag : tags_) tag->appendTo(out);
    out.appendCopy(kEndTag);
    if (compression_ == SWFCompression::None) return out;
    return ByteChain(packSWF(out.flatten(), compression_));
}

Bytes SWFFile::serialize() const { return bytes().flatten(); }

void SWFFile::setCompression(SWFCompression compression) {
    compression_ = compression;
    header_.setCompression(compression);
}

Report SWFFile::write(const std::string& path) {
    if (source_ && source_->changed()) {
        return Report::failure(path + ": the movie's file changed while it was read; the movie was not written");
    }
    logPrint("writing SWFFile: %s\n", path.c_str());
    return writeFileAtomically(path, bytes());
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

}  // namespace tarvenox
