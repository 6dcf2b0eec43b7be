// The --data option of the commands that start the application on an installation.
#pragma once

#include <string>

#include "app/TarvenoxApp.h"

namespace tarvenox {

// Start-up in the installation folder dataFolder (the current directory when empty).
// Paths given on the command line stay relative to the current directory. Throws
// CommandError when the folder does not exist.
AppEnvironment installationEnvironment(const std::string& dataFolder);

}  // namespace tarvenox
