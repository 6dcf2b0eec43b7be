// The output name of a row: a pattern such as "out/{name}.swf" over a sheet's columns.
#pragma once

#include <string>
#include <vector>

#include "common/Result.h"

namespace tarvenox {

// A column's value as part of a file name: path separators and control characters become
// '_', so do two or more dots in a row and a dot at the start (no "..", no hidden file);
// an empty result is "_". Cut to at most 200 bytes at a character's boundary.
std::string safeFileNamePart(const std::string& value);

class OutputPattern {
public:
    // Fails when a {NAME} is not one of the columns, or a brace is unmatched.
    static Result<OutputPattern> over(const std::string& pattern, const std::vector<std::string>& columns);

    // The pattern with each {NAME} replaced by the row's value of that column, made safe.
    std::string nameFor(const std::vector<std::string>& row) const;

private:
    OutputPattern() = default;

    // Literal text and column indexes in turn: text, column, text, ..., text.
    std::vector<std::string> texts_;
    std::vector<std::size_t> columns_;
};

}  // namespace tarvenox
