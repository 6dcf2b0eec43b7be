// The rows of a batch save.
#include "publish/RowBatch.h"

#include <algorithm>
#include <filesystem>
#include <map>

#include "common/SystemReason.h"
#include "common/Texts.h"
#include "publish/OutputPattern.h"
#include "publish/Refusal.h"
#include "publish/SlotChanges.h"
#include "publish/TextChanges.h"
#include "publish/WebPage.h"

namespace tarvenox {

namespace fs = std::filesystem;

namespace {

// Creates the folder that path lies in, with its parents; what stops that, or empty.
std::string createFolderOf(const std::string& path) {
    const fs::path folder = fs::path(path).parent_path();
    std::error_code error;
    if (folder.empty() || fs::create_directories(folder, error) || !error) return {};
    return text("file.cannotCreateFolder", {folder.string(), systemReason(error)});
}

}  // namespace

Result<RowBatch> prepareRows(const std::string& sheetPath, const MovieChanges& base) {
    auto sheet = readDataSheet(sheetPath);
    if (!sheet) return sheet.report();
    RowBatch batch;
    batch.sheet = sheet.take();
    batch.folder = fs::path(sheetPath).parent_path().string();
    const auto& header = batch.sheet.header;
    const auto& rows = batch.sheet.rows;
    if (rows.empty()) return failedWith(text("sheet.noRows", {sheetPath}));
    for (const std::string& column : header) {
        if (column.find('=') != std::string::npos) {
            return failedWith(text("sheet.columnWithEquals", {sheetPath, column}));
        }
    }
    const auto pattern = OutputPattern::over(base.output, header);
    if (!pattern) return pattern.report();
    for (const std::string& column : header) {
        batch.nameOnly.push_back(base.output.find("{" + column + "}") != std::string::npos);
    }

    // Two rows that name the same file: the later one is not saved.
    std::map<std::string, std::size_t> firstRow;
    batch.failures.resize(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        batch.outputs.push_back(movieOutput(pattern->nameFor(rows[i]), base.html));
        const auto [first, added] = firstRow.emplace(batch.outputs.back(), i);
        if (!added) {
            batch.failures[i] =
                "writes " + batch.outputs.back() + " as row " + std::to_string(first->second + 1) + " does";
        }
    }
    // Each row's folder: the pattern may name another one for every row.
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (batch.failures[i].empty()) batch.failures[i] = createFolderOf(batch.outputs[i]);
    }
    return batch;
}

Result<MovieChanges> rowChanges(const RowBatch& batch, const MovieChanges& base, std::size_t index) {
    const auto& header = batch.sheet.header;
    const auto& row = batch.sheet.rows[index];
    if (row.size() != header.size()) {
        return failedWith(text("sheet.fieldCount", {std::to_string(row.size()), std::to_string(header.size())}));
    }
    MovieChanges changes = base;
    changes.output = batch.outputs[index];
    const auto file = [&](const std::string& value) {
        return fs::path(value).is_absolute() ? value : (fs::path(batch.folder) / value).string();
    };
    std::vector<SlotChange> rowFits;
    for (std::size_t i = 0; i < row.size(); ++i) {
        const std::string& column = header[i];
        const std::string& value = row[i];
        if (column == "background") {
            if (value.empty()) continue;
            auto color = backgroundColor(value);
            if (!color) return color.report();
            changes.background = *color;
        } else if (column.starts_with("font:")) {
            if (!value.empty()) changes.fonts.push_back({column.substr(5), value});
        } else if (column.starts_with("image:")) {
            if (!value.empty()) changes.pictures.push_back({column.substr(6), file(value)});
        } else if (column.starts_with("fit:")) {
            if (!value.empty()) rowFits.push_back({column.substr(4), value});
        } else if (column.starts_with("mp3:")) {
            if (!value.empty()) changes.sounds.push_back({column.substr(4), file(value)});
        } else if (column.starts_with("text:")) {
            if (!value.empty()) changes.texts.push_back({column.substr(5), unescapedText(value)});
        } else if (batch.nameOnly[i]) {
            changes.optionalVariables.emplace_back(column, value);
        } else {
            changes.variables.emplace_back(column, value);
        }
    }
    // A fit applies to the row's picture of that name, or the command line's: a row that
    // keeps the template's picture has nothing to fit, whatever its fit cell says.
    for (auto& fit : rowFits) {
        if (std::any_of(changes.pictures.begin(), changes.pictures.end(),
                        [&](const SlotChange& picture) { return picture.slot == fit.slot; })) {
            changes.fits.push_back(std::move(fit));
        }
    }
    return changes;
}

}  // namespace tarvenox
