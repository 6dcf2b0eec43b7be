// The file store: finds a product file by name on disk, in the "res" folder beside the
// start directory, or in the file databases, in this order.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

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

private:
    // The first of start directory + name and start directory + "../res/" + name that
    // exists (a file that exists but cannot be read still counts as found).
    std::optional<std::string> findOnDisk(const std::string& name) const;

    std::vector<std::unique_ptr<FileDatabase>> databases_;
    std::string workingFolder_;
    std::string startDirectory_;
};

// The process's current directory as the system gives it (no trailing "/" except for
// the root); empty when it cannot be read.
std::string currentDirectory();

}  // namespace tarvenox
