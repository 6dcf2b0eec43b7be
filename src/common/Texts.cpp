// The program's texts for the user, in the run's language.
#include "common/Texts.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>

#include "common/MessageCatalogue.h"
#include "common/ShareFolder.h"
#include "common/WholeFile.h"

namespace tarvenox {

namespace {

using Table = std::map<std::string, std::string, std::less<>>;

Table readCatalogue(Language language) {
    const std::string file = std::string("texts/") + languageCode(language) + ".mo";
    std::optional<std::string> folder = shareFolderHolding(file, ShareSearch::thenBesideProgram);
    if (!folder) return {};
    return readMessageCatalogue(readWholeFile(*folder + "/" + file)).value_or(Table{});
}

// The run's language and its table, read once on first use; worker threads of a save
// look texts up too.
struct Current {
    std::mutex mutex;
    std::optional<Language> language;
    std::shared_ptr<const Table> table;
};

Current& current() {
    static Current instance;
    return instance;
}

std::shared_ptr<const Table> currentTable() {
    Current& state = current();
    std::lock_guard lock(state.mutex);
    if (!state.table) {
        if (!state.language) state.language = languageOfEnvironment();
        state.table = std::make_shared<const Table>(readCatalogue(*state.language));
    }
    return state.table;
}

}  // namespace

const char* languageCode(Language language) { return language == Language::german ? "de" : "en"; }

std::optional<Language> languageNamed(std::string_view code) {
    if (code == "de") return Language::german;
    if (code == "en") return Language::english;
    return std::nullopt;
}

Language languageOfEnvironment() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value == nullptr || *value == '\0') continue;
        return std::string_view(value).starts_with("de") ? Language::german : Language::english;
    }
    return Language::english;
}

void useLanguage(Language language) {
    Current& state = current();
    std::lock_guard lock(state.mutex);
    if (state.language == language && state.table) return;
    state.language = language;
    state.table.reset();
}

Language currentLanguage() {
    Current& state = current();
    std::lock_guard lock(state.mutex);
    if (!state.language) state.language = languageOfEnvironment();
    return *state.language;
}

std::string text(std::string_view id) {
    std::shared_ptr<const Table> table = currentTable();
    auto found = table->find(id);
    return found != table->end() ? found->second : std::string(id);
}

namespace {

// The pattern with each {N} (one digit between braces) replaced by value N - 1 of values;
// any other brace is kept as it is. wanted is the highest N seen.
template <typename Values>
std::string filledIn(const std::string& pattern, const Values& values, std::size_t& wanted) {
    std::string filled;
    filled.reserve(pattern.size());
    wanted = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '{' && i + 2 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9' &&
            pattern[i + 2] == '}') {
            const std::size_t index = static_cast<std::size_t>(pattern[i + 1] - '1');
            wanted = std::max(wanted, index + 1);
            if (index < values.size()) filled += *(values.begin() + static_cast<std::ptrdiff_t>(index));
            i += 2;
            continue;
        }
        filled += pattern[i];
    }
    return filled;
}

}  // namespace

std::string text(std::string_view id, std::initializer_list<std::string_view> values) {
    std::size_t wanted = 0;
    return filledIn(text(id), values, wanted);
}

std::optional<std::string> knownText(std::string_view id, const std::vector<std::string>& values) {
    std::shared_ptr<const Table> table = currentTable();
    auto found = table->find(id);
    if (found == table->end()) return std::nullopt;
    std::size_t wanted = 0;
    std::string filled = filledIn(found->second, values, wanted);
    if (wanted > values.size()) return std::nullopt;
    return filled;
}

std::string proseNumber(std::string number) {
    if (currentLanguage() == Language::german) std::replace(number.begin(), number.end(), '.', ',');
    return number;
}

std::vector<std::pair<std::string, std::string>> textsStartingWith(std::string_view prefix) {
    std::shared_ptr<const Table> table = currentTable();
    std::vector<std::pair<std::string, std::string>> found;
    for (auto it = table->lower_bound(prefix); it != table->end() && it->first.starts_with(prefix); ++it) {
        found.emplace_back(it->first, it->second);
    }
    return found;
}

std::vector<std::pair<std::string, std::string>> catalogueOf(Language language) {
    Table table = readCatalogue(language);
    return {table.begin(), table.end()};
}

}  // namespace tarvenox
