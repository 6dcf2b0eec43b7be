// Static texts given new strings, checked against their movie and applied.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/Result.h"
#include "edit/Conversions.h"
#include "publish/MovieChanges.h"

namespace tarvenox {

class SWFFile;

struct TextChange {
    std::uint16_t id = 0;
    std::u32string text;  // '\n' starts a new line
};

// The string of --text's TEXT: a backslash and 'n' is a new line, two backslashes are
// one; every other character stands for itself.
std::string unescapedText(const std::string& option);

// The changes of static texts as the movie can take them, in the order given: each slot
// the character id of a DefineText or DefineText2, each text UTF-8. What the movie
// cannot take fails with one line naming the option and the id, so that nothing is
// written.
Result<std::vector<TextChange>> checkedTextChanges(const SWFFile& movie, const std::vector<SlotChange>& texts);

// Changes the static texts in order (changeStaticText). The characters a text's font
// lacks come from the face that fonts (font name to face, as the save applies them)
// gives that font, else from the installed face of the font's name. Fails with one line
// at the first change that cannot be made.
Report changeStaticTexts(SWFFile& movie, const std::vector<TextChange>& changes, const Replacements& fonts);

}  // namespace tarvenox
