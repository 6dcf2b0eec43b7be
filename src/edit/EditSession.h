// The editing of an installation's templates: the selected template in the working
// folder, the changes the user has chosen for it, and the configuration they come from.
// The application object is one, set up by its start-up; every front end changes it
// through the operations below (the catalogue, TemplateCatalogue.h, only reads it).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/Report.h"
#include "data/ConfigurationTexts.h"
#include "data/FileStore.h"
#include "data/TemplateWorkspace.h"
#include "data/TextTable.h"
#include "edit/ChosenMedia.h"
#include "edit/Conversions.h"
#include "edit/EditState.h"
#include "swf/SWFType.h"

namespace tarvenox {

// A static text of the selected template the user can change: its skin variable
// "text:ID", its character id, the movie's own string and the one the next save gives
// it (Windows-1252, '\n' between lines).
struct StaticTextEdit {
    std::string name;
    std::uint16_t id = 0;
    std::string movieText;
    std::string text;
};

// Paths are UTF-8 and end in "/"; product names and texts are Windows-1252. The
// variables' texts as the user gave them are kept parallel to the variables: every
// operation that changes a variable changes its text with it.
class EditSession {
public:
    EditSession() = default;
    virtual ~EditSession() = default;
    EditSession(const EditSession&) = delete;
    EditSession& operator=(const EditSession&) = delete;

    // Start-up: the installation folder, the working folder, the configuration texts as
    // start-up joined them (the base installation's, then each add-on archive's copy) and
    // the store that finds the installation's files. Opened again after close(), on
    // another installation, the session starts with no template selected.
    void open(std::string installation, std::string workingFolder, ConfigurationTexts texts,
              std::unique_ptr<FileStore> store);
    // Shutdown: deletes the selected template's copies from the working folder and lets
    // go of the installation's files. Nothing may be selected or saved afterwards.
    void close();

    // The "selectMovie" command: unless name is the current movie, forgets the previous
    // movie's changes, places the template "swf\" + name into the working folder, builds
    // its action variables from the configuration table and takes its background colour
    // (white when the movie has none or is missing, as a player shows it).
    void selectMovie(const std::string& name);

    // The changes: each replaces an earlier choice for the same name and is used by the
    // next save. A JPEG file (".jpg", ".jpeg", any case) must pass the JPEG check first;
    // when it does not, nothing is recorded and the report fails with the check's message.
    void replaceFont(const std::string& fontName, const std::string& face);
    Report replacePicture(const std::string& exportName, const std::string& path);
    void replaceSound(const std::string& exportName, const std::string& path);
    // The same for the interactive program: the face or file is converted now, once, for
    // every later save (ChosenMedia); one that cannot be used is refused with the one
    // message the user is shown, and nothing is recorded.
    Report chooseFont(const std::string& fontName, const std::string& face);
    Report choosePicture(const std::string& exportName, const std::string& path);
    Report chooseSound(const std::string& exportName, const std::string& path);
    // Gives the name back the template's own font, picture or music; false when it had
    // no replacement.
    bool restoreFont(const std::string& fontName);
    // A picture given back the template's own forgets its fit too.
    bool restorePicture(const std::string& exportName);
    bool restoreSound(const std::string& exportName);
    // How the replaced picture of that name fills its slot in the next save (Cover until
    // set). False, and nothing kept, when the picture had that fit already or is the
    // template's own, which is never fitted.
    bool setPictureFit(const std::string& exportName, PictureFit fit);
    // The background colour of the next save.
    void setBackground(std::int32_t rgb);

    // Gives the first variable of that name the text; a name the template lacks changes
    // nothing.
    void setVariableText(const std::string& name, const std::string& text);
    // Gives every variable of that name the value; fails, naming the variables the
    // template declares, when none has that name.
    Report setDeclaredVariable(const std::string& name, const std::string& value);

    // Gives the static text of that skin variable ("text:ID") the text; false when the
    // template has no such static text the user can change.
    bool setStaticText(const std::string& name, const std::string& text);

    // The edits of the selected template, and making a state taken earlier the edits:
    // variable texts by name (a name the template lacks is skipped), the replacements
    // and the current background colour.
    EditState edits() const;
    void restore(const EditState& state);

