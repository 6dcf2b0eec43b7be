// The application object: start-up, the editing state of the selected movie, and
// shutdown.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "data/TemplateWorkspace.h"
#include "data/TextTable.h"
#include "swf/SWFType.h"

namespace tarvenox {

// Where start-up looks. Every field left empty takes the real environment.
struct AppEnvironment {
    // The installation folder (default: the current directory).
    std::string startDirectory;
    // The file of installation values (default: Registry::defaultPath()); a path that
    // does not exist means no values.
    std::optional<std::string> registryPath;
    // The folder the private working folder is made in (default: $TMPDIR, else /tmp).
    std::string temporaryFolder;
};

// Constructing the object runs the whole start-up; destroying it runs the shutdown,
// which removes the working folder. Other parts of the program read and change the
// members directly. Paths are UTF-8 and end in "/"; product names and texts are
// Windows-1252.
class CTarvenoxApp {
public:
    explicit CTarvenoxApp(const AppEnvironment& environment = {});
    ~CTarvenoxApp();
    CTarvenoxApp(const CTarvenoxApp&) = delete;
    CTarvenoxApp& operator=(const CTarvenoxApp&) = delete;

    // The "selectMovie" command: unless name is the current movie, forgets the previous
    // movie's changes, places the template "swf\" + name into the working folder, builds
    // its action variables from the configuration table and takes its background colour
    // (white when the movie has none or is missing, as a player shows it).
    void selectMovie(const std::string& name);

    // The working copy of the selected movie: workingFolder + movieBaseName + ".swf".
    std::string workingCopyPath() const;

    // Copies the working copy to the destination through a temporary file beside it,
    // so a failed copy leaves an existing destination intact. False with *error set
    // when the copy fails.
    bool copyResultTo(const std::string& destination, std::string* error = nullptr) const;

    // Tells the user that the Flash player is missing.
    static void showFlashMissingMessage();

    std::string currentPath;
    std::string workingFolder;
    std::unique_ptr<TemplateWorkspace> workspace;
    std::string movieBaseName;
    std::string currentMovie;
    std::map<std::string, std::string> fontReplacements;
    std::map<std::string, std::string> pictureReplacements;
    std::map<std::string, std::string> soundReplacements;
    std::int32_t savedBackgroundColor = 0;
    std::int32_t currentBackgroundColor = 0;
    ActionVariables actionVariables;
    std::unique_ptr<TextTable> configTable;
    std::string cdPath;
    // False when the working folder could not be created; the writes into it then fail.
    bool workingFolderCreated = false;
};

}  // namespace tarvenox
