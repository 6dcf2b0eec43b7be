// ExportAssets.
#include "swf/SWFExportAssets.h"

#include "common/ByteReader.h"

namespace tarvenox {

namespace {

std::optional<SWFExportAssets::Asset> readAsset(ByteReader& reader) {
    SWFExportAssets::Asset asset;
    asset.id = reader.readU16LE();
    auto name = reader.readCString();
    if (reader.overrun() || !name) return std::nullopt;
    asset.name = std::move(*name);
    return asset;
}

}  // namespace

std::optional<SWFExportAssets::Asset> SWFExportAssets::firstAsset() const {
    ByteReader reader(body());
    // The asset count is not looked at: a lookup only ever sees the first asset.
    reader.skip(2);
    return readAsset(reader);
}

std::vector<SWFExportAssets::Asset> SWFExportAssets::assets() const {
    ByteReader reader(body());
    std::uint16_t count = reader.readU16LE();
    std::vector<Asset> out;
    for (std::uint16_t i = 0; i < count; ++i) {
        auto asset = readAsset(reader);
        if (!asset) break;
        out.push_back(std::move(*asset));
    }
    return out;
}

}  // namespace tarvenox
