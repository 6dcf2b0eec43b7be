// The file store.
#include "data/FileStore.h"

#include <unistd.h>

#include <climits>

#include "common/FileIO.h"
#include "data/ProductNames.h"
#include "data/TextTable.h"

namespace tarvenox {

std::string currentDirectory() {
    std::string buffer(PATH_MAX, '\0');
    if (::getcwd(buffer.data(), buffer.size()) == nullptr) return {};
    buffer.resize(buffer.find('\0'));
    return buffer;
}

FileStore::FileStore(std::string workingFolder, std::string startDirectory)
    : workingFolder_(withTrailingSlash(std::move(workingFolder))),
      startDirectory_(withTrailingSlash(startDirectory.empty() ? currentDirectory()
                                                               : std::move(startDirectory))) {}

void FileStore::addDatabase(std::unique_ptr<FileDatabase> database) {
    databases_.push_back(std::move(database));
}

std::optional<std::string> FileStore::findOnDisk(const std::string& name) const {
    for (const char* folder : {"", "../res/"}) {
        std::string path = startDirectory_ + folder + diskName(name);
        if (::access(path.c_str(), F_OK) == 0) return path;
    }
    return std::nullopt;
}

bool FileStore::extract(const std::string& name) {
    if (!isSafeProductName(name)) return false;
    if (auto path = findOnDisk(name)) {
        writeFileAtomically(workingFolder_ + diskName(baseName(name)),
                            asBytes(readWholeFile(*path)));
        return true;
    }
    for (const auto& database : databases_) {
        if (database->extract(name)) return true;
    }
    return false;
}

bool FileStore::readText(const std::string& name, std::string& out) {
    if (!isSafeProductName(name)) return false;
    if (auto path = findOnDisk(name)) {
        out = readWholeFile(*path);
        return true;
    }
    for (const auto& database : databases_) {
        if (database->readText(name, out)) return true;
    }
    return false;
}

}  // namespace tarvenox
