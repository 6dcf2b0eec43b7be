// `tarvenox render`: a PNG of a movie as the Ruffle player shows it.
#include <CLI/CLI.hpp>

#include <regex>

#include "app/CommandError.h"
#include "app/Commands.h"
#include "app/MoviePictures.h"
#include "publish/OutputFile.h"

namespace tarvenox {

void addRenderCommand(CLI::App& program) {
    auto* command = program.add_subcommand(
        "render", "Play a movie in the Ruffle player in headless Chromium and write a PNG of its stage");
    auto picture = std::make_shared<MoviePicture>();
    auto size = std::make_shared<std::string>();
    command->add_option("movie", picture->movie, "The SWF movie")->required();
    command->add_option("-o,--output", picture->png, "The PNG file to write")->required();
    command
        ->add_option("--frame", picture->frame,
                     "Draw frame N, reached by time at the movie's frame rate (default: the "
                     "stage 1.5 s after the movie has loaded)")
        ->type_name("N")
        ->check(CLI::Range(1, 1000000));
    command->add_option("--size", *size, "Fit the picture into W x H pixels, keeping the stage's proportions")
        ->type_name("WxH");
    command->callback([picture, size] {
        if (!size->empty()) {
            std::smatch match;
            if (!std::regex_match(*size, match, std::regex("([0-9]{1,4})x([0-9]{1,4})")) || std::stoi(match[1]) == 0 ||
                std::stoi(match[2]) == 0) {
                throw CommandError("--size: '" + *size + "' is not WxH (1 to 9999 pixels each)");
            }
            picture->maxWidth = std::stoi(match[1]);
            picture->maxHeight = std::stoi(match[2]);
        }
        if (isStandardOutput(picture->png)) throw CommandError("-o: give a file for the PNG");
        throwIfFailed(prepareOutput(picture->png));
        renderMoviePictures({*picture});
    });
}

}  // namespace tarvenox
