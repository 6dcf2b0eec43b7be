// Replacements checked against the movie they are for, before anything is changed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/Result.h"
#include "edit/ChangeCheck.h"
#include "edit/Conversions.h"
#include "picture/PictureChoice.h"
#include "publish/MovieChanges.h"

namespace tarvenox {

// The line that refuses a replacement not in the form NAME=VALUE, naming the command
// line's option as a sheet's cell is named too: "--image: 'SPEC' is not EXPORT=FILE".
std::string notInFormLine(ChangeKind kind, const std::string& spec);

// The replacements of one kind as name (Windows-1252, as movies store it) to value, in
// byte-wise order of the names: the order a save applies them in. A name given twice takes
// the last value. What the movie cannot take fails, so that nothing is written: a name it
// lacks with the option and NAME=VALUE as given, a file or face it cannot use with the
// option and the name. The conversions, when given, hold the files read.
Result<Replacements> checkedChanges(SWFFile& movie, ChangeKind kind, const std::vector<SlotChange>& changes,
                                    Conversions* conversions = nullptr);

// The replacements the check will take in the form it takes them, leaving out what it will
// refuse: what the conversions can start on before the check.
Replacements wellFormed(const std::vector<SlotChange>& changes);

// The fits by picture name (Windows-1252, as checkedChanges names the pictures): each fit
// is for the picture change named exactly as it is; a name given twice takes the last
// fit. Fails for a fit that is not cover, contain or stretch, or that names no picture
// change.
Result<PictureFits> checkedFits(const std::vector<SlotChange>& pictures, const std::vector<SlotChange>& fits);

// A colour as #rrggbb or a decimal number; fails naming --background.
Result<std::int32_t> backgroundColor(const std::string& text);

}  // namespace tarvenox
