// The file store.
#include "data/FileStore.h"

#include <unistd.h>

#include <climits>

#include "common/FileIO.h"
#include "common/Log.h"
#include "data/ProductNames.h"

namespace tarvenox {

std::string currentDirectory() {
    std::string buffer(PATH_MAX, '\0');
    if (::getcwd(buffer.data(), buffer.size()) == nullptr) return {};
    buffer.resize(buffer.find('\0'));
    return buffer;
}

std::unique_ptr<FileDatabase> openDatabaseInside(const std::string& path, const std::string& folder,
                                                 const std::string& workingFolder) {
    const auto root = realPathOf(folder);
    if (!root) return nullptr;
    ContainedFile file = ContainedFile::open(path, *root);
    if (file.outcome() == ContainedFile::Outcome::refused) logPrint("refused %s\n", file.problem().c_str());
    if (file.outcome() != ContainedFile::Outcome::opened) return nullptr;
    // A damaged archive holds nothing the installation could use.
    auto database = FileDatabase::adopt(file.release(), path, workingFolder);
    if (!database) {
        logPrint("refused %s\n", database.report().reason().c_str());
        return nullptr;
    }
    return database.take();
}

FileStore::FileStore(std::string workingFolder, std::string startDirectory)
    : workingFolder_(withTrailingSlash(std::move(workingFolder))),
      startDirectory_(withTrailingSlash(startDirectory.empty() ? currentDirectory() : std::move(startDirectory))) {}

void FileStore::addDatabase(std::unique_ptr<FileDatabase> database) { databases_.push_back(std::move(database)); }

std::vector<std::string> FileStore::diskFolders() const { return {startDirectory_, startDirectory_ + "../res/"}; }

void FileStore::refuse(const std::string& problem) {
    if (refused_.insert(problem).second) logPrint("refused %s\n", problem.c_str());
}

std::optional<std::string> FileStore::realFolder(const std::string& diskFolder) {
    auto real = realPathOf(diskFolder);
    if (!real || diskFolder == startDirectory_) return real;
    // The "res" folder lies beside the installation: a link that takes it out of the
    // folder holding the installation would make anything there the installation's.
    const auto holder = realPathOf(startDirectory_ + "..");
    if (holder && liesInside(*real, *holder)) return real;
    refuse(diskFolder + ": leads to " + *real + ", outside " + (holder ? *holder : startDirectory_ + ".."));
    return std::nullopt;
}

bool FileStore::folderInside(const std::string& diskFolder, const std::string& relative) {
    const auto root = realFolder(diskFolder);
    const auto real = realPathOf(diskFolder + relative);
    if (!root || !real) return false;
    if (liesInside(*real, *root)) return true;
    refuse(diskFolder + relative + ": leads to " + *real + ", outside " + *root);
    return false;
}

ContainedFile FileStore::openOnDisk(const std::string& name) {
    for (const std::string& folder : diskFolders()) {
        // Resolved at each lookup: the real path of the folder the file is looked up
        // in, however the installation itself is reached.
        const auto root = realFolder(folder);
        if (!root) continue;
        ContainedFile file = ContainedFile::open(folder + diskName(name), *root);
        if (file.outcome() == ContainedFile::Outcome::missing) continue;
        if (file.outcome() == ContainedFile::Outcome::refused) refuse(file.problem());
        return file;
    }
    return ContainedFile::none();
}

bool FileStore::extract(const std::string& name) {
    if (!isSafeProductName(name)) return false;
    ContainedFile file = openOnDisk(name);
    if (file.found()) {
        logFailure(writeFileAtomically(workingFolder_ + diskName(baseName(name)), file.readAll()));
        return true;
    }
    if (file.outcome() == ContainedFile::Outcome::refused) return false;
    for (const auto& database : databases_) {
        if (database->extract(name)) return true;
    }
    return false;
}

bool FileStore::readText(const std::string& name, std::string& out) {
    if (!isSafeProductName(name)) return false;
    ContainedFile file = openOnDisk(name);
    if (file.found()) {
        out = asString(file.readAll());
        return true;
    }
    if (file.outcome() == ContainedFile::Outcome::refused) return false;
    for (const auto& database : databases_) {
        if (database->readText(name, out)) return true;
    }
    return false;
}

}  // namespace tarvenox
