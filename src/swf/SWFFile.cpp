// The model of a movie: its header and tag list.
#include "swf/SWFFile.h"

#include "swf/CharacterTags.h"
#include "swf/SWFExportAssets.h"

namespace tarvenox {

SWFFile::SWFFile(MovieHeader header, SWFCompression compression, std::vector<std::unique_ptr<SWFTag>> tags,
                 bool endTagMissing, std::shared_ptr<const ByteSource> source)
    : header_(std::move(header)),
      compression_(compression),
      endTagMissing_(endTagMissing),
      tags_(std::move(tags)),
      source_(std::move(source)) {}

SWFFile::SWFFile(std::uint8_t version, SWFRect frame, double frameRate, std::uint16_t frameCount)
    : SWFFile(MovieHeader(version, frame, frameRate, frameCount), SWFCompression::None, {}, false, nullptr) {}

void SWFFile::setCompression(SWFCompression compression) {
    compression_ = compression;
    header_.setCompression(compression);
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

const SWFTag* SWFFile::findDefinition(std::uint16_t id) const {
    for (const auto& tag : tags_) {
        if (definesCharacter(tag->code()) && tag->length() >= 2 && tag->characterId() == id) return tag.get();
    }
    return nullptr;
}

std::optional<std::uint16_t> SWFFile::slotIdReading(const std::string& slot) const {
    if (findExportedId(slot)) return std::nullopt;
    return readCharacterId(slot);
}

std::optional<std::uint16_t> SWFFile::findSlotId(const std::string& slot) const {
    if (auto exported = findExportedId(slot)) return exported;
    const auto id = readCharacterId(slot);
    if (!id || findDefinition(*id) == nullptr) return std::nullopt;
    return id;
}

}  // namespace tarvenox
