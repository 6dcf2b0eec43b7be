// Files that must lie inside a folder once every symbolic link is resolved: what the
// program reads from an installation, the programs it starts from a CD.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "common/Bytes.h"

namespace tarvenox {

// The path with every symbolic link, "." and ".." resolved (realpath), without a
// trailing "/" except for the root; nullopt when some part of it does not exist or
// cannot be searched.
std::optional<std::string> realPathOf(const std::string& path);

// Whether the real path is the real folder itself or lies below it.
bool liesInside(const std::string& realPath, const std::string& realFolder);

// A file opened for reading only after checking where it really is. Links that stay
// inside the folder are fine; one that leads out is refused, as is anything but a
// regular file (a FIFO, a device, a folder), without blocking on it or opening it for
// reading. The check is made on the descriptor itself, and the bytes are read from
// that descriptor, so swapping a link between the check and the read changes nothing.
class ContainedFile {
public:
    enum class Outcome {
        opened,      // a regular file inside the folder, open for reading
        missing,     // nothing at that path (or a dangling link, or a part that is no folder)
        unreadable,  // a regular file inside the folder that cannot be opened for reading
        refused,     // its real path leads outside the folder, or it is no regular file
    };

    // Opens path, which must lie inside the folder whose real path is realFolder.
    static ContainedFile open(const std::string& path, const std::string& realFolder);
    // A file that is missing, for a lookup that found nothing to open.
    static ContainedFile none() { return {}; }

    ContainedFile(ContainedFile&& other) noexcept;
    ContainedFile& operator=(ContainedFile&& other) noexcept;
    ~ContainedFile();

    Outcome outcome() const { return outcome_; }
    // Whether there is a file there to take: opened, or there but unreadable.
    bool found() const { return outcome_ == Outcome::opened || outcome_ == Outcome::unreadable; }
    // Why the file was refused, naming it and where it leads; empty otherwise.
    const std::string& problem() const { return problem_; }
    std::uint64_t size() const { return size_; }
    // The open descriptor (opened only); release() hands it over to the caller.
    int fd() const { return fd_; }
    int release();
    // The whole file from the descriptor; empty when it is not open or a read fails.
    Bytes readAll() const;

private:
    ContainedFile() = default;

    Outcome outcome_ = Outcome::missing;
    int fd_ = -1;
    std::uint64_t size_ = 0;
    std::string problem_;
};

}  // namespace tarvenox
