// A compiled gettext catalogue (a .mo file as msgfmt writes it), read into a table.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace tarvenox {

// Message id to text, for every entry but the header (the empty id). nullopt when the
// bytes are no .mo file or a string lies outside them. Read without libintl, whose
// choice of catalogue follows the process's locale, which needs that locale installed;
// the program picks its language itself (Texts.h).
std::optional<std::map<std::string, std::string, std::less<>>> readMessageCatalogue(std::string_view bytes);

}  // namespace tarvenox
