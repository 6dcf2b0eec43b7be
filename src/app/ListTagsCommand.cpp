// `tarvenox inspect`: what a movie holds and what it lets one replace.
#include <CLI/CLI.hpp>

#include <iostream>

#include "app/CommandError.h"
#include "app/Commands.h"
#include "app/MovieDescription.h"
#include "swf/SWFFile.h"

namespace tarvenox {

void addInspectCommand(CLI::App& program) {
    auto* command = program.add_subcommand(
        "inspect", "List a movie's header and top-level tags with what Tarvenox reads from them");
    auto path = std::make_shared<std::string>();
    auto asJson = std::make_shared<bool>(false);
    command->add_option("movie", *path, "The SWF movie to read")->required();
    command->add_flag("--json", *asJson, "Print one JSON document instead of text");
    command->callback([path, asJson] {
        SWFFile movie(*path);
        if (movie.header().empty()) throw CommandError(movie.error());
        writeMovieDescription(movie, *path, std::cout, *asJson);
        // A movie that could be read only in part is listed as far as it goes, and
        // the command still fails so that scripts notice.
        if (!movie.complete()) throw CommandError(movie.error());
    });
}

}  // namespace tarvenox
