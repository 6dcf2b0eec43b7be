// The record of a run's temporary paths, and the sweep of ended runs' records.
#include "common/RunRecord.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>

#include "common/ContainedFile.h"
#include "common/FileIO.h"
#include "common/Log.h"
#include "common/TemporaryPaths.h"

namespace tarvenox {

namespace {

// This process's record. The path is kept in a fixed buffer for the signal handler,
// which must not allocate.
int recordFd = -1;
char recordPath[PATH_MAX] = {};
pid_t recordOwner = 0;

// A record is made under a name the sweep passes over, locked, and only then renamed
// to its final name: a sweep never finds a record that its run has not locked yet.
constexpr std::string_view kNewPrefix = ".new.";
constexpr std::string_view kRecordPrefix = "run.";
// A record being made is at most this old, unless its run was killed meanwhile.
constexpr std::time_t kNewRecordAge = 60;
constexpr std::string_view kWorkingFolderPrefix = "tvtmpdir.prg.";

std::string slashed(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder.push_back('/');
    return folder;
}

// The host name as one part of a record's name, without '.' or '/'.
std::string hostPart() {
    char name[HOST_NAME_MAX + 1] = {};
    std::string host = ::gethostname(name, sizeof name - 1) == 0 ? name : "";
    for (char& c : host) {
        if (c == '.' || c == '/') c = '_';
    }
    return host.empty() ? "localhost" : host;
}

// Whether the folder is the user's own and no one else may write into it: the records
// name paths to remove, so they must come from this user alone.
bool isPrivateFolder(const std::string& folder) {
    struct stat st {};
    return ::lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
           (st.st_mode & 022) == 0;
}

// A name as mkstemp makes it from "….tmpXXXXXX".
bool isTemporaryFileName(const std::string& name) {
    constexpr std::string_view marker = ".tmp";
    constexpr std::size_t randomPart = 6;
    if (name.size() < marker.size() + randomPart + 1) return false;
    if (name.compare(name.size() - randomPart - marker.size(), marker.size(), marker) != 0) return false;
    for (std::size_t i = name.size() - randomPart; i < name.size(); ++i) {
        if (!std::isalnum(static_cast<unsigned char>(name[i]))) return false;
    }
    return true;
}

// Removes one path an ended run left, when it is what the run made: a temporary file or
// a working folder of this user, by its name. A link put in its place is not followed.
bool removeLeftover(char kind, const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || st.st_uid != ::getuid()) return false;
    const std::string name = path.substr(path.rfind('/') + 1);
    if (kind == 'F') {
        return S_ISREG(st.st_mode) && isTemporaryFileName(name) && ::unlink(path.c_str()) == 0;
    }
    if (kind != 'D' || !S_ISDIR(st.st_mode) || !name.starts_with(kWorkingFolderPrefix)) return false;
    std::error_code error;
    std::filesystem::remove_all(path, error);
    return !error;
}

// The paths a record still lists, files first (a write in progress may have its
// temporary file in the working folder), each as its kind and path.
std::vector<std::pair<char, std::string>> pendingPaths(const Bytes& record) {
    std::vector<std::pair<char, std::string>> created;
    std::size_t start = 0;
    while (start < record.size()) {
        const auto* begin = record.data() + start;
        const auto* end = static_cast<const std::uint8_t*>(std::memchr(begin, 0, record.size() - start));
        // An entry cut short by the end of the run is ignored.
        if (end == nullptr) break;
        const char kind = static_cast<char>(*begin);
        std::string path(reinterpret_cast<const char*>(begin + 1), reinterpret_cast<const char*>(end));
        start += static_cast<std::size_t>(end - begin) + 1;
        if (kind == '-') {
            std::erase_if(created, [&](const auto& entry) { return entry.second == path; });
        } else if ((kind == 'F' || kind == 'D') && path.starts_with('/')) {
            created.emplace_back(kind, std::move(path));
        }
    }
    std::stable_partition(created.begin(), created.end(), [](const auto& entry) { return entry.first == 'F'; });
    return created;
}

// Sweeps one record, when its run is gone; the paths removed are added to swept.
void sweepRecord(const std::string& folder, const std::string& realFolder, const std::string& name,
                 std::vector<std::string>& swept) {
    const std::string path = folder + name;
    ContainedFile file = ContainedFile::open(path, realFolder);
    if (file.outcome() != ContainedFile::Outcome::opened) return;
    // Locked: a live run (or one of its workers) holds it.
    if (::flock(file.fd(), LOCK_EX | LOCK_NB) != 0) return;
    struct stat st {};
    // Another run's sweep took it between the listing and the lock.
    if (::fstat(file.fd(), &st) != 0 || st.st_nlink == 0) return;
    if (name.starts_with(kNewPrefix)) {
        if (std::time(nullptr) - st.st_mtime > kNewRecordAge) ::unlink(path.c_str());
        return;
    }
    // run.HOST.PID.XXXXXX
    const std::size_t pidStart = kRecordPrefix.size() + hostPart().size() + 1;
    const std::string pid = name.substr(pidStart, name.rfind('.') - pidStart);
    for (const auto& [kind, leftover] : pendingPaths(file.readAll())) {
        if (!removeLeftover(kind, leftover)) continue;
        logPrint("swept %s, left by process %s, which has ended\n", leftover.c_str(), pid.c_str());
        swept.push_back(leftover);
    }
    ::unlink(path.c_str());
}

}  // namespace

