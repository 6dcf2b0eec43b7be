// Starting a program file and waiting for it to end.
#include "ui/ProgramRun.h"

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>

#include "common/ContainedFile.h"
#include "common/Log.h"

extern char** environ;

namespace tarvenox {
namespace {

// Frees the spawn attributes and file actions however the start ends.
struct SpawnSetup {
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_t actions;
    SpawnSetup() {
        posix_spawnattr_init(&attributes);
        posix_spawn_file_actions_init(&actions);
    }
    ~SpawnSetup() {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;
};

}  // namespace

ProgramLookup findProgramInside(const std::string& folder, const std::string& relative) {
    ProgramLookup lookup;
    const std::string base = folder.empty() ? "./" : folder;
    const auto root = realPathOf(base);
    const auto real = root ? realPathOf(base + relative) : std::nullopt;
    struct stat info {};
    if (!real || ::stat(real->c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return lookup;
    lookup.path = *real;
    lookup.outcome = liesInside(*real, *root) ? ProgramLookup::Outcome::found : ProgramLookup::Outcome::refused;
    return lookup;
}

void runProgramAndWait(const std::string& path) {
    SpawnSetup setup;
    // The program starts as from a fresh shell, not with this process's state: no blocked
    // signals (the host may block the termination signals for its signal watcher), the
    // default action for those the host catches or ignores (the server ignores SIGPIPE),
    // and no descriptor but the standard three (not the server's listening socket, nor a
    // page's connection, which would stay open while the program runs).
    sigset_t none;
    sigemptyset(&none);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (int reset : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGCHLD}) sigaddset(&defaults, reset);
    posix_spawnattr_setsigmask(&setup.attributes, &none);
    posix_spawnattr_setsigdefault(&setup.attributes, &defaults);
    posix_spawnattr_setflags(&setup.attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    posix_spawn_file_actions_addclosefrom_np(&setup.actions, 3);

    char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
    pid_t child = 0;
    // posix_spawn, not posix_spawnp: the path is the file, never looked up in PATH. It
    // reports a failed exec (ENOENT, EACCES, ENOEXEC) as its result.
    int error = posix_spawn(&child, path.c_str(), &setup.actions, &setup.attributes, argv, environ);
    if (error != 0) {
        logPrint("cannot start %s: %s\n", path.c_str(), std::strerror(error));
        return;
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            logPrint("lost the program %s: %s\n", path.c_str(), std::strerror(errno));
            return;
        }
    }
}

}  // namespace tarvenox
