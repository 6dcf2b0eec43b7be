// The changes a user makes to the selected template, and the save that applies them.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "common/Report.h"
#include "edit/Conversions.h"
#include "swf/SWFType.h"

namespace tarvenox {

class ChosenMedia;
class EditSession;
class SWFFile;

// Applies changes to a movie in the save's order: fonts, then pictures, then sounds,
// each kind in byte-wise order of its names with a log line per entry; then the
// variables (when given) and the background colour (when given). The report gathers
// what each change reported; it fails when a change could not be made as asked (the
// other changes are made all the same), and it says so when the variables cannot be
// written, which leaves the movie's actions as they were. The files and faces are
// converted side by side (Conversions), by the conversions given when they hold them;
// what the chosen media hold is installed from there and not converted again.
Report customiseMovie(SWFFile& movie, const Replacements& fonts, const Replacements& pictures,
                      const Replacements& sounds, const ActionVariables* variables,
                      std::optional<std::int32_t> background, Conversions* conversions = nullptr,
                      const ChosenMedia* chosen = nullptr);

// The recording operations: each keeps a choice for the next save, replacing an earlier
// choice for the same name.
void recordFontReplacement(EditSession& app, const std::string& fontName, const std::string& faceName);
// A JPEG file (".jpg", ".jpeg", any case) must pass the JPEG check first; when it does
// not, nothing is recorded and the report fails with the check's message.
Report recordPictureReplacement(EditSession& app, const std::string& exportName, const std::string& path);
void recordSoundReplacement(EditSession& app, const std::string& exportName, const std::string& path);

// The save: extracts the selected template afresh, reads its working copy, applies
// every recorded change, the action variables and the current background colour, and
// writes the result back over the working copy through a temporary file. A working copy
// that cannot be read completely, variables that cannot be written, or a failed write
// fail the report, and the working copy is then the untouched template; a change that
// could not be made (a picture that cannot be read) fails it too, with the rest saved.
Report saveMovie(EditSession& app);

}  // namespace tarvenox
