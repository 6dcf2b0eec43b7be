// Static texts given new strings.
#include "publish/TextChanges.h"

#include "common/Cp1252.h"
#include "font/StaticTextChange.h"
#include "publish/Refusal.h"
#include "swf/CharacterTags.h"
#include "swf/SWFFile.h"
#include "swf/SWFFont.h"

namespace tarvenox {

namespace {

// The face given for the font the text's new glyphs are drawn in: by the font's name (a
// movie may hold several fonts of one name), or by its character id where no font has
// that name; empty when none is.
std::string chosenFace(SWFFile& movie, std::uint16_t textId, const Replacements& fonts) {
    const auto fontId = staticTextFont(movie, textId);
    if (!fontId) return {};
    for (const auto& tag : movie.tags()) {
        const auto* font = dynamic_cast<const SWFFont*>(tag.get());
        if (font == nullptr || font->characterId() != *fontId) continue;
        for (const auto& [name, face] : fonts) {
            if (toMovieText(name, movie.textEncoding()) == font->getFontName()) return face;
            if (readCharacterId(name) == fontId && findFontNamed(movie, name) == nullptr) return face;
        }
        return {};
    }
    return {};
}

}  // namespace

std::string unescapedText(const std::string& option) {
    std::string text;
    for (std::size_t i = 0; i < option.size(); ++i) {
        if (option[i] == '\\' && i + 1 < option.size() && (option[i + 1] == 'n' || option[i + 1] == '\\')) {
            text += option[i + 1] == 'n' ? '\n' : '\\';
            ++i;
        } else {
            text += option[i];
        }
    }
    return text;
}

Result<std::vector<TextChange>> checkedTextChanges(const SWFFile& movie, const std::vector<SlotChange>& texts) {
    std::vector<TextChange> changes;
    for (const auto& [slot, value] : texts) {
        const auto id = readCharacterId(slot);
        if (!id) return failedWith("--text " + slot + ": '" + slot + "' is not a character id");
        if (const Report check = checkStaticTextId(movie, *id); check.failed()) {
            return failedWith("--text " + slot + ": " + check.reason());
        }
        auto text = utf8CodePoints(value);
        if (!text) return failedWith("--text " + slot + ": the text is not UTF-8");
        changes.push_back({*id, std::move(*text)});
    }
    return changes;
}

Report changeStaticTexts(SWFFile& movie, const std::vector<TextChange>& changes, const Replacements& fonts) {
    for (const auto& change : changes) {
        const Report changed = changeStaticText(movie, change.id, change.text, chosenFace(movie, change.id, fonts));
        if (changed.failed()) return failedWith("--text " + std::to_string(change.id) + ": " + changed.reason());
    }
    return {};
}

}  // namespace tarvenox