std::string runRecordFolder() {
    const char* cache = std::getenv("XDG_CACHE_HOME");
    if (cache != nullptr && cache[0] == '/') return slashed(cache) + "tarvenox/runs/";
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return slashed(home) + ".cache/tarvenox/runs/";
    return {};
}

bool startRunRecord(const std::string& folder) {
    if (recordFd >= 0 || folder.empty()) return false;
    const std::string dir = slashed(folder);
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(dir).parent_path().parent_path(), error);
    ::mkdir(dir.c_str(), 0700);
    if (!isPrivateFolder(dir)) return false;
    std::string made = dir + std::string(kNewPrefix) + "XXXXXX";
    const int fd = ::mkostemp(made.data(), O_CLOEXEC | O_APPEND);
    if (fd < 0) return false;
    const std::string path =
        dir + std::string(kRecordPrefix) + hostPart() + "." + std::to_string(::getpid()) + made.substr(made.size() - 7);
    // Waits, if need be, for a sweep that is looking at the new record to let it go.
    if (::flock(fd, LOCK_EX) != 0 || path.size() >= PATH_MAX || ::rename(made.c_str(), path.c_str()) != 0) {
        ::unlink(made.c_str());
        ::close(fd);
        return false;
    }
    std::memcpy(recordPath, path.c_str(), path.size() + 1);
    recordOwner = ::getpid();
    recordFd = fd;
    return true;
}

void endRunRecord() {
    if (recordFd < 0 || ::getpid() != recordOwner) return;
    if (!anyRegisteredTemporaryPath()) ::unlink(recordPath);
    ::close(recordFd);
    recordFd = -1;
}

void recordTemporaryPath(char kind, const std::string& path) {
    if (recordFd < 0 || path.empty()) return;
    std::string entry(1, kind);
    // Absolute, so that a sweep from another folder finds it.
    if (path.front() != '/') {
        char cwd[PATH_MAX];
        if (::getcwd(cwd, sizeof cwd) == nullptr) return;
        entry += slashed(cwd);
    }
    entry += path;
    entry.push_back('\0');
    // One write of an O_APPEND descriptor: entries of threads and workers never mix.
    writeAll(recordFd, asBytes(entry));
}

void removeRunRecordNow() noexcept {
    if (recordFd >= 0 && ::getpid() == recordOwner) ::unlink(recordPath);
}

std::vector<std::string> sweepEndedRuns(const std::string& folder) {
    std::vector<std::string> swept;
    const std::string dir = slashed(folder);
    if (dir.empty() || !isPrivateFolder(dir)) return swept;
    const auto realFolder = realPathOf(dir);
    if (!realFolder) return swept;
    const std::string ownHost = std::string(kRecordPrefix) + hostPart() + ".";
    std::vector<std::string> names;
    if (DIR* listing = ::opendir(dir.c_str())) {
        while (const dirent* entry = ::readdir(listing)) {
            const std::string name = entry->d_name;
            // Records of other hosts (a home folder shared over the network) are theirs.
            if (name.starts_with(ownHost) || name.starts_with(kNewPrefix)) names.push_back(name);
        }
        ::closedir(listing);
    }
    for (const std::string& name : names) sweepRecord(dir, *realFolder, name, swept);
    return swept;
}

}  // namespace tarvenox
