// Where a command writes its result: a file, or standard output for "-".
#pragma once

#include <string>

#include "common/ByteChain.h"
#include "common/Bytes.h"
#include "common/Report.h"

namespace tarvenox {

// True for "-", the name of standard output.
bool isStandardOutput(const std::string& path);

// Prepares the program for writing its result to path: for standard output, the
// diagnostic log is silenced so that only the result's bytes reach it; a path that
// exists as something other than a regular file is refused.
Report prepareOutput(const std::string& path);

// Writes the bytes to standard output for "-", else replaces the file atomically
// (writeFileAtomically). Fails naming the output.
Report writeOutput(const std::string& path, ByteSpan bytes);
Report writeOutput(const std::string& path, const ByteChain& bytes);

}  // namespace tarvenox
