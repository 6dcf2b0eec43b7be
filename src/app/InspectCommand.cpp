// `tarvenox inspect`: what a movie holds and what it lets one replace.
#include <CLI/CLI.hpp>

#include <iostream>

#include "app/CommandError.h"
#include "app/Commands.h"
#include "edit/MovieDescription.h"

namespace tarvenox {

void addInspectCommand(CLI::App& program) {
    auto* command = program.add_subcommand(
        "inspect", "List a movie's header and top-level tags with what Tarvenox reads from them");
    auto path = std::make_shared<std::string>();
    auto asJson = std::make_shared<bool>(false);
    command->add_option("movie", *path, "The SWF movie to read")->required();
    command->add_flag("--json", *asJson, "Print one JSON document instead of text");
    command->callback([path, asJson] {
        const Report read = writeMovieDescription(*path, std::cout, *asJson);
        if (read.failed()) throw CommandError(read.reason());
    });
}

}  // namespace tarvenox
