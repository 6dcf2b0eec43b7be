// The editing of an installation's templates: the selected template in the working
// folder, the changes the user has chosen for it, and the configuration they come from.
// The application object is one, set up by its start-up; the editing operations
// (MovieSave.h, TemplateCatalogue.h) work on it, whichever front end calls them.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/Report.h"
#include "data/ConfigurationTexts.h"
#include "data/TemplateWorkspace.h"
#include "data/TextTable.h"
#include "edit/ChosenMedia.h"
#include "swf/SWFType.h"

namespace tarvenox {

// Paths are UTF-8 and end in "/"; product names and texts are Windows-1252. The members
// are read and changed directly by the operations on the session.
class EditSession {
public:
    EditSession() = default;
    virtual ~EditSession() = default;
    EditSession(const EditSession&) = delete;
    EditSession& operator=(const EditSession&) = delete;

    // The "selectMovie" command: unless name is the current movie, forgets the previous
    // movie's changes, places the template "swf\" + name into the working folder, builds
    // its action variables from the configuration table and takes its background colour
    // (white when the movie has none or is missing, as a player shows it).
    void selectMovie(const std::string& name);

    // The working copy of the selected movie: workingFolder + movieBaseName + ".swf".
    std::string workingCopyPath() const;

    // The text of action variable i as the user last gave it (a number field's text as
    // typed): the variable itself keeps only what its type takes.
    const std::string& variableText(std::size_t i) const;
    // Gives the variable of that name the text; a name the template lacks changes nothing.
    void setVariableText(const std::string& name, const std::string& text);

    // Copies the working copy to the destination through a temporary file beside it,
    // so a failed copy leaves an existing destination intact; the failure's reason names
    // the file and the cause.
    Report copyResultTo(const std::string& destination) const;

    std::string currentPath;
    std::string workingFolder;
    std::unique_ptr<TemplateWorkspace> workspace;
    // The installation's configuration texts as start-up joined them: the base
    // installation's, then each add-on archive's copy.
    ConfigurationTexts texts;
    std::unique_ptr<TextTable> configTable;
    std::string movieBaseName;
    std::string currentMovie;
    std::map<std::string, std::string> fontReplacements;
    std::map<std::string, std::string> pictureReplacements;
    std::map<std::string, std::string> soundReplacements;
    std::int32_t savedBackgroundColor = 0;
    std::int32_t currentBackgroundColor = 0;
    ActionVariables actionVariables;
    // Parallel to actionVariables; see variableText.
    std::vector<std::string> variableTexts;
    // The files and faces chosen in this session, converted once for every save.
    ChosenMedia chosenMedia;
};

}  // namespace tarvenox
