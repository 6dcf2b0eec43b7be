// `tarvenox archive`: make, list and unpack file databases.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "app/CommandError.h"
#include "app/Commands.h"
#include "common/Cp1252.h"
#include "common/FileIO.h"
#include "common/SystemReason.h"
#include "common/Texts.h"
#include "data/ArchiveWriter.h"
#include "data/FileDatabase.h"
#include "publish/OutputFile.h"

namespace tarvenox {

namespace {

namespace fs = std::filesystem;

struct ArchiveOptions {
    std::string folder;
    std::string archive;
    std::string name;
    std::string output;
};

// The archive name of a file below the folder: its relative path in Windows-1252,
// folders separated by backslashes.
std::string archiveName(const fs::path& relative) {
    std::string utf8 = relative.generic_string();
    bool lossless = false;
    std::string name = utf8ToCp1252(utf8, &lossless);
    if (!lossless) {
        throw CommandError(text("archive.nameNotWindows1252", {utf8}));
    }
    std::replace(name.begin(), name.end(), '/', '\\');
    return name;
}

void runCreate(const ArchiveOptions& options) {
    throwIfFailed(prepareOutput(options.archive));
    std::error_code error;
    if (!fs::is_directory(options.folder, error)) {
        throw CommandError(text("archive.notFolder", {options.folder}));
    }
    // Only regular files are packed. A symbolic link is skipped, whether it points
    // inside the folder or out of it: following it could pack a file from anywhere,
    // and a link inside would pack the same bytes twice. Folders reached through a
    // link are not entered either (the iterator does not follow them).
    std::vector<fs::path> paths;
    for (fs::recursive_directory_iterator it(options.folder, error), end; !error && it != end; it.increment(error)) {
        const fs::file_status status = it->symlink_status(error);
        if (error) break;
        if (fs::is_symlink(status)) {
            std::fprintf(stderr, "tarvenox: %s\n", text("archive.linkSkipped", {it->path().string()}).c_str());
            continue;
        }
        if (fs::is_directory(status)) continue;
        if (!fs::is_regular_file(status)) {
            std::fprintf(stderr, "tarvenox: %s\n", text("archive.specialSkipped", {it->path().string()}).c_str());
            continue;
        }
        // An earlier archive written into the folder itself is not packed into the new one.
        std::error_code notTheArchive;
        if (fs::equivalent(it->path(), options.archive, notTheArchive)) continue;
        paths.push_back(it->path());
    }
    if (error) throw CommandError(options.folder + ": " + systemReason(error));
    std::sort(paths.begin(), paths.end());

    std::vector<ArchiveFile> files;
    for (const fs::path& path : paths) {
        auto data = readFileBytes(path.string());
        if (!data) throw CommandError(data.report().reason());
        files.push_back({archiveName(path.lexically_relative(options.folder)), data.take()});
    }
    throwIfFailed(writeOutput(options.archive, valueOrThrow(buildArchive(files))));
}

std::unique_ptr<FileDatabase> openArchive(const std::string& path) {
    auto database = FileDatabase::open(path, "");
    if (!database) throw CommandError(database.report().reason());
    return database.take();
}

void runList(const ArchiveOptions& options) {
    auto database = openArchive(options.archive);
    for (const DatabaseRecord& record : database->records()) {
        std::printf("%10u  %s\n", record.entry.size, cp1252ToUtf8(record.name).c_str());
    }
}

void runExtract(const ArchiveOptions& options) {
    throwIfFailed(prepareOutput(options.output));
    auto database = openArchive(options.archive);
    bool lossless = false;
    std::string name = utf8ToCp1252(options.name, &lossless);
    std::string data;
    // Entry names use backslashes; a name typed with slashes finds them too.
    std::string withBackslashes = name;
    std::replace(withBackslashes.begin(), withBackslashes.end(), '/', '\\');
    if (!lossless || (!database->readText(name, data) && !database->readText(withBackslashes, data))) {
        throw CommandError(text("archive.noEntry", {options.archive, options.name}));
    }
    throwIfFailed(writeOutput(options.output, asBytes(data)));
}

}  // namespace

void addArchiveCommand(CLI::App& program) {
    auto* command = program.add_subcommand("archive", text("help.archive"));
    command->require_subcommand(1);
    auto options = std::make_shared<ArchiveOptions>();

    auto* create = command->add_subcommand("create", text("help.archive.create"));
    create->add_option(text("help.arg.folder"), options->folder, text("help.archive.folder"))->required();
    create->add_option("-o,--output", options->archive, text("help.archive.output"))
        ->type_name(text("help.type.file"))
        ->required();
    create->callback([options] { runCreate(*options); });

    auto* list = command->add_subcommand("list", text("help.archive.list"));
    list->add_option(text("help.arg.archive"), options->archive, text("help.archive.archive"))->required();
    list->callback([options] { runList(*options); });

    auto* extract = command->add_subcommand("extract", text("help.archive.extract"));
    extract->add_option(text("help.arg.archive"), options->archive, text("help.archive.archive"))->required();
    extract->add_option(text("help.arg.name"), options->name, text("help.archive.name"))->required();
    extract->add_option("-o,--output", options->output, text("help.archive.entryOutput"))
        ->type_name(text("help.type.file"))
        ->required();
    extract->callback([options] { runExtract(*options); });
}

}  // namespace tarvenox
