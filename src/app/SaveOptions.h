// The options of `tarvenox save`, and the saves that the batch of a sheet's rows shares.
#pragma once

#include <string>
#include <vector>

#include "common/Report.h"

namespace tarvenox {

struct SaveOptions {
    std::string movie;
    std::string templateName;
    std::string dataFolder;
    std::string output;
    std::string background;
    std::vector<std::string> images;
    std::vector<std::string> mp3;
    std::vector<std::string> fonts;
    std::vector<std::string> variables;
    // NAME=VALUE for variables set only where the template declares them (a sheet's
    // column that also names the output).
    std::vector<std::string> optionalVariables;
    std::string rows;  // a data sheet: one save per row
    bool uncompressed = false;
    bool html = false;
};

// Saves the template with the options' changes to options.output (and its web page with
// html). Returns the save's report, whose notes the caller shows; throws CommandError
// when nothing was written.
Report saveTemplate(const SaveOptions& options);

// One save of the template per row of the sheet options.rows, on every core; options.output
// is a pattern over the sheet's columns (OutputPattern). Prints one line per failed row;
// throws CommandError when the sheet cannot be used or any row failed.
void saveRows(const SaveOptions& options);

}  // namespace tarvenox
