// Static texts given new strings.
#include "publish/TextChanges.h"
#include "common/Texts.h"

#include "common/Cp1252.h"
#include "edit/StaticTextFace.h"
#include "font/StaticTextChange.h"
#include "publish/Refusal.h"
#include "swf/CharacterTags.h"
#include "swf/SWFFile.h"

namespace tarvenox {

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
        if (!id) return failedWith("--text " + slot + ": " + tarvenox::text("save.notCharacterId", {slot}));
        if (const Report check = checkStaticTextId(movie, *id); check.failed()) {
            return failedWith("--text " + slot + ": " + check.reason());
        }
        auto text = utf8CodePoints(value);
        if (!text) return failedWith("--text " + slot + ": " + tarvenox::text("save.notUtf8"));
        changes.push_back({*id, std::move(*text)});
    }
    return changes;
}

Report changeStaticTexts(SWFFile& movie, const std::vector<TextChange>& changes, const Replacements& fonts) {
    for (const auto& change : changes) {
        const Report changed =
            changeStaticText(movie, change.id, change.text, faceForStaticText(movie, change.id, fonts));
        if (changed.failed()) return failedWith("--text " + std::to_string(change.id) + ": " + changed.reason());
    }
    return {};
}

}  // namespace tarvenox
