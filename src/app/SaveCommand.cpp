// `tarvenox save`: apply changes to a movie and write the result.
#include <CLI/CLI.hpp>

#include "app/ColorText.h"
#include "app/CommandError.h"
#include "app/Commands.h"
#include "swf/SWFFile.h"

namespace tarvenox {

namespace {

struct SaveOptions {
    std::string movie;
    std::string output;
    std::string background;
};

void runSave(const SaveOptions& options) {
    std::optional<std::int32_t> background;
    if (!options.background.empty()) {
        background = parseColor(options.background);
        if (!background) {
            throw CommandError("--background: '" + options.background +
                               "' is not a colour; give #rrggbb or a decimal number");
        }
    }
    SWFFile movie(options.movie);
    if (!movie.complete()) throw CommandError(movie.error() + "; nothing was written");
    // The changes go in the save's order: fonts, pictures, sounds, variables, colour.
    if (background) movie.setBackgroundColor(*background);
    std::string error;
    if (!movie.write(options.output, &error)) throw CommandError(error);
}

}  // namespace

void addSaveCommand(CLI::App& program) {
    auto* command = program.add_subcommand(
        "save", "Read a movie, apply the given changes and write the result to a new file");
    auto options = std::make_shared<SaveOptions>();
    command->add_option("movie", options->movie, "The SWF movie to start from")->required();
    command->add_option("-o,--output", options->output, "Where to write the result")->required();
    command->add_option("--background", options->background,
                        "New background colour: #rrggbb or a decimal number");
    command->callback([options] { runSave(*options); });
}

}  // namespace tarvenox