    // The save: extracts the selected template afresh, reads its working copy, applies
    // every recorded change, the action variables and the current background colour, and
    // writes the result back over the working copy through a temporary file. A working
    // copy that cannot be read completely, variables that cannot be written, or a failed
    // write fail the report, and the working copy is then the untouched template; a
    // change that could not be made (a picture that cannot be read, a static text whose
    // characters no face gives) fails it too, with the rest saved. Static texts are
    // changed last, only those whose text differs from the movie's own, their missing
    // characters drawn from the faces chosen for their fonts. The saved background colour is then the current one.
    Report save();

    // Copies the working copy to the destination through a temporary file beside it,
    // so a failed copy leaves an existing destination intact; the failure's reason names
    // the file and the cause.
    Report copyResultTo(const std::string& destination) const;

    const std::string& currentPath() const { return currentPath_; }
    const std::string& workingFolder() const { return workingFolder_; }
    const ConfigurationTexts& texts() const { return texts_; }
    const TextTable& configTable() const { return *configTable_; }
    // The installation's files, in the folder and its archives.
    FileStore& store() { return workspace_->store(); }

    // The selected template's name as "selectMovie" took it ("" before the first), and
    // its base name.
    const std::string& currentMovie() const { return currentMovie_; }
    const std::string& movieBaseName() const { return movieBaseName_; }
    // The working copy of the selected movie: workingFolder + movieBaseName + ".swf".
    std::string workingCopyPath() const;

    const Replacements& fontReplacements() const { return fontReplacements_; }
    const Replacements& pictureReplacements() const { return pictureReplacements_; }
    const Replacements& soundReplacements() const { return soundReplacements_; }
    const PictureFits& pictureFits() const { return pictureFits_; }
    // The background colour the working copy was last saved with, and the one the next
    // save gives it.
    std::int32_t savedBackgroundColor() const { return savedBackgroundColor_; }
    std::int32_t currentBackgroundColor() const { return currentBackgroundColor_; }

    // The selected template's variables, in its order; changed only through the
    // operations above.
    const ActionVariables& actionVariables() const { return actionVariables_; }
    // Whether a save assigns only the variables the user changed, in the movie's own
    // actions (assignVariables), instead of rewriting the first actions whole with every
    // variable. A plain movie's actions are its own script, and its variables hold their
    // values already (its configuration could only give them back with its own line
    // breaks, a blank before each).
    void writeOnlyChangedVariables(bool only) { onlyChangedVariables_ = only; }
    // The text of action variable i as the user last gave it (a number field's text as
    // typed): the variable itself keeps only what its type takes.
    const std::string& variableText(std::size_t i) const;
    // The selected template's static texts that the user can change: those Windows-1252
    // holds, without a NUL; in the movie's order.
    const std::vector<StaticTextEdit>& staticTexts() const { return staticTexts_; }
    // Small PNG pictures of the selected template's own pictures, by slot name: the
    // files' names in the working folder ("own-" + base name + "-" + slot, made safe for
    // a file name, + ".png"). A picture that cannot be decoded has none.
    const std::map<std::string, std::string>& ownPictures() const { return ownPictures_; }

private:
    // Reads the working copy's static texts and writes its pictures' thumbnails.
    void readOwnContents();
    void removeOwnPictures();

    std::string currentPath_;
    std::string workingFolder_;
    std::unique_ptr<TemplateWorkspace> workspace_;
    ConfigurationTexts texts_;
    std::unique_ptr<TextTable> configTable_;
    std::string movieBaseName_;
    std::string currentMovie_;
    Replacements fontReplacements_;
    Replacements pictureReplacements_;
    Replacements soundReplacements_;
    PictureFits pictureFits_;
    std::int32_t savedBackgroundColor_ = 0;
    std::int32_t currentBackgroundColor_ = 0;
    ActionVariables actionVariables_;
    // The texts as the template gave them when it was selected, parallel to them.
    std::vector<std::string> templateTexts_;
    bool onlyChangedVariables_ = false;
    // Parallel to actionVariables_; see variableText.
    std::vector<std::string> variableTexts_;
    std::vector<StaticTextEdit> staticTexts_;
    std::map<std::string, std::string> ownPictures_;
    // The files and faces chosen in this session, converted once for every save.
    ChosenMedia chosenMedia_;
};

}  // namespace tarvenox
