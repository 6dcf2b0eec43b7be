// The program's texts for the user, looked up by id in the catalogue of the run's language.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarvenox {

enum class Language { german, english };

// "de" or "en".
const char* languageCode(Language language);
// The language a code names ("de", "en"); nullopt for any other.
std::optional<Language> languageNamed(std::string_view code);
// The user's language: the first of LC_ALL, LC_MESSAGES and LANG that is set and not
// empty decides; German where it starts with "de", English otherwise.
Language languageOfEnvironment();

// Makes `language` the run's language, its catalogue read from share/tarvenox/texts beside
// the program. Until this is called the environment's language is used.
void useLanguage(Language language);
Language currentLanguage();

// The text of an id in the run's language; the id itself when the catalogue lacks it (so
// a missing text shows as what is missing, not as nothing).
std::string text(std::string_view id);
// The same with its placeholders {1}, {2}, ... replaced by the values, in this order.
std::string text(std::string_view id, std::initializer_list<std::string_view> values);
// The text of an id with its values, for ids and values that come from outside the
// program (another program's message): nullopt when the catalogue lacks the id or its
// text wants a value not given.
std::optional<std::string> knownText(std::string_view id, const std::vector<std::string>& values);

// A decimal number written with a point ("2.5") as a sentence of the run's language writes
// it: German with a decimal comma ("2,5"). Not for values a user types back (an option's
// value, a movie's variable), which keep the point.
std::string proseNumber(std::string number);

// Every id that starts with `prefix`, with its text, in id order (the page's words).
std::vector<std::pair<std::string, std::string>> textsStartingWith(std::string_view prefix);

// The ids and texts of one language's catalogue as installed; empty when it is missing.
std::vector<std::pair<std::string, std::string>> catalogueOf(Language language);

}  // namespace tarvenox
