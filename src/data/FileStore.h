// The file store: finds a product file by name on disk, in the "res" folder beside the
// start directory, or in the file databases, in this order.
//
// A file on disk is read only when its real path (every symbolic link resolved) lies
// inside the folder it was looked up in, the installation or its "res" folder (which
// must itself lie in the folder holding the installation), and it is a regular file: a
// template, text or interface movie that is a link leading out is refused with a log
// line and counts as found nowhere, so nothing outside the installation is ever read or
// copied into the working folder.
#pragma once

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "common/ContainedFile.h"
#include "data/FileDatabase.h"

namespace tarvenox {

class FileStore {
public:
    // startDirectory is the installation folder the disk lookups start from (the
    // process's current directory when empty). Both folders are UTF-8 paths.
    explicit FileStore(std::string workingFolder, std::string startDirectory = {});

    // The store owns the database from now on; databases are searched in the order added.
    void addDatabase(std::unique_ptr<FileDatabase> database);

    // Copies the named file into the working folder under its base name. True when the
    // name was found, on disk or in a database.
    bool extract(const std::string& name);

    // The named file's whole contents into out; false (out untouched) when the name is
    // found nowhere.
    bool readText(const std::string& name, std::string& out);

    const std::vector<std::unique_ptr<FileDatabase>>& databases() const { return databases_; }
    const std::string& workingFolder() const { return workingFolder_; }
    const std::string& startDirectory() const { return startDirectory_; }

    // The folders on disk the lookups go through, in order: the start directory and
    // the "res" folder beside it (both end in "/").
    std::vector<std::string> diskFolders() const;
    // Whether the named folder below one of diskFolders() really lies inside it; a
    // folder that is a link leading out is refused with a log line.
    bool folderInside(const std::string& diskFolder, const std::string& relative);

private:
    // The first of start directory + name and start directory + "../res/" + name that
    // exists: open for reading, or unreadable (it still counts as found, and reads as
    // empty), or refused (a refusal ends the lookup); missing when it is on neither.
    ContainedFile openOnDisk(const std::string& name);
    // The real path of one of diskFolders(); nullopt when it does not exist, or when the
    // "res" folder leads out of the folder that holds the installation (logged).
    std::optional<std::string> realFolder(const std::string& diskFolder);
    // Logs a refusal once per path.
    void refuse(const std::string& problem);

    std::vector<std::unique_ptr<FileDatabase>> databases_;
    std::string workingFolder_;
    std::string startDirectory_;
    std::set<std::string> refused_;
};

// The archive at path, when its real path lies inside the folder (an installation's
// "files.db" inside the installation); nullptr when there is none there, or when it
// cannot be read or is refused (then with a log line).
std::unique_ptr<FileDatabase> openDatabaseInside(const std::string& path, const std::string& folder,
                                                 const std::string& workingFolder);

// The process's current directory as the system gives it (no trailing "/" except for
// the root); empty when it cannot be read.
std::string currentDirectory();

}  // namespace tarvenox
