// The record a run keeps on disk of its temporary paths, so that a later run can remove
// what a run that was killed (SIGKILL, a crash, a power cut) left behind: its working
// folder with the copies of templates and the user's pictures, and the temporary file of
// a write in progress beside its output.
//
// Each run keeps its own record file in a folder of the user's, named with the host and
// the process id, and holds an exclusive flock on it from its creation to the process's
// end. The kernel drops the lock when the process ends however it ends, so a record that
// can be locked belongs to a run that is gone: unlike a process id, which the system
// hands out again, the lock cannot be mistaken for a live run. (Worker processes forked
// by a run share its lock and keep its record alive while they work.)
#pragma once

#include <string>
#include <vector>

namespace tarvenox {

// The folder of the records: $XDG_CACHE_HOME/tarvenox/runs, else
// $HOME/.cache/tarvenox/runs; empty when neither variable is set.
std::string runRecordFolder();

// Starts this process's record in the folder (created with mode 0700 if needed) and
// locks it; false when the folder or the record cannot be made, and nothing is then
// recorded. Every path registered in TemporaryPaths.h from now on is recorded.
bool startRunRecord(const std::string& folder);

// Ends the record at a normal end of the process: it is removed when it lists nothing
// left on disk, and kept, for the next run to sweep, when registered paths remain. Only
// the process that started the record ends it.
void endRunRecord();

// Appends one entry: 'F' a temporary file created, 'D' a working folder created, '-'
// a path removed or handed over. Nothing without a record. Called by TemporaryPaths.
void recordTemporaryPath(char kind, const std::string& path);

// Removes the record at once, from a signal handler after the registered paths are
// gone; only async-signal-safe calls.
void removeRunRecordNow() noexcept;

// Sweeps the records in the folder that belong to runs on this host whose process has
// ended: removes each path a record still lists (a working folder "tvtmpdir.prg.*" of
// this user, or a temporary file "*.tmpXXXXXX" of this user; anything else is left),
// logs one line for each, and removes the record. Records of live runs are not
// touched. Returns the paths removed.
std::vector<std::string> sweepEndedRuns(const std::string& folder);

}  // namespace tarvenox
