// The --data option.
#include "app/InstallationOption.h"

#include <filesystem>

#include "app/CommandError.h"
#include "common/Texts.h"

namespace tarvenox {

AppEnvironment installationEnvironment(const std::string& dataFolder) {
    namespace fs = std::filesystem;
    AppEnvironment environment;
    if (dataFolder.empty()) return environment;
    std::error_code error;
    if (!fs::is_directory(dataFolder, error)) {
        throw CommandError("--data: " + text("data.notFolder", {dataFolder}));
    }
    environment.startDirectory = fs::absolute(dataFolder, error).string();
    return environment;
}

}  // namespace tarvenox
