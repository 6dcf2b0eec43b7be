// The editing of an installation's templates.
#include "edit/EditSession.h"

#include <unistd.h>

#include <cctype>

#include "common/Cp1252.h"
#include "common/Exception.h"
#include "common/FileIO.h"
#include "common/Log.h"
#include "common/Texts.h"
#include "data/ProductNames.h"
#include "edit/MovieContents.h"
#include "edit/MovieSave.h"
#include "edit/PictureThumbnail.h"
#include "edit/StaticTextFace.h"
#include "edit/VariableText.h"
#include "font/StaticTextChange.h"
#include "picture/JpegCheck.h"
#include "picture/PictureFile.h"
#include "swf/MovieProbe.h"
#include "swf/MovieVariables.h"
#include "swf/SWFImage.h"
#include "swf/SWFReader.h"
#include "swf/SWFWriter.h"

namespace tarvenox {

namespace {

// The colour a player shows for a movie without a background colour.
constexpr std::int32_t defaultBackgroundColor = 0xFFFFFF;

// A product name as part of a file name: ASCII letters, digits and '-' stay, every
// other byte is written "_" and two hex digits, so two names never share a file.
std::string fileSafe(const std::string& name) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string safe;
    for (char c : name) {
        if (std::isalnum(static_cast<unsigned char>(c)) != 0 && static_cast<unsigned char>(c) < 0x80) {
            safe += c;
        } else if (c == '-') {
            safe += c;
        } else {
            safe += '_';
            safe += hex[static_cast<unsigned char>(c) >> 4];
            safe += hex[static_cast<unsigned char>(c) & 15];
        }
    }
    return safe;
}

// An editor text as the code points of a static text: each CR LF, CR and LF one line
// break.
std::u32string staticTextCodes(const std::string& text) {
    std::u32string codes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            codes += U'\n';
        } else {
            codes += cp1252ToUnicode(static_cast<std::uint8_t>(text[i]));
        }
    }
    return codes;
}

}  // namespace

void EditSession::open(std::string installation, std::string workingFolder, ConfigurationTexts texts,
                       std::unique_ptr<FileStore> store) {
    currentPath_ = std::move(installation);
    workingFolder_ = std::move(workingFolder);
    texts_ = std::move(texts);
    configTable_ = std::make_unique<TextTable>(texts_.configs);
    workspace_ = std::make_unique<TemplateWorkspace>(std::move(store), workingFolder_);
    // A session opened again (on another installation) starts with nothing selected.
    currentMovie_.clear();
    movieBaseName_.clear();
    fontReplacements_.clear();
    pictureReplacements_.clear();
    pictureFits_.clear();
    soundReplacements_.clear();
    actionVariables_.clear();
    variableTexts_.clear();
    staticTexts_.clear();
}

void EditSession::close() {
    removeOwnPictures();
    workspace_.reset();
}

void EditSession::removeOwnPictures() {
    for (const auto& [slot, file] : ownPictures_) ::unlink((workingFolder_ + file).c_str());
    ownPictures_.clear();
}

void EditSession::readOwnContents() {
    removeOwnPictures();
    staticTexts_.clear();
    auto movie = readSWF(workingCopyPath());
    if (!movie) return;
    const MovieContents contents = describeChangeable(*movie);
    for (const auto& slot : contents.staticTexts) {
        if (auto text = editableText(slot.text)) {
            staticTexts_.push_back({"text:" + std::to_string(slot.id), slot.id, *text, *text});
        }
    }
    for (const auto& picture : contents.pictures) {
        const SWFImage* image = findImageSlot(*movie, picture.name);
        if (image == nullptr) continue;
        auto png = pictureThumbnail(*movie, *image);
        if (!png) {
            logPrint("%s: picture %s: %s\n", currentMovie_.c_str(), picture.name.c_str(),
                     png.report().reason().c_str());
            continue;
        }
        const std::string file = "own-" + fileSafe(movieBaseName_) + "-" + fileSafe(picture.name) + ".png";
        if (writeFileAtomically(workingFolder_ + file, *png).failed()) continue;
        ownPictures_[picture.name] = file;
    }
}

