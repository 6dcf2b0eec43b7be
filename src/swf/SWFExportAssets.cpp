// ExportAssets and SymbolClass.
#include "swf/SWFExportAssets.h"

#include "common/ByteReader.h"

namespace tarvenox {

std::vector<SWFExportAssets::Asset> SWFExportAssets::assets() const {
    ByteReader reader(body());
    const std::uint16_t count = reader.readU16LE();
    std::vector<Asset> out;
    for (std::uint16_t i = 0; i < count; ++i) {
        Asset asset;
        asset.id = reader.readU16LE();
        auto name = reader.readCString();
        if (reader.overrun() || !name) break;
        asset.name = std::move(*name);
        out.push_back(std::move(asset));
    }
    return out;
}

}  // namespace tarvenox
