// File databases: reading the directory and the entries of an archive.
#include "data/FileDatabase.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>

#include "common/FileIO.h"
#include "common/Log.h"
#include "common/SystemReason.h"
#include "common/Texts.h"
#include "data/ProductNames.h"

namespace tarvenox {

namespace {

// Sequential reads from a file descriptor through a small buffer. A read past the end
// of the file (or a read error) returns nothing and leaves the cursor failed.
class FileCursor {
public:
    explicit FileCursor(int fd) : fd_(fd) {}

    std::optional<std::uint8_t> byte() {
        if (next_ == end_ && !refill()) return std::nullopt;
        ++position_;
        return buffer_[next_++];
    }

    std::optional<std::uint32_t> u32BE() {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            auto b = byte();
            if (!b) return std::nullopt;
            value = (value << 8) | *b;
        }
        return value;
    }

    std::uint64_t position() const { return position_; }

private:
    bool refill() {
        for (;;) {
            ssize_t n = ::pread(fd_, buffer_, sizeof buffer_, static_cast<off_t>(position_));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            next_ = 0;
            end_ = static_cast<std::size_t>(n);
            return true;
        }
    }

    int fd_;
    std::uint8_t buffer_[8192];
    std::size_t next_ = 0;
    std::size_t end_ = 0;
    std::uint64_t position_ = 0;
};

// A directory name: up to 259 bytes and its NUL. Refused: an empty name, a name without
// a NUL within the limit, and a name cut short by the end of the file.
Result<std::string> readName(FileCursor& cursor) {
    std::string name;
    for (;;) {
        auto b = cursor.byte();
        if (!b) return Report::failure(text("archive.endsInName"));
        if (*b == 0) break;
        if (name.size() == FileDatabase::maxNameLength)
            return Report::failure(text("archive.nameTooLong", {std::to_string(FileDatabase::maxNameLength)}));
        name.push_back(static_cast<char>(*b));
    }
    if (name.empty()) return Report::failure(text("archive.emptyName"));
    return name;
}

}  // namespace

Result<std::unique_ptr<FileDatabase>> FileDatabase::open(const std::string& path, std::string workingFolder) {
    // Without blocking: a FIFO named as an archive must not stall start-up.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return Report::failure(path + ": " + text("file.cannotOpen", {systemReason(errno)}));
    return adopt(fd, path, std::move(workingFolder));
}

Result<std::unique_ptr<FileDatabase>> FileDatabase::adopt(int fd, const std::string& path, std::string workingFolder) {
    std::unique_ptr<FileDatabase> database(new FileDatabase(fd, path, std::move(workingFolder)));
    if (Report read = database->readDirectory(); read.failed()) return read;
    return database;
}

FileDatabase::FileDatabase(int fd, const std::string& path, std::string workingFolder)
    : path_(path), workingFolder_(std::move(workingFolder)), fd_(fd) {}

FileDatabase::~FileDatabase() {
    if (fd_ >= 0) ::close(fd_);
}

Report FileDatabase::readDirectory() {
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        return Report::failure(path_ + ": " + text(S_ISDIR(st.st_mode) ? "file.isFolder" : "file.notRegular"));
    }
    fileSize_ = static_cast<std::uint64_t>(st.st_size);
    if (Report read = readRecords(); read.failed()) {
        return Report::failure(path_ + ": " + text("archive.unusable", {read.reason()}));
    }
    for (const auto& record : records_) directory_[record.name] = record.entry;
    return {};
}

Report FileDatabase::readRecords() {
    FileCursor cursor(fd_);
    // Signature and the integer at offset 4 carry nothing a reader needs.
    if (!cursor.u32BE() || !cursor.u32BE()) return Report::failure(text("archive.headerCutShort"));
    auto count = cursor.u32BE();
    if (!count) return Report::failure(text("archive.headerCutShort"));

    // Offsets are relative to the directory end until it is known. 64 bits, so that
    // the sizes of four billion entries cannot wrap the running total. A record needs
    // at least 6 bytes, so a count beyond the file's size is caught by the walk itself
    // before it allocates more than the file holds.
    std::uint64_t total = 0;
    for (std::uint32_t i = 0; i < *count; ++i) {
        const std::string which = text("archive.record", {std::to_string(i + 1), std::to_string(*count)}) + ": ";
        Result<std::string> name = readName(cursor);
        if (!name) return Report::failure(which + name.report().reason());
        auto size = cursor.u32BE();
        if (!size) return Report::failure(which + text("archive.endsInSize"));
        records_.push_back({name.take(), {total, *size}});
        total += *size;
    }
    const std::uint64_t directoryEnd = cursor.position();
    if (directoryEnd + total > fileSize_) {
        return Report::failure(
            text("archive.entriesTooLarge", {std::to_string(total), std::to_string(fileSize_ - directoryEnd)}));
    }
    for (auto& record : records_) {
        record.entry.offset += directoryEnd;
    }
    return {};
}

bool FileDatabase::readText(const std::string& name, std::string& out) const {
    auto found = directory_.find(name);
    if (found == directory_.end() || found->second.offset == 0) return false;
    const DatabaseEntry& entry = found->second;
    // The directory was checked against the file's size; a file that shrank since then
    // yields the bytes still present.
    const std::size_t wanted = entry.size;
    std::string data(wanted, '\0');
    std::size_t done = 0;
    while (done < wanted) {
        ssize_t n = ::pread(fd_, data.data() + done, wanted - done, static_cast<off_t>(entry.offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    data.resize(done);
    out = std::move(data);
    return true;
}

bool FileDatabase::extract(const std::string& name) const {
    std::string target = baseName(name);
    if (!isSafeProductName(target)) return false;
    std::string data;
    if (!readText(name, data)) return false;
    logFailure(writeFileAtomically(withTrailingSlash(workingFolder_) + diskName(target), asBytes(data)));
    return true;
}

}  // namespace tarvenox
