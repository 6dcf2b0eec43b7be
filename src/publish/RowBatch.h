// A batch of saves, one per row of a data sheet: the rows' output names and changes.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "common/Result.h"
#include "publish/DataSheet.h"
#include "publish/MovieChanges.h"

namespace tarvenox {

struct RowBatch {
    DataSheet sheet;
    std::string folder;                 // the sheet's folder: the cells' paths are relative to it
    std::vector<std::string> outputs;   // each row's movie
    std::vector<std::string> failures;  // why each row is not saved; empty for a row to save
    // The columns the output name uses: they set a variable only where the template
    // declares one.
    std::vector<bool> nameOnly;
};

// Reads the sheet and names each row's movie after base.output, a pattern over its columns
// (OutputPattern; with html the movie beside the page the pattern names). Makes each row's
// folder. A row that would write another's file, or whose folder cannot be made, is not
// saved. Fails when the sheet or the pattern cannot be used.
Result<RowBatch> prepareRows(const std::string& sheetPath, const MovieChanges& base);

// The changes of one row: base's, then the row's cells, which win: "background", and
// "font:NAME", "image:NAME", "mp3:NAME" and "text:ID" (with --text's escapes) when not
// empty; every other column names a variable. Fails when the row's fields do not match the header or its colour is not
// one.
Result<MovieChanges> rowChanges(const RowBatch& batch, const MovieChanges& base, std::size_t row);

}  // namespace tarvenox
