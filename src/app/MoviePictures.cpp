// Pictures of movies drawn by the renderer in headless Chromium.
#include "app/MoviePictures.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <thread>

#include "app/CommandError.h"
#include "common/Texts.h"
#include "publish/ProgramFiles.h"
#include "swf/SWFReader.h"

extern char** environ;

namespace tarvenox {

namespace {

namespace fs = std::filesystem;

// The largest stage the renderer draws, and the latest moment of a movie it draws.
constexpr int maxSide = 4000;
constexpr int maxPlaySeconds = 3600;

// The renderer's job for one picture.
std::string pictureJob(const MoviePicture& picture) {
    auto read = readSWF(picture.movie);
    if (!read) throw CommandError(read.report().reason());
    const SWFFile& movie = *read;
    const StageSize size = drawnStageSize(movie, picture.movie, picture.maxWidth, picture.maxHeight);
    const double rate = movie.frameRate() > 0 ? movie.frameRate() : 1;
    // The player check's moment, 1.5 s after the start, is the frame then showing.
    const int frame = picture.frame > 0 ? picture.frame : 1 + static_cast<int>(std::floor(1.5 * rate));
    if ((frame - 1) / rate > maxPlaySeconds) {
        throw CommandError("--frame: " + text("render.frameTooLate", {std::to_string(picture.frame), picture.movie,
                                                                      std::to_string(maxPlaySeconds / 60)}));
    }
    return nlohmann::json{{"movie", picture.movie}, {"output", picture.png}, {"width", size.width},
                          {"height", size.height},  {"rate", rate},          {"frame", frame}}
        .dump();
}

// What the renderer said: its exit status, the last line of its standard error, and the
// lines of its standard output (one a failed job).
struct RendererRun {
    int status = 0;
    std::string lastError;
    std::vector<std::string> output;
};

// Keeps the end of text: lines longer than that are not told in full anyway.
void keepEnd(std::string& text, std::size_t limit) {
    if (text.size() > limit) text.erase(0, text.size() - limit);
}

// Runs the program with its standard output and error read back (both at once, so that
// neither fills up while the other is read). With progress, the child's descriptor 3 is
// this standard error.
RendererRun runCapturingOutput(const std::vector<std::string>& arguments, bool progress) {
    int errorEnds[2];
    int outputEnds[2];
    if (::pipe2(errorEnds, O_CLOEXEC) != 0) throw CommandError(text("render.noPipes"));
    if (::pipe2(outputEnds, O_CLOEXEC) != 0) {
        ::close(errorEnds[0]);
        ::close(errorEnds[1]);
        throw CommandError(text("render.noPipes"));
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, outputEnds[1], STDOUT_FILENO);
    if (progress) posix_spawn_file_actions_adddup2(&actions, STDERR_FILENO, 3);
    posix_spawn_file_actions_adddup2(&actions, errorEnds[1], STDERR_FILENO);
    std::vector<char*> argv;
    for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(errorEnds[1]);
    ::close(outputEnds[1]);
    if (spawned != 0) {
        ::close(errorEnds[0]);
        ::close(outputEnds[0]);
        throw CommandError(text("render.cannotStart", {arguments[0]}));
    }
    std::string errors;
    std::string output;
    std::vector<pollfd> ends = {{errorEnds[0], POLLIN, 0}, {outputEnds[0], POLLIN, 0}};
    for (int open = 2; open > 0;) {
        if (::poll(ends.data(), ends.size(), -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        for (pollfd& end : ends) {
            if (end.fd < 0 || end.revents == 0) continue;
            char buffer[4096];
            const ssize_t got = ::read(end.fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) {
                ::close(end.fd);
                end.fd = -1;
                --open;
                continue;
            }
            std::string& text = end.fd == errorEnds[0] ? errors : output;
            text.append(buffer, static_cast<std::size_t>(got));
            // Only the end of standard error is told; each output line is one job's failure.
            keepEnd(text, &text == &errors ? 65536 : std::size_t{1} << 24);
        }
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    RendererRun run;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    while (!errors.empty() && (errors.back() == '\n' || errors.back() == '\r')) errors.pop_back();
    const std::size_t lineStart = errors.rfind('\n');
    run.lastError = lineStart == std::string::npos ? errors : errors.substr(lineStart + 1);
    for (std::size_t start = 0, end; (end = output.find('\n', start)) != std::string::npos; start = end + 1) {
        run.output.push_back(output.substr(start, end - start));
    }
    return run;
}

// A failure as the renderer tells it: {"error": ENGLISH} with "id" and "values" where the
// renderer names the text for it. The text in the run's language where the catalogue has
// it; the renderer's English where not (a renderer of another version).
std::string wordedFailure(const nlohmann::json& failure) {
    const std::string english = failure["error"].get<std::string>();
    const auto id = failure.find("id");
    const auto values = failure.find("values");
    if (id == failure.end() || !id->is_string() || !id->get<std::string>().starts_with("render.") ||
        values == failure.end() || !values->is_array()) {
        return english;
    }
    std::vector<std::string> filled;
    for (const auto& value : *values) {
        if (!value.is_string()) return english;
        filled.push_back(value.get<std::string>());
    }
    return knownText(id->get<std::string>(), filled).value_or(english);
}

}  // namespace

std::optional<std::string> programOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "/usr/bin:/bin";
    for (std::size_t start = 0; start <= folders.size();) {
        std::size_t end = folders.find(':', start);
        if (end == std::string::npos) end = folders.size();
        const std::string candidate = (end > start ? folders.substr(start, end - start) : ".") + "/" + name;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
        start = end + 1;
    }
    return std::nullopt;
}

int rendererPages() { return std::max(1, static_cast<int>(std::thread::hardware_concurrency())); }

StageSize drawnStageSize(const SWFFile& movie, const std::string& name, int maxWidth, int maxHeight, bool even) {
    const SWFRect frame = movie.frameRect();
    double width = (static_cast<double>(frame.xMax) - frame.xMin) / 20;
    double height = (static_cast<double>(frame.yMax) - frame.yMin) / 20;
    if (!(width >= 1 && height >= 1)) throw CommandError(text("render.noStageSize", {name}));
    double scale = 1;
    if (maxWidth > 0 && maxHeight > 0) scale = std::min(maxWidth / width, maxHeight / height);
    scale = std::min(scale, maxSide / std::max(width, height));
    const int minimum = even ? 2 : 1;
    StageSize size{std::max(minimum, static_cast<int>(std::round(width * scale))),
                   std::max(minimum, static_cast<int>(std::round(height * scale)))};
    if (even) {
        size.width -= size.width % 2;
        size.height -= size.height % 2;
    }
    return size;
}

std::vector<std::string> runRenderer(const std::vector<std::string>& jobs, int pages, bool progress) {
    const auto share = programFilesFolder();
    const ProgramFiles files = programFilesIn(share.value_or(""));
    std::error_code error;
    if (!share || !fs::is_regular_file(files.renderer, error) || !playerInstalled(files)) {
        throw CommandError(text("render.notInstalled"));
    }
    const auto node = programOnPath("node");
    if (!node) throw CommandError(text("render.noNode"));
    const char* chromium = std::getenv("TARVENOX_CHROMIUM");
    const std::string browser = chromium != nullptr && *chromium != '\0' ? chromium : "/usr/bin/chromium";
    if (::access(browser.c_str(), X_OK) != 0) {
        throw CommandError(text("render.noChromium", {browser}));
    }
    progress = progress && ::isatty(STDERR_FILENO) != 0;
    std::vector<std::string> arguments = {*node,        files.renderer, "--ruffle",
                                          files.player, "--pages",      std::to_string(std::max(1, pages))};
    if (progress) {
        arguments.emplace_back("--progress-fd");
        arguments.emplace_back("3");
    }
    arguments.emplace_back("--");
    arguments.insert(arguments.end(), jobs.begin(), jobs.end());
    const RendererRun run = runCapturingOutput(arguments, progress);
    std::vector<std::string> failures(jobs.size());
    std::vector<bool> done(jobs.size());
    bool told = false;
    std::string runFailure = run.lastError;
    for (const std::string& line : run.output) {
        const auto failure = nlohmann::json::parse(line, nullptr, false);
        if (!failure.is_object()) continue;
        if (const auto job = failure.find("job"); job != failure.end() && failure.value("done", false)) {
            if (job->is_number_unsigned() && job->get<std::size_t>() < jobs.size())
                done[job->get<std::size_t>()] = true;
            continue;
        }
        if (!failure.contains("error") || !failure["error"].is_string()) continue;
        if (!failure.contains("job")) {
            runFailure = wordedFailure(failure);
            continue;
        }
        const auto& job = failure["job"];
        if (!job.is_number_unsigned() || job.get<std::size_t>() >= jobs.size()) continue;
        failures[job.get<std::size_t>()] = wordedFailure(failure);
        told = true;
    }
    if (runFailure.empty()) runFailure = text("render.endedWithStatus", {std::to_string(run.status)});
    // A failure the renderer did not put on a job (a browser that never started) is all of theirs.
    if (run.status != 0 && !told) throw CommandError(runFailure);
    // So is every job it neither finished nor failed: the run ended (its time limit) first.
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        if (!done[i] && failures[i].empty()) failures[i] = runFailure;
    }
    return failures;
}

void renderMoviePictures(const std::vector<MoviePicture>& pictures) {
    std::vector<std::string> jobs;
    for (const MoviePicture& picture : pictures) jobs.push_back(pictureJob(picture));
    for (const std::string& failure :
         runRenderer(jobs, std::min<int>(static_cast<int>(pictures.size()), rendererPages()))) {
        if (!failure.empty()) throw CommandError(failure);
    }
}

}  // namespace tarvenox
