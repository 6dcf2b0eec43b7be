// The application object: start-up, the editing state of the selected movie, and
// shutdown.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "edit/EditSession.h"

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
// which removes the working folder. The editing state is the EditSession it is, which the
// other parts of the program change through its operations. Paths are UTF-8 and end in
// "/"; product names and texts are Windows-1252.
class CTarvenoxApp : public EditSession {
public:
    explicit CTarvenoxApp(const AppEnvironment& environment = {});
    ~CTarvenoxApp() override;

    // Tells the user that the Flash player is missing.
    static void showFlashMissingMessage();

    std::string cdPath;
    // False when the working folder could not be created; the writes into it then fail.
    bool workingFolderCreated = false;
};

}  // namespace tarvenox
