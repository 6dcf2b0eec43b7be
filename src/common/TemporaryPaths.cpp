// Temporary files and folders that must not outlive an interrupted run.
#include "common/TemporaryPaths.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "common/RunRecord.h"

namespace tarvenox {

namespace {

// A run has at most a working folder and a write or two in progress at once.
constexpr std::size_t kSlots = 16;

enum SlotState : int { kFree = 0, kFile = 1, kFolder = 2, kNestedFolder = 3 };

struct Slot {
    std::atomic<int> state{kFree};
    char path[PATH_MAX] = {};
};

Slot slots[kSlots];
std::atomic<int> handling{0};

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Blocks the termination signals for the lifetime of the object.
class SignalBlock {
public:
    SignalBlock() {
        sigset_t set;
        sigemptyset(&set);
        for (int sig : kSignals) sigaddset(&set, sig);
        pthread_sigmask(SIG_BLOCK, &set, &previous_);
    }
    ~SignalBlock() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
    SignalBlock(const SignalBlock&) = delete;
    SignalBlock& operator=(const SignalBlock&) = delete;

private:
    sigset_t previous_;
};

void registerPath(const std::string& path, SlotState kind) {
    if (path.size() >= PATH_MAX) return;
    for (Slot& slot : slots) {
        if (slot.state.load() != kFree) continue;
        std::memcpy(slot.path, path.c_str(), path.size() + 1);
        slot.state.store(kind);
        return;
    }
}

// Unlinks every entry of a folder through the getdents64 system call, which, unlike
// readdir, allocates nothing. Subfolders are not expected in a working folder and are
// left (the rmdir after this then fails, as it should for a folder we did not fill);
// with depth 1 the subfolders are emptied of their files and removed too.
void emptyFolder(int at, const char* path, int depth) {
    const int fd = ::openat(at, path, O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return;
    alignas(8) char buffer[4096];
    for (;;) {
        const long n = ::syscall(SYS_getdents64, fd, buffer, sizeof buffer);
        if (n <= 0) break;
        for (long at = 0; at < n;) {
            struct Entry {
                std::uint64_t inode;
                std::int64_t offset;
                unsigned short length;
                unsigned char type;
                char name[1];
            };
            const auto* entry = reinterpret_cast<const Entry*>(buffer + at);
            const char* name = buffer + at + offsetof(Entry, name);
            if (std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0) {
                if (entry->type == DT_DIR && depth > 0) {
                    emptyFolder(fd, name, depth - 1);
                    ::unlinkat(fd, name, AT_REMOVEDIR);
                } else {
                    ::unlinkat(fd, name, 0);
                }
            }
            at += entry->length;
        }
    }
    ::close(fd);
}

void onTerminationSignal(int sig) {
    if (handling.exchange(1) != 0) _exit(128 + sig);
    removeRegisteredTemporaryPaths();
    _exit(128 + sig);
}

}  // namespace

int createRegisteredTemporaryFile(std::string& pattern) {
    SignalBlock block;
    const int fd = ::mkstemp(pattern.data());
    if (fd >= 0) {
        registerPath(pattern, kFile);
        recordTemporaryPath('F', pattern);
    }
    return fd;
}

bool createRegisteredTemporaryFolder(std::string& pattern, bool nested) {
    SignalBlock block;
    if (::mkdtemp(pattern.data()) == nullptr) return false;
    registerPath(pattern, nested ? kNestedFolder : kFolder);
    recordTemporaryPath('D', pattern);
    return true;
}

void unregisterTemporaryPath(const std::string& path) {
    SignalBlock block;
    for (Slot& slot : slots) {
        if (slot.state.load() != kFree && path == slot.path) slot.state.store(kFree);
    }
    recordTemporaryPath('-', path);
}

bool anyRegisteredTemporaryPath() {
    for (const Slot& slot : slots) {
        if (slot.state.load() != kFree) return true;
    }
    return false;
}

void removeRegisteredTemporaryPaths() noexcept {
    // Files first: a write in progress may have its temporary file in the folder.
    for (Slot& slot : slots) {
        if (slot.state.load() == kFile) ::unlink(slot.path);
    }
    for (Slot& slot : slots) {
        const int state = slot.state.load();
        if (state != kFolder && state != kNestedFolder) continue;
        emptyFolder(AT_FDCWD, slot.path, state == kNestedFolder ? 1 : 0);
        ::rmdir(slot.path);
    }
    removeRunRecordNow();
}

void installTerminationCleanup() {
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    // The handler runs with the other termination signals open, so that a second one
    // reaches it and ends the process at once.
    action.sa_flags = SA_NODEFER;
    for (int sig : kSignals) ::sigaction(sig, &action, nullptr);
}

}  // namespace tarvenox
