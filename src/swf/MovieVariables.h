// Writing the action variables of a template into its movie.
#pragma once

#include <memory>
#include <vector>

#include "common/Report.h"
#include "swf/SWFFile.h"
#include "swf/SWFType.h"

namespace tarvenox {

// Replaces the first DoAction's actions with the assignments of the variables; a movie
// without a DoAction is left as it is.
void setVariables(SWFFile& movie, const std::vector<std::unique_ptr<SWFType>>& variables);
// Keeps the first DoAction's actions: a variable they assign gets its new value there
// (SWFDoAction::assignInPlace); the others are assigned in a new DoAction placed just
// before it (before the first ShowFrame when the movie has none). A variable that cannot
// be written fails the report and leaves the actions as they were.
Report assignVariables(SWFFile& movie, const std::vector<std::unique_ptr<SWFType>>& variables);

}  // namespace tarvenox
