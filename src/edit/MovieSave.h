// The changes a user makes to a template, applied to its movie in the save's order.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "common/Report.h"
#include "edit/Conversions.h"
#include "picture/PictureChoice.h"
#include "swf/SWFType.h"

namespace tarvenox {

class ChosenMedia;
class SWFFile;

// Applies changes to a movie in the save's order: fonts, then pictures, then sounds,
// each kind in byte-wise order of its names with a log line per entry; then the
// variables (when given) and the background colour (when given). Each picture is fitted
// to its slot as fits says (Cover when it names none). The report gathers
// what each change reported; it fails when a change could not be made as asked (the
// other changes are made all the same), and it says so when the variables cannot be
// written, which leaves the movie's actions as they were. The files and faces are
// converted side by side (Conversions), by the conversions given when they hold them;
// what the chosen media hold is installed from there and not converted again.
Report customiseMovie(SWFFile& movie, const Replacements& fonts, const Replacements& pictures, const PictureFits& fits,
                      const Replacements& sounds, const ActionVariables* variables,
                      std::optional<std::int32_t> background, Conversions* conversions = nullptr,
                      const ChosenMedia* chosen = nullptr);

}  // namespace tarvenox
