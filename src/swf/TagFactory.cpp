// The tag class for each tag code.
#include "swf/TagFactory.h"

#include "swf/SWFBackgroundColor.h"
#include "swf/SWFDefineShape.h"
#include "swf/SWFDefineSound.h"
#include "swf/SWFDoAction.h"
#include "swf/SWFExportAssets.h"
#include "swf/SWFFont.h"
#include "swf/SWFJpegImage.h"
#include "swf/SWFLosslessImage.h"

namespace tarvenox {

std::unique_ptr<SWFTag> createTag(TagCode code, TagBody body) {
    switch (code) {
        case TagCode::DefineShape:
        case TagCode::DefineShape2:
        case TagCode::DefineShape3:
        case TagCode::DefineShape4: return std::make_unique<SWFDefineShape>(code, std::move(body));
        case TagCode::DefineBits:
        case TagCode::DefineBitsJPEG2:
        case TagCode::DefineBitsJPEG3:
        case TagCode::DefineBitsJPEG4: return std::make_unique<SWFJpegImage>(code, std::move(body));
        case TagCode::SetBackgroundColor: return std::make_unique<SWFBackgroundColor>(code, std::move(body));
        case TagCode::DoAction: return std::make_unique<SWFDoAction>(code, std::move(body));
        case TagCode::DefineSound: return std::make_unique<SWFDefineSound>(code, std::move(body));
        case TagCode::DefineBitsLossless:
        case TagCode::DefineBitsLossless2: return std::make_unique<SWFLosslessImage>(code, std::move(body));
        case TagCode::DefineFont2:
        case TagCode::DefineFont3: return std::make_unique<SWFFont>(code, std::move(body));
        case TagCode::ExportAssets:
        case TagCode::SymbolClass: return std::make_unique<SWFExportAssets>(code, std::move(body));
        default: return std::make_unique<SWFTag>(code, std::move(body));
    }
}

}  // namespace tarvenox
