// The application object: start-up, the editing state of the selected movie, and
// shutdown.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "common/Report.h"
#include "edit/EditSession.h"

namespace tarvenox {

class MovieInstallation;
class Registry;

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
// which removes the working folder. The editing state is the EditSession it is, which the
// other parts of the program change through its operations. Paths are UTF-8 and end in
// "/"; product names and texts are Windows-1252.
class CTarvenoxApp : public EditSession {
public:
    explicit CTarvenoxApp(const AppEnvironment& environment = {});
    // The start on a plain movie's installation (MovieInstallation.h): no installation
    // values are read, so no add-ons join it.
    CTarvenoxApp(const AppEnvironment& environment, std::unique_ptr<MovieInstallation> movie);
    ~CTarvenoxApp() override;

    // The folder temporary folders are made in: given, else $TMPDIR, else /tmp; with "/".
    static std::string temporaryFolder(const std::string& given = {});

    // Opens the movie's installation in place of the session's one, keeping the working
    // folder; a movie that cannot be read fails with one line, and the session stays
    // as it was. On success the template to select is movieTemplate().
    Report openMovie(const std::string& path);
    // The template of the opened movie; "" when the session is an installation's.
    std::string movieTemplate() const;
    // The opened movie's path as given; "" when the session is an installation's.
    std::string openedMovie() const;

    // Tells the user that the Flash player is missing.
    static void showFlashMissingMessage();

    std::string cdPath;
    // False when the working folder could not be created; the writes into it then fail.
    bool workingFolderCreated = false;

private:
    // Creates the working folder.
    std::string createWorkingFolder(const AppEnvironment& environment);
    // Opens the installation's configuration texts (with the add-ons the values name,
    // when given) in the working folder and places the interface movies there.
    void openInstallation(std::string installation, const std::string& workingFolder, const Registry* values);

    std::unique_ptr<MovieInstallation> movie_;
};

}  // namespace tarvenox
