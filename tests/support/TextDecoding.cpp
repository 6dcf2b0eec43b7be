// Static texts read back as strings.
#include "support/TextDecoding.h"

#include "font/StaticTextString.h"
#include "swf/SWFFile.h"
#include "swf/SWFStaticText.h"

namespace tarvenox::test {

std::u32string staticTextString(const SWFFile& movie, std::uint16_t id) {
    for (const auto& tag : movie.tags()) {
        const bool rgba = tag->code() == TagCode::DefineText2;
        if ((rgba || tag->code() == TagCode::DefineText) && tag->characterId() == id) {
            const auto text = SWFStaticText::read(tag->body(), rgba);
            return text ? tarvenox::staticTextString(movie, *text) : std::u32string{};
        }
    }
    return {};
}

}  // namespace tarvenox::test
