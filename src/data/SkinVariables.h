// "skin.txt": the texts and selection lists of the interface movie, as one line of
// URL-style name=value pairs joined by "&" and closed by "skintxt_end=1".
#pragma once

#include <string>

namespace tarvenox {

// The file's contents for the texts of "texts.txt" and "selectLists.txt". Lists come
// first, ordered by name (unsigned bytes), each as L_count, then L_textI, L_pathI and
// L_fileI per entry in file order; then every text row in file order, with "." in its
// name written as "_"; blanks in texts become "+". Nothing else is encoded.
std::string skinVariables(const std::string& texts, const std::string& selectLists);

// Writes skinVariables() to workingFolder + "skin.txt". A file that cannot be written
// is skipped: start-up goes on without it.
void writeSkinVariables(const std::string& texts, const std::string& selectLists, const std::string& workingFolder);

}  // namespace tarvenox
