// Temporary files and folders that must not outlive an interrupted run.
#pragma once

#include <string>

namespace tarvenox {

// A fixed table of paths that a signal handler can remove without allocating: the
// temporary file of a write in progress and the run's working folder. Registering
// blocks the termination signals around the step that creates the path, so a signal
// never falls between the creation and the registration.

// Creates a unique file from a mkstemp pattern (…XXXXXX, replaced in place) and
// registers it; returns the open descriptor or -1 (errno set).
int createRegisteredTemporaryFile(std::string& pattern);
// Creates a unique folder from a mkdtemp pattern and registers it; false on failure.
// A nested folder may hold folders of its own, one level deep, removed with it.
bool createRegisteredTemporaryFolder(std::string& pattern, bool nested = false);
// Forgets a path once it has been renamed, removed or handed over.
void unregisterTemporaryPath(const std::string& path);
// Whether any path is registered still.
bool anyRegisteredTemporaryPath();
// Every registration and its end also go into the run's record on disk (RunRecord.h),
// so that a later run removes what a killed one left.

// Removes every registered path: files are unlinked, folders emptied of their files
// and removed, and then the run's record, which lists nothing left. Only
// async-signal-safe calls: meant for signal handlers.
void removeRegisteredTemporaryPaths() noexcept;

// Installs handlers for SIGINT, SIGTERM and SIGHUP that remove the registered paths
// and end the process with status 128 + the signal. A second signal while the first
// is being handled ends the process at once.
void installTerminationCleanup();

}  // namespace tarvenox
