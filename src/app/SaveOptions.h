// The options of `tarvenox save`, and the saves of a template that the batch of a sheet's
// rows shares with a single save.
#pragma once

#include <string>
#include <vector>

#include "common/Report.h"
#include "publish/MovieChanges.h"

namespace tarvenox {

struct SaveOptions {
    std::string movie;
    std::string templateName;
    std::string dataFolder;
    std::string output;
    std::string background;
    std::vector<std::string> images;
    std::vector<std::string> fits;
    std::vector<std::string> mp3;
    std::vector<std::string> fonts;
    std::vector<std::string> texts;
    std::vector<std::string> variables;
    std::string rows;  // a data sheet: one save per row
    bool uncompressed = false;
    bool html = false;
};

// Saves the template with the changes in an application started on their installation
// (saveTemplate). Returns the save's report, whose notes the caller shows; throws
// CommandError when the installation cannot be started.
Report saveTemplateIn(const MovieChanges& changes);

// One save of the template per row of the sheet, on every core; base.output is a pattern
// over the sheet's columns (OutputPattern). Prints one line per failed row; throws
// CommandError when the sheet cannot be used or any row failed.
void saveRows(const MovieChanges& base, const std::string& sheet);

}  // namespace tarvenox
