// `tarvenox render`: a PNG of one frame of a movie, or a video of it, as the Ruffle player
// shows it.
#include <CLI/CLI.hpp>

#include <regex>

#include "app/CommandError.h"
#include "app/Commands.h"
#include "app/MoviePictures.h"
#include "app/MovieVideo.h"
#include "common/Texts.h"
#include "publish/OutputFile.h"

namespace tarvenox {

void addRenderCommand(CLI::App& program) {
    auto* command = program.add_subcommand(
        "render", "Play a movie in the Ruffle player in headless Chromium and write a PNG of its stage, or a video "
                  "(.mp4, .webm, .gif, .webp)");
    auto video = std::make_shared<MovieVideo>();
    auto frame = std::make_shared<int>(0);
    auto size = std::make_shared<std::string>();
    command->add_option("movie", video->movie, "The SWF movie")->required();
    command->add_option("-o,--output", video->output, "The PNG or video file to write")->required();
    command->add_option("--frame", *frame, "PNG: draw frame N (default: the stage 1.5 s after the movie has started)")
        ->type_name("N")
        ->check(CLI::Range(1, 1000000));
    auto* seconds =
        command
            ->add_option("--seconds", video->seconds, "Video: S seconds long (default: one pass of the main timeline)")
            ->type_name("S")
            ->check(CLI::Range(0.001, 3600.0));
    command->add_option("--frames", video->frames, "Video: N frames long")
        ->type_name("N")
        ->check(CLI::Range(1, 1000000))
        ->excludes(seconds);
    command->add_option("--fps", video->fps, "Video: F frames a second (default: the movie's frame rate)")
        ->type_name("F")
        ->check(CLI::Range(0.1, 120.0));
    command->add_option("--size", *size, "Fit the picture into W x H pixels, keeping the stage's proportions")
        ->type_name("WxH");
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
