// `tarvenox render`: a PNG of one frame of a movie, or a video of it, as the Ruffle player
// shows it.
#include <CLI/CLI.hpp>

#include <regex>

#include "app/CommandError.h"
#include "app/CommandLineTexts.h"
#include "app/Commands.h"
#include "app/MoviePictures.h"
#include "app/MovieVideo.h"
#include "common/Texts.h"
#include "publish/OutputFile.h"

namespace tarvenox {

void addRenderCommand(CLI::App& program) {
    auto* command = program.add_subcommand("render", text("help.render"));
    auto video = std::make_shared<MovieVideo>();
    auto frame = std::make_shared<int>(0);
    auto size = std::make_shared<std::string>();
    command->add_option(text("help.arg.movie"), video->movie, text("help.render.movie"))->required();
    command->add_option("-o,--output", video->output, text("help.render.output"))
        ->type_name(text("help.type.file"))
        ->required();
    command->add_option("--frame", *frame, text("help.render.frame"))->type_name("N")->check(withinNumbers(1, 1000000));
    auto* seconds = command->add_option("--seconds", video->seconds, text("help.render.seconds"))
                        ->type_name("S")
                        ->check(withinNumbers(0.001, 3600.0));
    command->add_option("--frames", video->frames, text("help.render.frames"))
        ->type_name("N")
        ->check(withinNumbers(1, 1000000))
        ->excludes(seconds);
    command->add_option("--fps", video->fps, text("help.render.fps"))->type_name("F")->check(withinNumbers(0.1, 120.0));
    command->add_option("--size", *size, text("help.render.size"))->type_name(text("help.type.size"));
    command->callback([video, frame, size] {
        if (!size->empty()) {
            std::smatch match;
            if (!std::regex_match(*size, match, std::regex("([0-9]{1,4})x([0-9]{1,4})")) || std::stoi(match[1]) == 0 ||
                std::stoi(match[2]) == 0) {
                throw CommandError("--size: " + text("render.badSize", {*size}));
            }
            video->maxWidth = std::stoi(match[1]);
            video->maxHeight = std::stoi(match[2]);
        }
        if (isStandardOutput(video->output)) throw CommandError(text("render.outputIsTerminal"));
        const bool isVideo = isVideoOutput(video->output);
        if (isVideo && *frame > 0) throw CommandError(text("render.frameOfVideo"));
        if (!isVideo && (video->frames > 0 || video->seconds > 0 || video->fps > 0)) {
            throw CommandError(text("render.lengthOfPicture"));
        }
        throwIfFailed(prepareOutput(video->output));
        if (isVideo) {
            renderMovieVideos({*video}, true);
        } else {
            renderMoviePictures({{video->movie, video->output, *frame, video->maxWidth, video->maxHeight}});
        }
    });
}

}  // namespace tarvenox