void EditSession::selectMovie(const std::string& name) {
    if (name == currentMovie_) return;
    fontReplacements_.clear();
    pictureReplacements_.clear();
    pictureFits_.clear();
    soundReplacements_.clear();
    currentMovie_ = name;
    movieBaseName_ = baseName(name);
    workspace_->setTemplate("swf\\" + name);
    workspace_->extractAll();
    buildActionVariables(*configTable_, movieBaseName_, actionVariables_);
    variableTexts_.clear();
    for (const auto& variable : actionVariables_) variableTexts_.push_back(variable->getValueText());
    templateTexts_ = variableTexts_;
    readOwnContents();
    std::int32_t color = probeBackgroundColor(workingCopyPath()).value_or(defaultBackgroundColor);
    savedBackgroundColor_ = color;
    currentBackgroundColor_ = color;
}

void EditSession::replaceFont(const std::string& fontName, const std::string& face) {
    fontReplacements_[fontName] = face;
}

Report EditSession::replacePicture(const std::string& exportName, const std::string& path) {
    Report report;
    // Only JPEG files are checked when chosen; a PNG is read when the movie is saved,
    // and a file of another kind is ignored then.
    if (pictureKind(path) == PictureKind::Jpeg) {
        try {
            checkJpeg(path);
        } catch (const FileException& e) {
            report.fail(e.getMessage(), MessageKind::Information);
            return report;
        }
    }
    pictureReplacements_[exportName] = path;
    return report;
}

void EditSession::replaceSound(const std::string& exportName, const std::string& path) {
    soundReplacements_[exportName] = path;
}

Report EditSession::chooseFont(const std::string& fontName, const std::string& face) {
    Report added = chosenMedia_.addFace(face);
    if (!added.failed()) fontReplacements_[fontName] = face;
    return added;
}

Report EditSession::choosePicture(const std::string& exportName, const std::string& path) {
    Report added = chosenMedia_.addPicture(path);
    if (!added.failed()) pictureReplacements_[exportName] = path;
    return added;
}

Report EditSession::chooseSound(const std::string& exportName, const std::string& path) {
    Report added = chosenMedia_.addSound(path);
    if (!added.failed()) soundReplacements_[exportName] = path;
    return added;
}

bool EditSession::restoreFont(const std::string& fontName) { return fontReplacements_.erase(fontName) != 0; }

bool EditSession::restorePicture(const std::string& exportName) {
    pictureFits_.erase(exportName);
    return pictureReplacements_.erase(exportName) != 0;
}

bool EditSession::setPictureFit(const std::string& exportName, PictureFit fit) {
    if (!pictureReplacements_.contains(exportName) || fitOf(pictureFits_, exportName) == fit) return false;
    // Cover is the default: only the other fits are kept, so that going back to Cover
    // gives the edits they had before.
    if (fit == PictureFit::Cover) {
        pictureFits_.erase(exportName);
    } else {
        pictureFits_[exportName] = fit;
    }
    return true;
}

bool EditSession::restoreSound(const std::string& exportName) { return soundReplacements_.erase(exportName) != 0; }

void EditSession::setBackground(std::int32_t rgb) { currentBackgroundColor_ = rgb; }

std::string EditSession::workingCopyPath() const { return workingFolder_ + diskName(movieBaseName_) + ".swf"; }

const std::string& EditSession::variableText(std::size_t i) const {
    static const std::string none;
    return i < variableTexts_.size() ? variableTexts_[i] : none;
}

void EditSession::setVariableText(const std::string& name, const std::string& text) {
    for (std::size_t i = 0; i < actionVariables_.size(); ++i) {
        if (actionVariables_[i]->getName() != name) continue;
        actionVariables_[i]->setValue(text);
        variableTexts_[i] = text;
        return;
    }
}

