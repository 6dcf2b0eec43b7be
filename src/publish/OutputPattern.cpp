// The output names of a sheet's rows.
#include "publish/OutputPattern.h"
#include "common/Texts.h"

#include <algorithm>

#include "publish/Refusal.h"

namespace tarvenox {

std::string safeFileNamePart(const std::string& value) {
    std::string safe;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const auto c = static_cast<unsigned char>(value[i]);
        const bool dotRun =
            c == '.' && ((i + 1 < value.size() && value[i + 1] == '.') || (i > 0 && value[i - 1] == '.'));
        if (c == '/' || c == '\\' || c < 0x20 || c == 0x7f || dotRun || (c == '.' && safe.empty())) {
            safe += '_';
        } else {
            safe += static_cast<char>(c);
        }
    }
    constexpr std::size_t maxLength = 200;
    if (safe.size() > maxLength) {
        std::size_t cut = maxLength;
        while (cut > 0 && (static_cast<unsigned char>(safe[cut]) & 0xC0) == 0x80) --cut;  // a continuation byte
        safe.resize(cut);
    }
    return safe.empty() ? "_" : safe;
}

Result<OutputPattern> OutputPattern::over(const std::string& pattern, const std::vector<std::string>& columns) {
    OutputPattern made;
    std::string text;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '}') return failedWith("-o: " + tarvenox::text("pattern.closeAlone", {pattern}));
        if (pattern[i] != '{') {
            text += pattern[i];
            continue;
        }
        const std::size_t end = pattern.find('}', i);
        if (end == std::string::npos) return failedWith("-o: " + tarvenox::text("pattern.openAlone", {pattern}));
        const std::string name = pattern.substr(i + 1, end - i - 1);
        const auto column = std::find(columns.begin(), columns.end(), name);
        if (column == columns.end()) return failedWith("-o: " + tarvenox::text("pattern.noColumn", {name}));
        made.texts_.push_back(std::move(text));
        text.clear();
        made.columns_.push_back(static_cast<std::size_t>(column - columns.begin()));
        i = end;
    }
    made.texts_.push_back(std::move(text));
    return made;
}

std::string OutputPattern::nameFor(const std::vector<std::string>& row) const {
    std::string name = texts_.front();
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        name += safeFileNamePart(columns_[i] < row.size() ? row[columns_[i]] : std::string()) + texts_[i + 1];
    }
    return name;
}

}  // namespace tarvenox
