// File databases: reading the directory and the entries of an archive.
#include "data/FileDatabase.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "common/FileIO.h"
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

// A directory name: up to 259 bytes and its NUL. nullopt for an empty name, a name
// without a NUL within the limit, and a name cut short by the end of the file.
std::optional<std::string> readName(FileCursor& cursor) {
    std::string name;
    for (;;) {
        auto b = cursor.byte();
        if (!b) return std::nullopt;
        if (*b == 0) break;
        if (name.size() == FileDatabase::maxNameLength) return std::nullopt;
        name.push_back(static_cast<char>(*b));
    }
    if (name.empty()) return std::nullopt;
    return name;
}

}  // namespace

FileDatabase::FileDatabase(const std::string& path, std::string workingFolder)
    : path_(path), workingFolder_(std::move(workingFolder)) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) return;
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        return;
    }
    fileSize_ = static_cast<std::uint64_t>(st.st_size);
    readDirectory();
}

FileDatabase::~FileDatabase() {
    if (fd_ >= 0) ::close(fd_);
}

void FileDatabase::readDirectory() {
    FileCursor cursor(fd_);
    // Signature and the integer at offset 4 carry nothing a reader needs.
    if (!cursor.u32BE() || !cursor.u32BE()) return;
    auto count = cursor.u32BE();
    if (!count) return;

    // Offsets are relative to the directory end until it is known. 64 bits, so that
    // the sizes of four billion entries cannot wrap the running total.
    std::uint64_t total = 0;
    std::uint64_t directoryEnd = cursor.position();
    for (std::uint32_t i = 0; i < *count; ++i) {
        auto name = readName(cursor);
        if (!name) break;
        auto size = cursor.u32BE();
        if (!size) break;
        records_.push_back({std::move(*name), {total, *size}});
        total += *size;
        directoryEnd = cursor.position();
    }
    for (auto& record : records_) {
        record.entry.offset += directoryEnd;
        directory_[record.name] = record.entry;
    }
}

bool FileDatabase::readText(const std::string& name, std::string& out) const {
    auto found = directory_.find(name);
    if (found == directory_.end() || found->second.offset == 0) return false;
    const DatabaseEntry& entry = found->second;
    // Only the bytes the file holds: a size beyond its end must not make us allocate
    // or read what is not there.
    std::uint64_t available = entry.offset < fileSize_ ? fileSize_ - entry.offset : 0;
    std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(entry.size, available));
    std::string data(wanted, '\0');
    std::size_t done = 0;
    while (done < wanted) {
        ssize_t n = ::pread(fd_, data.data() + done, wanted - done,
                            static_cast<off_t>(entry.offset + done));
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
    writeFileAtomically(withTrailingSlash(workingFolder_) + diskName(target), asBytes(data));
    return true;
}

}  // namespace tarvenox
