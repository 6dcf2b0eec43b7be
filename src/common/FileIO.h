// Whole-file reading and replace-by-rename writing.
#pragma once

#include <optional>
#include <string>

#include "common/Bytes.h"

namespace tarvenox {

// The whole file, or nullopt with *error (when given) naming the file and the cause.
std::optional<Bytes> readFileBytes(const std::string& path, std::string* error = nullptr);

// Writes the bytes to a temporary file beside path and renames it over path, so a
// failure never leaves a half-written or destroyed file behind. On failure the
// temporary file is removed and *error names the file and the cause.
bool writeFileAtomically(const std::string& path, ByteSpan bytes, std::string* error = nullptr);

}  // namespace tarvenox
