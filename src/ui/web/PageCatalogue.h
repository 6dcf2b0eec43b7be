// The page's own words, served to it as a script from the run's catalogue.
#pragma once

#include <string>

namespace tarvenox::web {

// The address after the secret where the page finds the script.
inline constexpr const char* pageCatalogueAddress = "web/catalogue.js";

// An ES module exporting `language` ("de" or "en") and `texts`, the catalogue's "page."
// texts by their id without that prefix ({1}, {2}... left for the page to fill).
std::string pageCatalogueScript();

// The page's index.html in the run's language: the html element's lang and the
// <noscript> line, which show before any script (or without one) runs.
std::string pageIndexInRunLanguage(std::string html);

}  // namespace tarvenox::web
