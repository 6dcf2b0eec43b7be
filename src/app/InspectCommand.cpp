// `tarvenox inspect`: what a movie holds and what it lets one replace.
#include <CLI/CLI.hpp>

#include <iostream>

#include "app/CommandError.h"
#include "app/Commands.h"
#include "common/Texts.h"
#include "edit/MovieDescription.h"

namespace tarvenox {

void addInspectCommand(CLI::App& program) {
    auto* command = program.add_subcommand("inspect", text("help.inspect"));
    auto path = std::make_shared<std::string>();
    auto asJson = std::make_shared<bool>(false);
    command->add_option(text("help.arg.movie"), *path, text("help.inspect.movie"))->required();
    command->add_flag("--json", *asJson, text("help.json"));
    command->callback([path, asJson] {
        const Report read = writeMovieDescription(*path, std::cout, *asJson);
        if (read.failed()) throw CommandError(read.reason());
    });
}

}  // namespace tarvenox