Report EditSession::setDeclaredVariable(const std::string& name, const std::string& value) {
    Report report = tarvenox::setDeclaredVariable(actionVariables_, name, value);
    for (std::size_t i = 0; i < actionVariables_.size(); ++i) {
        if (actionVariables_[i]->getName() == name) variableTexts_[i] = value;
    }
    return report;
}

bool EditSession::setStaticText(const std::string& name, const std::string& text) {
    for (auto& staticText : staticTexts_) {
        if (staticText.name != name) continue;
        staticText.text = text;
        return true;
    }
    return false;
}

EditState EditSession::edits() const {
    EditState state;
    for (std::size_t i = 0; i < actionVariables_.size(); ++i) {
        state.variables.emplace_back(actionVariables_[i]->getName(), variableTexts_[i]);
    }
    for (const auto& text : staticTexts_) state.staticTexts.emplace_back(text.name, text.text);
    state.fonts = fontReplacements_;
    state.pictures = pictureReplacements_;
    state.fits = pictureFits_;
    state.sounds = soundReplacements_;
    state.background = currentBackgroundColor_;
    return state;
}

void EditSession::restore(const EditState& state) {
    for (const auto& [name, text] : state.variables) setVariableText(name, text);
    for (const auto& [name, text] : state.staticTexts) setStaticText(name, text);
    fontReplacements_ = state.fonts;
    pictureReplacements_ = state.pictures;
    pictureFits_ = state.fits;
    soundReplacements_ = state.sounds;
    currentBackgroundColor_ = state.background;
}

Report EditSession::save() {
    Report report;
    workspace_->extractAll();
    const std::string path = workingCopyPath();
    auto read = readSWF(path);
    if (!read) {
        report.fail(text("save.unreadable") + "\n" + read.report().reason()).because(read.report().reason());
        return report;
    }
    SWFFile& movie = *read;
    // Variables that cannot be written leave the working copy as the template was.
    // A plain movie's own actions stay: the variables the user changed are assigned in
    // them. An installation's template has its variables' actions rewritten whole.
    ActionVariables changed;
    if (onlyChangedVariables_) {
        for (std::size_t i = 0; i < actionVariables_.size(); ++i) {
            if (variableTexts_[i] == templateTexts_[i]) continue;
            const SWFType& variable = *actionVariables_[i];
            changed.push_back(makeSWFType(variable.typeLetter(), variable.getName(), variableTexts_[i]));
        }
    }
    const ActionVariables& written = onlyChangedVariables_ ? changed : actionVariables_;
    try {
        (void)actionBytes(written, movie.textEncoding());
    } catch (const Exception& e) {
        report.fail(e.getMessage());
        return report;
    }
    report.add(customiseMovie(movie, fontReplacements_, pictureReplacements_, pictureFits_, soundReplacements_,
                              onlyChangedVariables_ ? nullptr : &actionVariables_, currentBackgroundColor_, nullptr,
                              &chosenMedia_));
    if (onlyChangedVariables_) report.add(assignVariables(movie, changed));
    for (const auto& text : staticTexts_) {
        if (text.text == text.movieText) continue;
        const Report changed = changeStaticText(movie, text.id, staticTextCodes(text.text),
                                                faceForStaticText(movie, text.id, fontReplacements_));
        // The text keeps the movie's string; the other changes are saved.
        if (changed.failed()) {
            report.fail(tarvenox::text("save.textUnchanged", {std::to_string(text.id), changed.reason()}))
                .because(changed.reason());
        }
    }
    savedBackgroundColor_ = currentBackgroundColor_;
    if (const Report written = writeSWF(movie, path); written.failed()) {
        report.fail(text("save.notWritten") + "\n" + written.reason()).because(written.reason());
    }
    return report;
}

Report EditSession::copyResultTo(const std::string& destination) const {
    auto bytes = readFileBytes(workingCopyPath());
    if (!bytes) return bytes.report();
    return writeFileAtomically(destination, *bytes);
}

}  // namespace tarvenox
