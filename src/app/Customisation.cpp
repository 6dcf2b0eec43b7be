// Recording the user's changes and saving them into the working copy.
#include "app/Customisation.h"

#include "app/TarvenoxApp.h"
#include "common/Cp1252.h"
#include "common/Exception.h"
#include "common/Log.h"
#include "common/Messages.h"
#include "swf/JpegCheck.h"
#include "swf/PictureFile.h"
#include "font/FontReplacement.h"
#include "sound/Mp3Sound.h"
#include "swf/SWFFile.h"

namespace tarvenox {

namespace {

// Log lines carry product names as they are best read on a UTF-8 terminal.
void logReplacement(const char* format, const std::string& name, const std::string& value) {
    logPrint(format, displayText(name).c_str(), value.c_str());
}

}  // namespace

void customiseMovie(SWFFile& movie, const Replacements& fonts, const Replacements& pictures,
                    const Replacements& sounds, const ActionVariables* variables,
                    std::optional<std::int32_t> background) {
    for (const auto& [name, face] : fonts) {
        logReplacement("replacing font %s with font %s\n", name, face);
        (void)replaceFont(movie, name, face);
    }
    for (const auto& [name, path] : pictures) {
        logReplacement("replacing image %s with image %s\n", name, path);
        movie.replacePicture(name, path);
    }
    for (const auto& [name, path] : sounds) {
        logReplacement("replacing mp3 %s with mp3 %s\n", name, path);
        (void)replaceSound(movie, name, path);
    }
    if (variables != nullptr) movie.setVariables(*variables);
    if (background) movie.setBackgroundColor(*background);
}

void recordFontReplacement(CTarvenoxApp& app, const std::string& fontName,
                           const std::string& faceName) {
    app.fontReplacements[fontName] = faceName;
}

bool recordPictureReplacement(CTarvenoxApp& app, const std::string& exportName,
                              const std::string& path) {
    // Only JPEG files are checked when chosen; a PNG is read when the movie is saved,
    // and a file of another kind is ignored then.
    if (pictureKind(path) == PictureKind::Jpeg) {
        try {
            checkJpeg(path);
        } catch (const FileException& e) {
            showMessage(e.getMessage(), MessageKind::Information);
            return false;
        }
    }
    app.pictureReplacements[exportName] = path;
    return true;
}

void recordSoundReplacement(CTarvenoxApp& app, const std::string& exportName,
                            const std::string& path) {
    app.soundReplacements[exportName] = path;
}

bool saveMovie(CTarvenoxApp& app) {
    app.workspace->extractAll();
    const std::string path = app.workingCopyPath();
    SWFFile movie(path);
    if (!movie.complete()) {
        showMessage("Der Film kann nicht gelesen werden und wurde nicht gespeichert.\n" +
                        movie.error(),
                    MessageKind::Information);
        return false;
    }
    try {
        customiseMovie(movie, app.fontReplacements, app.pictureReplacements,
                       app.soundReplacements, &app.actionVariables, app.currentBackgroundColor);
    } catch (const Exception& e) {
        // A variable that cannot be written as an action (a value too long for its
        // record): the movie is left as the template was.
        showMessage(e.getMessage(), MessageKind::Information);
        return false;
    }
    app.savedBackgroundColor = app.currentBackgroundColor;
    std::string error;
    if (!movie.write(path, &error)) {
        showMessage("Der Film konnte nicht gespeichert werden.\n" + error, MessageKind::Information);
        return false;
    }
    return true;
}

}  // namespace tarvenox
