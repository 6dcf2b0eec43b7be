// Replacements checked against their movie.
#include "publish/SlotChanges.h"
#include "common/Texts.h"

#include <algorithm>

#include "common/Cp1252.h"
#include "edit/ColorText.h"
#include "edit/VariableText.h"
#include "publish/Refusal.h"

namespace tarvenox {

namespace {

struct ChangeOption {
    const char* option;
    const char* form;  // the id of the form a value takes
};

ChangeOption optionOf(ChangeKind kind) {
    switch (kind) {
        case ChangeKind::Font: return {"--font", "form.nameFace"};
        case ChangeKind::Picture: return {"--image", "form.exportFile"};
        case ChangeKind::Sound: return {"--mp3", "form.exportFile"};
    }
    return {"", ""};
}

// The name in Windows-1252: a name the movie cannot hold would only be searched for with
// '?' in its place.
Result<std::string> productName(ChangeKind kind, const SlotChange& change) {
    const std::string spec = change.slot + "=" + change.value;
    if (change.slot.empty() || change.value.empty()) return failedWith(notInFormLine(kind, spec));
    auto name = productText(change.slot);
    if (!name) {
        return failedWith(std::string(optionOf(kind).option) + ": " + text("variable.notWindows1252", {spec}));
    }
    return std::move(*name);
}

}  // namespace

std::string notInFormLine(ChangeKind kind, const std::string& spec) {
    const ChangeOption option = optionOf(kind);
    return text("form.notInForm", {option.option, spec, text(option.form)});
}

Result<Replacements> checkedChanges(SWFFile& movie, ChangeKind kind, const std::vector<SlotChange>& changes,
                                    Conversions* conversions) {
    const std::string option = optionOf(kind).option;
    Replacements replacements;
    for (const auto& change : changes) {
        auto name = productName(kind, change);
        if (!name) return name.report();
        if (const Report named = checkChangeName(movie, kind, *name, change.value); named.failed()) {
            return failedWith(option + " " + change.slot + "=" + change.value + ": " + named.reason());
        }
        if (const Report usable = checkChangeValue(kind, *name, change.value, conversions); usable.failed()) {
            return failedWith(option + " " + displayText(*name) + ": " + usable.reason());
        }
        replacements[*name] = change.value;
    }
    return replacements;
}

Replacements wellFormed(const std::vector<SlotChange>& changes) {
    Replacements replacements;
    for (const auto& change : changes) {
        // The kind only words a refusal, which is left out here.
        if (auto name = productName(ChangeKind::Font, change)) replacements[*name] = change.value;
    }
    return replacements;
}

Result<PictureFits> checkedFits(const std::vector<SlotChange>& pictures, const std::vector<SlotChange>& fits) {
    PictureFits checked;
    for (const auto& fit : fits) {
        const std::string spec = fit.slot + "=" + fit.value;
        const auto mode = parsePictureFit(fit.value);
        if (!mode) return failedWith("--fit: " + text("save.notFit", {spec}));
        if (std::none_of(pictures.begin(), pictures.end(),
                         [&](const SlotChange& picture) { return picture.slot == fit.slot; })) {
            return failedWith("--fit " + spec + ": " + text("save.fitWithoutPicture", {fit.slot}));
        }
        // A name Windows-1252 cannot hold is refused with its picture change.
        checked[productText(fit.slot).value_or(fit.slot)] = *mode;
    }
    return checked;
}

Result<std::int32_t> backgroundColor(const std::string& text) {
    const auto color = parseColor(text);
    if (!color) return failedWith("--background: " + tarvenox::text("save.notColour", {text}));
    return *color;
}

}  // namespace tarvenox
