// The page's own words, served to it as a script from the run's catalogue.
#include "ui/web/PageCatalogue.h"

#include <nlohmann/json.hpp>

#include "common/Texts.h"

namespace tarvenox::web {

std::string pageCatalogueScript() {
    constexpr std::string_view prefix = "page.";
    nlohmann::json texts = nlohmann::json::object();
    for (const auto& [id, text] : textsStartingWith(prefix)) texts[id.substr(prefix.size())] = text;
    const nlohmann::json language = languageCode(currentLanguage());
    return "export const language = " + language.dump() + ";\nexport const texts = " + texts.dump(2) + ";\n";
}

}  // namespace tarvenox::web
