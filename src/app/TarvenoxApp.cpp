// The application object.
#include "app/TarvenoxApp.h"

#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/Registry.h"
#include "common/FileIO.h"
#include "common/Log.h"
#include "common/Messages.h"
#include "common/TemporaryPaths.h"
#include "data/ConfigurationTexts.h"
#include "data/ProductNames.h"
#include "data/SkinVariables.h"
#include "edit/MovieInstallation.h"
#include "swf/SWFFile.h"
#include "ui/DialogTexts.h"

namespace tarvenox {

namespace {

// The platform lines of the log. The format strings are the ones of the Windows build;
// uname fills them here: the kernel's release numbers as major, minor and build, and
// system name, release and version as the service-pack text. Linux is none of the
// three Windows platforms, so its id is printed as unknown.
void logPlatform() {
    struct utsname system {};
    int major = 0, minor = 0, build = 0;
    std::string description;
    if (::uname(&system) == 0) {
        std::sscanf(system.release, "%d.%d.%d", &major, &minor, &build);
        description = std::string(system.sysname) + " " + system.release + " " + system.version;
    }
    constexpr int platformId = -1;
    logPrint("dwPlatformId: ");
    switch (platformId) {
        case 0: logPrint("Win32s on Windows 3.1."); break;
        case 1: logPrint("Win32 on Windows 95 or Windows 98."); break;
        case 2: logPrint("Win32 on Windows NT/Windows 2000."); break;
        default: logPrint("unknown: %i", platformId); break;
    }
    logPrint("\ndwBuildNumber: %i\ndwMajorVersion: %i\ndwMinorVersion: %i\nszCSDVersion: %s\n", build, major, minor,
             description.c_str());
}

// The folder part of a path, with its "/"; "./" for a bare name.
std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}

// The k of every "dbFile" + k value with 1 <= k <= count (k in decimal without
// leading zeros), from the highest down. Taken from the values present, so a huge
// count costs nothing.
std::vector<std::uint32_t> addOnNumbers(const Registry& registry, std::uint32_t count) {
    const std::string prefix = "dbFile";
    std::vector<std::uint32_t> numbers;
    for (const auto& [name, value] : registry.values()) {
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) continue;
        std::string digits = name.substr(prefix.size());
        if (digits.front() == '0' || digits.size() > 10 ||
            digits.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        unsigned long long k = std::stoull(digits);
        if (k >= 1 && k <= count) numbers.push_back(static_cast<std::uint32_t>(k));
    }
    std::sort(numbers.rbegin(), numbers.rend());
    return numbers;
}

}  // namespace

std::string CTarvenoxApp::temporaryFolder(const std::string& given) {
    if (!given.empty()) return withTrailingSlash(given);
    const char* tmpdir = std::getenv("TMPDIR");
    return withTrailingSlash(tmpdir != nullptr && *tmpdir != '\0' ? tmpdir : "/tmp");
}

std::string CTarvenoxApp::createWorkingFolder(const AppEnvironment& environment) {
    // A private folder for this run: a fixed shared name would let two runs, or two
    // users, delete or replace each other's files.
    std::string pattern = temporaryFolder(environment.temporaryFolder) + "tvtmpdir.prg.XXXXXX";
    // Registered so that an interrupted run removes it (see TemporaryPaths.h).
    workingFolderCreated = createRegisteredTemporaryFolder(pattern);
    return withTrailingSlash(pattern);
}

CTarvenoxApp::CTarvenoxApp(const AppEnvironment& environment) {
    logPlatform();

    std::string directory = environment.startDirectory.empty() ? currentDirectory() : environment.startDirectory;
    logPrint("CurrentDirectory: %s\n", directory.c_str());
    std::string installation = withTrailingSlash(directory);
    if (installation.empty()) installation = "./";

    const std::string workingFolder = createWorkingFolder(environment);
    Registry registry(environment.registryPath ? *environment.registryPath : Registry::defaultPath());
    openInstallation(std::move(installation), workingFolder, &registry);
    if (auto cd = registry.text("cdpath")) {
        cdPath = *cd;
        if (cdPath.empty() || cdPath.back() != '/') cdPath += '/';
        logPrint("cdpath: %s\n", cdPath.c_str());
    }
}

CTarvenoxApp::CTarvenoxApp(const AppEnvironment& environment, std::unique_ptr<MovieInstallation> movie)
    : movie_(std::move(movie)) {
    logPlatform();
    logPrint("Movie: %s\n", movie_->moviePath().c_str());
    const std::string workingFolder = createWorkingFolder(environment);
    openInstallation(movie_->folder(), workingFolder, nullptr);
}

void CTarvenoxApp::openInstallation(std::string installation, const std::string& workingFolder,
                                    const Registry* values) {
    auto store = std::make_unique<FileStore>(workingFolder, installation);
    if (auto packed = openDatabaseInside(installation + "files.db", installation, workingFolder)) {
        store->addDatabase(std::move(packed));
    }

    ConfigurationTexts texts;
    texts.readFrom(*store);

    if (values != nullptr) {
        std::uint32_t addOnCount = values->number("dbFilesCount").value_or(0);
        for (std::uint32_t k : addOnNumbers(*values, addOnCount)) {
            std::string path = *values->text("dbFile" + std::to_string(k));
            if (path.empty()) continue;
            // An add-on lies wherever the installation's values place it; it is read only
            // when it is a regular file inside that folder, not a link leading out of it.
            auto database = openDatabaseInside(path, folderOf(path), workingFolder);
            if (!database) continue;
            texts.appendFrom(*database);
            store->addDatabase(std::move(database));
        }
    }

    writeSkinVariables(texts.texts, texts.selectLists, workingFolder);
    // The interface movies of the installation before are not this one's.
    for (const char* file : {"button.swf", "skin.swf"}) ::unlink((workingFolder + file).c_str());
    store->extract("skin.swf");
    store->extract("button.swf");
    open(std::move(installation), workingFolder, std::move(texts), std::move(store));
    writeOnlyChangedVariables(movie_ != nullptr);
}

Report CTarvenoxApp::openMovie(const std::string& path) {
    auto movie = MovieInstallation::create(path, temporaryFolder());
    if (!movie) return movie.report();
    logPrint("Movie: %s\n", path.c_str());
    // The template's copies go with the session; the installation before goes after
    // the new one has taken its place.
    std::unique_ptr<MovieInstallation> before = std::move(movie_);
    movie_ = movie.take();
    close();
    openInstallation(movie_->folder(), workingFolder(), nullptr);
    return {};
}

std::string CTarvenoxApp::movieTemplate() const { return movie_ ? movie_->templateName() : ""; }

std::string CTarvenoxApp::openedMovie() const { return movie_ ? movie_->moviePath() : ""; }

CTarvenoxApp::~CTarvenoxApp() {
    close();
    const std::string& folder = workingFolder();
    for (const char* file : {"button.swf", "skin.swf", "skin.txt"}) {
        ::unlink((folder + file).c_str());
    }
    // Removed only when empty: a file someone else left there is kept.
    ::rmdir(folder.c_str());
    if (workingFolderCreated) {
        unregisterTemporaryPath(folder.substr(0, folder.size() - 1));
    }
    logPrint("~Application\n");
}

void CTarvenoxApp::showFlashMissingMessage() { showMessage(texts::flashMissing(), MessageKind::Information); }

}  // namespace tarvenox
