// ExportAssets (code 56) and SymbolClass (code 76): character ids made reachable under
// names. Both bodies are a UI16 count followed by that many (UI16 id, STRING name) pairs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "swf/SWFTag.h"

namespace tarvenox {

class SWFExportAssets : public SWFTag {
public:
    struct Asset {
        std::uint16_t id = 0;
        std::string name;  // the bytes as stored
    };

    SWFExportAssets(TagCode code, TagBody body) : SWFTag(code, std::move(body)) {}

    // Every pair the body holds, in order; stops at the first one cut short.
    std::vector<Asset> assets() const;
};

}  // namespace tarvenox
