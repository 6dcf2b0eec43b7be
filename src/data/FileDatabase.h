// A file database: an archive that packs named product files into one file.
//
// Layout (integers unsigned 32-bit big-endian):
//   0  signature (4 bytes, not checked)
//   4  an integer that readers ignore
//   8  entry count n
//  12  n directory records: the name (1 to 259 bytes, then a NUL), then the size
//      then the data of every entry, back to back, in directory order.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/Result.h"

namespace tarvenox {

struct DatabaseEntry {
    std::uint64_t offset = 0;  // from the start of the archive; 0 means no entry
    std::uint32_t size = 0;
};

struct DatabaseRecord {
    std::string name;  // Windows-1252, backslashes between folder names
    DatabaseEntry entry;
};

class FileDatabase {
public:
    // The longest entry name the format allows.
    static constexpr std::size_t maxNameLength = 259;

    // Opens the archive and reads its directory; the file stays open until the database
    // is destroyed. An archive that cannot be opened, that is not a regular file or that
    // is damaged is refused, the reason naming it. Damaged means: the header or a
    // directory record is cut short, a name is empty or longer than 259 bytes, or an
    // entry's data does not lie wholly inside the file. (Entries follow each other
    // without gaps in directory order, so entries inside the file never overlap.)
    static Result<std::unique_ptr<FileDatabase>> open(const std::string& path, std::string workingFolder);
    // The same over a file already opened for reading, which the database (or the
    // refusal) closes; path names it in messages.
    static Result<std::unique_ptr<FileDatabase>> adopt(int fd, const std::string& path, std::string workingFolder);
    ~FileDatabase();
    FileDatabase(const FileDatabase&) = delete;
    FileDatabase& operator=(const FileDatabase&) = delete;

    // The entry's bytes into out; false (out untouched) when there is no such entry.
    bool readText(const std::string& name, std::string& out) const;

    // Writes the entry into the working folder under its base name, replacing a file of
    // that name. True when the entry was found (like the store, the result tells where a
    // name was found, not whether the working folder took the file); false when there is
    // no such entry or its base name could leave the working folder.
    bool extract(const std::string& name) const;

    // Every directory record in file order, duplicates included.
    const std::vector<DatabaseRecord>& records() const { return records_; }
    const std::string& path() const { return path_; }

private:
    FileDatabase(int fd, const std::string& path, std::string workingFolder);
    // Checks that the open file is a regular one, then reads its directory.
    Report readDirectory();
    // Fills records_, or says why the archive is damaged.
    Report readRecords();

    std::string path_;
    std::string workingFolder_;
    int fd_ = -1;
    std::uint64_t fileSize_ = 0;
    std::vector<DatabaseRecord> records_;
    // Later records replace earlier ones of the same name.
    std::map<std::string, DatabaseEntry> directory_;
};

}  // namespace tarvenox
