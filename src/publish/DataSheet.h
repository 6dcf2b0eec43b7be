// A data sheet: a CSV file whose header names the columns and whose rows are values.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "common/Result.h"

namespace tarvenox {

struct DataSheet {
    std::vector<std::string> header;
    // Each row as its fields, in UTF-8; a row may have more or fewer fields than the
    // header (the caller refuses it then, naming the row).
    std::vector<std::vector<std::string>> rows;
};

// Limits that keep a hostile sheet from taking the machine's memory.
inline constexpr std::size_t maxSheetBytes = 64u << 20;
inline constexpr std::size_t maxFieldBytes = 1u << 20;

// Reads CSV text as RFC 4180 has it (commas, fields in double quotes with "" for a quote,
// CRLF or LF line ends; blank lines are skipped). The text is UTF-8 when it is valid
// UTF-8 (a byte order mark is dropped), else Windows-1252, which is converted. The first
// row is the header. Fails with one line naming the file for broken quoting, a field
// above maxFieldBytes, an empty sheet or an empty or repeated column name.
Result<DataSheet> parseDataSheet(std::string_view text, const std::string& name);

// The file read whole (a FIFO, a device or a file above maxSheetBytes is refused), parsed.
Result<DataSheet> readDataSheet(const std::string& path);

}  // namespace tarvenox
