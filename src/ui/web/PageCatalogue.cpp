// The page's own words, served to it as a script from the run's catalogue.
#include "ui/web/PageCatalogue.h"

#include <nlohmann/json.hpp>

#include "common/Texts.h"
#include "publish/WebPage.h"

namespace tarvenox::web {

std::string pageCatalogueScript() {
    constexpr std::string_view prefix = "page.";
    nlohmann::json texts = nlohmann::json::object();
    for (const auto& [id, text] : textsStartingWith(prefix)) texts[id.substr(prefix.size())] = text;
    const nlohmann::json language = languageCode(currentLanguage());
    return "export const language = " + language.dump() + ";\nexport const texts = " + texts.dump(2) + ";\n";
}

namespace {

// Replaces what lies between the first `open` and the `close` after it; the page as it
// is when either is missing.
void replaceBetween(std::string& html, std::string_view open, std::string_view close, std::string_view with) {
    const std::size_t start = html.find(open);
    if (start == std::string::npos) return;
    const std::size_t from = start + open.size();
    const std::size_t end = html.find(close, from);
    if (end == std::string::npos) return;
    html.replace(from, end - from, with);
}

}  // namespace

std::string pageIndexInRunLanguage(std::string html) {
    replaceBetween(html, "<noscript>", "</noscript>", htmlEscaped(text("page.noScript")));
    replaceBetween(html, "<html lang=\"", "\"", languageCode(currentLanguage()));
    return html;
}

}  // namespace tarvenox::web
