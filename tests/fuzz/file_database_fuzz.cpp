// Reads arbitrary bytes as a file database and every entry it lists, and as a text table.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "data/FileDatabase.h"
#include "data/TextTable.h"

namespace {

// The archive is read through a file, as the program reads it: one file per process,
// rewritten for every input.
const std::string& archivePath() {
    static const std::string path = [] {
        const char* tmpdir = std::getenv("TMPDIR");
        std::string pattern =
            std::string(tmpdir != nullptr && *tmpdir ? tmpdir : "/tmp") + "/file_database_fuzz.XXXXXX";
        int fd = ::mkstemp(pattern.data());
        if (fd < 0) std::abort();
        ::close(fd);
        std::atexit([] { ::unlink(archivePath().c_str()); });
        return pattern;
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvenox;
    std::FILE* file = std::fopen(archivePath().c_str(), "wb");
    if (file == nullptr) std::abort();
    if (size > 0) std::fwrite(data, 1, size, file);
    std::fclose(file);

    auto opened = FileDatabase::open(archivePath(), "/nonexistent-working-folder/");
    if (!opened) return 0;
    const FileDatabase& database = **opened;
    for (const DatabaseRecord& record : database.records()) {
        if (record.name.empty() || record.name.size() > FileDatabase::maxNameLength) __builtin_trap();
        std::string content;
        if (!database.readText(record.name, content)) __builtin_trap();
        if (content.size() > size) __builtin_trap();
    }

    TextTable table(std::string(reinterpret_cast<const char*>(data), size));
    for (int row = 0; row < table.rowCount(); ++row) {
        for (int column = 0; column < 4; ++column) table.cell(column, row);
    }
    return 0;
}
