// ExportAssets (code 56): character ids made reachable under names.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "swf/SWFTag.h"

namespace tarvenox {

class SWFExportAssets : public SWFTag {
public:
    struct Asset {
        std::uint16_t id = 0;
        std::string name;  // Windows-1252 bytes
    };

    SWFExportAssets(int code, Bytes body) : SWFTag(code, std::move(body)) {}

    // The first asset of the tag (body bytes 2-3 and the NUL-terminated name from byte
    // 4): the only one that lookups by name consider. nullopt when the body is too short
    // or the name has no terminator.
    std::optional<Asset> firstAsset() const;

    // Every asset the body holds, for listing; stops at the first one cut short.
    std::vector<Asset> assets() const;
};

}  // namespace tarvenox
