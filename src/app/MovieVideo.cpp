#include "app/MovieVideo.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "app/CommandError.h"
#include "app/MoviePictures.h"
#include "common/FileIO.h"
#include "common/TemporaryPaths.h"
#include "common/Texts.h"
#include "sound/SoundTimeline.h"
#include "swf/SWFFile.h"
#include "swf/SWFReader.h"

namespace tarvenox {

namespace {

namespace fs = std::filesystem;

// The longest video written: an hour.
constexpr double maxSeconds = 3600;

std::string lowerExtension(const std::string& path) {
    std::string extension = fs::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

bool carriesSound(const std::string& extension) { return extension == ".mp4" || extension == ".webm"; }

std::string decimal(double value) {
    std::ostringstream text;
    text.precision(10);
    text << value;
    return text.str();
}

std::string videoJob(const MovieVideo& video, std::size_t index, ScratchFolder& sounds) {
    auto read = readSWF(video.movie);
    if (!read) throw CommandError(read.report().reason());
    const SWFFile& movie = *read;
    const std::string extension = lowerExtension(video.output);
    const StageSize size = drawnStageSize(movie, video.movie, video.maxWidth, video.maxHeight, extension != ".gif");
    const double rate = movie.frameRate() > 0 ? movie.frameRate() : 1;
    const double fps = video.fps > 0 ? video.fps : rate;
    double frames = video.frames;
    if (frames <= 0)
        frames = std::round((video.seconds > 0 ? video.seconds : std::max<int>(1, movie.frameCount()) / rate) * fps);
    frames = std::max(1.0, frames);
    if (frames / fps > maxSeconds) {
        throw CommandError(
            text("render.videoTooLong", {video.output, std::to_string(static_cast<int>(maxSeconds / 60))}));
    }
    std::vector<VideoSound> placed;
    if (carriesSound(extension)) {
        for (const TimelineSound& sound : timelineSounds(movie)) {
            const std::string path =
                sounds.file("video-" + std::to_string(index) + "-sound-" + std::to_string(placed.size()) +
                            (sound.kind == SoundFile::Mp3 ? ".mp3" : ".flv"));
            if (const Report written = writeFileAtomically(path, sound.data); written.failed()) {
                throw CommandError(written.reason());
            }
            // A sound started with another loop count is another input: ffmpeg loops an input
            // as a whole.
            const std::size_t first = placed.size();
            for (const SoundStart& start : sound.starts) {
                auto same = std::find_if(placed.begin() + static_cast<long>(first), placed.end(),
                                         [&](const VideoSound& input) { return input.plays == start.plays; });
                if (same == placed.end()) same = placed.insert(placed.end(), {path, start.plays, {}});
                same->delaysMs.push_back(std::lround(start.frame * 1000.0 / rate));
            }
        }
    }
    const std::string temporary = video.output + "." + std::to_string(::getpid()) + ".tmp";
    const int count = static_cast<int>(frames);
    return nlohmann::json{
        {"movie", video.movie},
        {"output", video.output},
        {"width", size.width},
        {"height", size.height},
        {"rate", rate},
        {"video",
         {{"fps", fps},
          {"frames", count},
          {"temporary", temporary},
          {"ffmpeg", encoderArguments(video.output, temporary, size.width, size.height, fps, count, placed)}}}}
        .dump();
}

}  // namespace

ScratchFolder::~ScratchFolder() {
    if (path_.empty()) return;
    std::error_code error;
    fs::remove_all(path_, error);
    unregisterTemporaryPath(path_);
}

std::string ScratchFolder::file(const std::string& name) {
    if (path_.empty()) {
        std::string pattern = (fs::temp_directory_path() / "tarvenox-video-XXXXXX").string();
        if (!createRegisteredTemporaryFolder(pattern)) {
            throw CommandError(text("render.noScratchFolder"));
        }
        path_ = pattern;
    }
    return path_ + "/" + name;
}

bool isVideoOutput(const std::string& path) {
    const std::string extension = lowerExtension(path);
    return extension == ".mp4" || extension == ".webm" || extension == ".gif" || extension == ".webp";
}

std::vector<std::string> encoderArguments(const std::string& output, const std::string& temporary, int width,
                                          int height, double fps, int frames, const std::vector<VideoSound>& sounds) {
    const std::string extension = lowerExtension(output);
    std::vector<std::string> arguments = {
        "-hide_banner", "-loglevel",  "error", "-nostdin", "-f",
        "rawvideo",     "-pix_fmt",   "rgba",  "-s",       std::to_string(width) + "x" + std::to_string(height),
        "-r",           decimal(fps), "-i",    "pipe:0"};
    const bool withSound = carriesSound(extension) && !sounds.empty();
    if (withSound) {
        // Each input is split into one copy a start, each copy delayed to its start, and all
        // are mixed.
        std::string graph;
        std::string mixed;
        int copies = 0;
        for (std::size_t i = 0; i < sounds.size(); ++i) {
            if (sounds[i].plays > 1) {
                arguments.insert(arguments.end(), {"-stream_loop", std::to_string(sounds[i].plays - 1)});
            }
            arguments.insert(arguments.end(), {"-i", sounds[i].path});
            const std::string input = "[" + std::to_string(i + 1) + ":a]";
            const std::size_t count = sounds[i].delaysMs.size();
            std::vector<std::string> sources(count, input);
            if (count > 1) {
                graph += input + "asplit=" + std::to_string(count);
                for (std::size_t c = 0; c < count; ++c) {
                    sources[c] = "[i" + std::to_string(i) + "c" + std::to_string(c) + "]";
                    graph += sources[c];
                }
                graph += ";";
            }
            for (std::size_t c = 0; c < count; ++c) {
                const std::string label = "[s" + std::to_string(copies++) + "]";
                graph += sources[c] + "adelay=delays=" + std::to_string(sounds[i].delaysMs[c]) + ":all=1" + label + ";";
                mixed += label;
            }
        }
        graph += mixed + "amix=inputs=" + std::to_string(copies) + ":normalize=0:duration=longest[sound]";
        arguments.insert(arguments.end(), {"-filter_complex", graph, "-map", "0:v", "-map", "[sound]"});
    }
    if (extension == ".mp4") {
        arguments.insert(arguments.end(), {"-c:v", "libx264", "-preset", "medium", "-crf", "16", "-pix_fmt", "yuv420p",
                                           "-movflags", "+faststart", "-f", "mp4"});
        if (withSound) arguments.insert(arguments.end(), {"-c:a", "aac", "-b:a", "128k"});
    } else if (extension == ".webm") {
        arguments.insert(arguments.end(), {"-c:v", "libvpx-vp9", "-crf", "32", "-b:v", "0", "-deadline", "good",
                                           "-cpu-used", "4", "-row-mt", "1", "-pix_fmt", "yuv420p", "-f", "webm"});
        if (withSound) arguments.insert(arguments.end(), {"-c:a", "libopus", "-b:a", "96k"});
    } else if (extension == ".gif") {
        // One palette made from all the frames, each frame then drawing only what changed.
        arguments.insert(arguments.end(), {"-filter_complex",
                                           "[0:v]split[a][b];[a]palettegen=stats_mode=diff[p];"
                                           "[b][p]paletteuse=dither=bayer:bayer_scale=5:diff_mode=rectangle",
                                           "-loop", "0", "-f", "gif"});
    } else {
        arguments.insert(arguments.end(),
                         {"-c:v", "libwebp_anim", "-lossless", "0", "-q:v", "80", "-loop", "0", "-f", "webp"});
    }
    // The length by time alone: a frame limit would end the file before the sound's last
    // packets are in.
    arguments.insert(arguments.end(), {"-t", decimal(frames / fps), "-y", temporary});
    return arguments;
}

std::vector<std::string> renderEachMovieVideo(const std::vector<MovieVideo>& videos, bool progress) {
    if (!programOnPath("ffmpeg")) throw CommandError(text("render.noFfmpeg"));
    ScratchFolder sounds;
    std::vector<std::string> failures(videos.size());
    std::vector<std::string> jobs;
    std::vector<std::size_t> played;  // the video of each job
    for (std::size_t i = 0; i < videos.size(); ++i) {
        try {
            jobs.push_back(videoJob(videos[i], i, sounds));
            played.push_back(i);
        } catch (const CommandError& e) {
            failures[i] = e.what();
        }
    }
    if (jobs.empty()) return failures;
    const auto failed = runRenderer(jobs, std::min<int>(static_cast<int>(jobs.size()), rendererPages()), progress);
    for (std::size_t j = 0; j < jobs.size(); ++j) failures[played[j]] = failed[j];
    return failures;
}

void renderMovieVideos(const std::vector<MovieVideo>& videos, bool progress) {
    for (const std::string& failure : renderEachMovieVideo(videos, progress)) {
        if (!failure.empty()) throw CommandError(failure);
    }
}

}  // namespace tarvenox
