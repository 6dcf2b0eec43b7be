// A data sheet read with libcsv.
#include "publish/DataSheet.h"
#include "common/Texts.h"

#include <csv.h>
#include <sys/stat.h>

#include <cstdlib>
#include <memory>
#include <set>

#include "common/Cp1252.h"
#include "common/FileIO.h"
#include "publish/Refusal.h"

namespace tarvenox {

namespace {

// What libcsv's callbacks build: the rows so far, the row in progress, and the first
// problem met (the parse goes on to its end, but the sheet is refused then).
struct SheetBuilder {
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> row;
    std::string problem;
};

std::string fieldTooLong(std::size_t row) {
    return tarvenox::text("sheet.fieldTooLong", {std::to_string(row), std::to_string(maxFieldBytes)});
}

void endField(void* data, std::size_t length, void* context) {
    auto& builder = *static_cast<SheetBuilder*>(context);
    if (length > maxFieldBytes) {
        if (builder.problem.empty()) builder.problem = fieldTooLong(builder.rows.size());
        length = 0;
    }
    builder.row.emplace_back(static_cast<const char*>(data), length);
}

// libcsv keeps the field being read in one buffer that it grows by a fixed block. The
// block is large, so that a long field costs a few reallocations instead of one per 128
// bytes (each copying the whole field: quadratic time). The buffer never grows past one
// byte more than the longest field allowed: a longer field stops the parse there with
// CSV_ENOMEM, instead of being read to its end first.
constexpr std::size_t fieldBlockBytes = 64u << 10;
constexpr std::size_t fieldBufferLimit = maxFieldBytes + 1;

void* growFieldBuffer(void* buffer, std::size_t size) {
    if (size > fieldBufferLimit) return nullptr;
    return std::realloc(buffer, size);
}

void endRow(int, void* context) {
    auto& builder = *static_cast<SheetBuilder*>(context);
    builder.rows.push_back(std::move(builder.row));
    builder.row.clear();
}

struct ParserDeleter {
    void operator()(csv_parser* parser) const {
        csv_free(parser);
        delete parser;
    }
};

}  // namespace

Result<DataSheet> parseDataSheet(std::string_view text, const std::string& name) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    // Windows-1252 where the bytes are not UTF-8: the code page spreadsheet programs on
    // Windows write CSV in.
    const std::string converted = isValidUtf8(text) ? std::string(text) : cp1252ToUtf8(text);

    std::unique_ptr<csv_parser, ParserDeleter> parser(new csv_parser);
    if (csv_init(parser.get(), CSV_STRICT | CSV_STRICT_FINI) != 0) {
        return failedWith(tarvenox::text("reason.outOfMemory", {name}));
    }
    // Blanks around a field are part of it, as RFC 4180 has it; libcsv trims them by default.
    csv_set_space_func(parser.get(), [](unsigned char) { return 0; });
    csv_set_blk_size(parser.get(), fieldBlockBytes);
    csv_set_realloc_func(parser.get(), growFieldBuffer);
    SheetBuilder builder;
    const std::size_t parsed = csv_parse(parser.get(), converted.data(), converted.size(), endField, endRow, &builder);
    if (parsed != converted.size() && csv_error(parser.get()) == CSV_ENOMEM && parser->entry_size >= fieldBufferLimit) {
        return failedWith(name + ": " + fieldTooLong(builder.rows.size()));
    }
    if (parsed != converted.size() || csv_fini(parser.get(), endField, endRow, &builder) != 0) {
        return failedWith(tarvenox::text(
            "sheet.rowUnreadable", {name, std::to_string(builder.rows.size()), csv_strerror(csv_error(parser.get()))}));
    }
    if (!builder.problem.empty()) return failedWith(name + ": " + builder.problem);
    if (builder.rows.empty()) return failedWith(tarvenox::text("sheet.noHeader", {name}));

    DataSheet sheet;
    sheet.header = std::move(builder.rows.front());
    std::set<std::string> seen;
    for (const std::string& column : sheet.header) {
        if (column.empty()) return failedWith(tarvenox::text("sheet.unnamedColumn", {name}));
        if (!seen.insert(column).second) return failedWith(tarvenox::text("sheet.columnTwice", {name, column}));
    }
    sheet.rows.assign(std::make_move_iterator(builder.rows.begin() + 1), std::make_move_iterator(builder.rows.end()));
    return sheet;
}

Result<DataSheet> readDataSheet(const std::string& path) {
    // The size is asked first, so that a huge file is refused before it is read.
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && static_cast<std::size_t>(st.st_size) > maxSheetBytes) {
        return failedWith(
            tarvenox::text("sheet.tooLargeBytes", {path, std::to_string(st.st_size), std::to_string(maxSheetBytes)}));
    }
    const auto bytes = readFileBytes(path);
    if (!bytes) return failedWith(bytes.report().reason());
    if (bytes->size() > maxSheetBytes) return failedWith(tarvenox::text("sheet.tooLarge", {path}));
    return parseDataSheet(asString(*bytes), path);
}

}  // namespace tarvenox
