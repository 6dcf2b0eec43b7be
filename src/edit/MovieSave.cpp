// Applying the user's changes to a movie.
#include "edit/MovieSave.h"

#include "common/Cp1252.h"
#include "common/Exception.h"
#include "common/Log.h"
#include "edit/ChosenMedia.h"
#include "font/FontReplacement.h"
#include "picture/PictureChoice.h"
#include "picture/PictureFile.h"
#include "picture/PictureReplacement.h"
#include "sound/Mp3Sound.h"
#include "swf/MovieVariables.h"
#include "swf/SWFBackgroundColor.h"
#include "swf/SWFDefineSound.h"
#include "swf/SWFImage.h"

namespace tarvenox {

namespace {

// Log lines carry product names as they are best read on a UTF-8 terminal.
void logReplacement(const char* format, const std::string& name, const std::string& value) {
    logPrint(format, displayText(name).c_str(), value.c_str());
}

// The replacements whose file or face the chosen media do not hold.
Replacements notHeld(const Replacements& all, const ChosenMedia* chosen,
                     bool (ChosenMedia::*holds)(const std::string&) const) {
    if (chosen == nullptr) return all;
    Replacements rest;
    for (const auto& [name, value] : all) {
        if (!(chosen->*holds)(value)) rest.emplace(name, value);
    }
    return rest;
}

}  // namespace

Report customiseMovie(SWFFile& movie, const Replacements& fonts, const Replacements& pictures, const PictureFits& fits,
                      const Replacements& sounds, const ActionVariables* variables,
                      std::optional<std::int32_t> background, Conversions* conversions, const ChosenMedia* chosen) {
    std::optional<Conversions> own;
    if (conversions == nullptr) {
        conversions = &own.emplace(movie, notHeld(fonts, chosen, &ChosenMedia::holdsFace),
                                   notHeld(pictures, chosen, &ChosenMedia::holdsPicture),
                                   notHeld(sounds, chosen, &ChosenMedia::holdsSound));
    }
    Report report;
    for (const auto& [name, face] : fonts) {
        logReplacement("replacing font %s with font %s\n", name, face);
        const GlyphOutlines* outlines = chosen != nullptr ? chosen->outlines(face) : nullptr;
        if (outlines == nullptr) outlines = conversions->outlines(name, face);
        report.add(outlines != nullptr ? replaceFont(movie, name, face, *outlines) : replaceFont(movie, name, face));
    }
    for (const auto& [name, path] : pictures) {
        logReplacement("replacing image %s with image %s\n", name, path);
        const PictureFit fit = fitOf(fits, name);
        if (auto held = chosen != nullptr ? chosen->picture(path) : nullptr) {
            report.add(installPicture(movie, name, PictureConversion{std::move(held), Report{}, nullptr}, fit));
        } else if (Result<PictureConversion>* picture = conversions->picture(name, path)) {
            report.add(installPicture(movie, name, std::move(*picture), fit));
        } else {
            report.add(replacePicture(movie, name, path, fit));
        }
    }
    for (const auto& [name, path] : sounds) {
        logReplacement("replacing mp3 %s with mp3 %s\n", name, path);
        if (auto held = chosen != nullptr ? chosen->sound(path) : nullptr) {
            report.add(installSound(movie, name, SoundConversion{std::move(held)}));
            continue;
        }
        Result<SoundConversion>* sound = conversions->sound(name, path);
        report.add(sound != nullptr ? installSound(movie, name, std::move(*sound)) : replaceSound(movie, name, path));
    }
    if (variables != nullptr) {
        try {
            setVariables(movie, *variables);
        } catch (const Exception& e) {
            // A variable that cannot be written as an action (a value too long for its
            // record): the actions stay as they were.
            report.fail(e.getMessage(), MessageKind::Information);
        }
    }
    if (background) setBackgroundColor(movie, *background);
    return report;
}

}  // namespace tarvenox
