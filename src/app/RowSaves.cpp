// `tarvenox save --rows`: one save of a template per row of a data sheet, in worker
// processes on every core.
//
// The rows run in forked processes rather than threads: a save goes through the whole
// application start-up and the font engine, which are made for one save at a time, and
// a process that fails in any way takes only its own rows with it.
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <thread>

#include <CLI/Error.hpp>

#include "app/CommandError.h"
#include "app/MovieVideo.h"
#include "app/SaveOptions.h"
#include "common/Cp1252.h"
#include "common/Exception.h"
#include "common/Texts.h"
#include "publish/OutputFile.h"
#include "publish/RowBatch.h"

namespace tarvenox {

namespace {

// What a worker tells about one row, one line each on its pipe: the row's index, 'o' (saved),
// 'f' (failed) or 'n' (a note), and the text.
void tell(int fd, std::size_t index, char kind, std::string text) {
    for (char& c : text) c = c == '\n' || c == '\r' ? ' ' : c;
    const std::string line = std::to_string(index) + ' ' + kind + ' ' + text + '\n';
    (void)::write(fd, line.data(), line.size());
}

// Where a row whose output is a video saves its movie before it is played into the video.
std::string rowMovie(ScratchFolder& scratch, std::size_t index) {
    return scratch.file("row-" + std::to_string(index + 1) + ".swf");
}

[[noreturn]] void runWorker(int fd, const MovieChanges& base, const RowBatch& batch,
                            const std::vector<std::size_t>& rows, const std::vector<std::string>& movies) {
    for (std::size_t index : rows) {
        try {
            auto changes = rowChanges(batch, base, index);
            if (changes && !movies[index].empty()) changes->output = movies[index];
            const Report report = changes ? saveTemplateIn(*changes) : changes.report();
            if (report.failed()) {
                tell(fd, index, 'f', failureLine(report));
                continue;
            }
            for (const auto& message : report.messages()) {
                if (message.kind != MessageKind::OkCancel) tell(fd, index, 'n', displayText(message.text));
            }
            tell(fd, index, 'o', "");
        } catch (const CommandError& e) {
            tell(fd, index, 'f', e.what());
        } catch (const Exception& e) {
            tell(fd, index, 'f', e.getMessage());
        } catch (const std::exception& e) {
            tell(fd, index, 'f', text("workers.internalError", {e.what()}));
        }
    }
    ::close(fd);
    std::fflush(nullptr);
    ::_exit(0);
}

// The progress line on a terminal: rows done, the rate and the time left.
class Progress {
public:
    explicit Progress(std::size_t total) : total_(total), shown_(::isatty(STDERR_FILENO) == 1) {}

    void show(std::size_t done) {
        if (!shown_) return;
        const double seconds = std::chrono::duration<double>(Clock::now() - start_).count();
        const double rate = seconds > 0 ? done / seconds : 0;
        constexpr int width = 30;
        const int filled = static_cast<int>(width * done / std::max<std::size_t>(total_, 1));
        std::string bar(filled, '#');
        bar.resize(width, '.');
        char rateText[32];
        std::snprintf(rateText, sizeof rateText, "%.1f", rate);
        std::string line = text("rows.progress", {std::to_string(done), std::to_string(total_), proseNumber(rateText)});
        if (rate > 0 && done < total_) {
            line += text("rows.timeLeft", {std::to_string(static_cast<long long>((total_ - done) / rate + 0.5))});
        }
        std::fprintf(stderr, "\r[%s] %s", bar.c_str(), line.c_str());
        std::fprintf(stderr, "\033[K");
    }

    // A line of its own above the bar.
    void print(const std::string& line) { std::fprintf(stderr, shown_ ? "\r\033[K%s\n" : "%s\n", line.c_str()); }

    void finish() {
        if (shown_) std::fprintf(stderr, "\n");
    }

private:
    using Clock = std::chrono::steady_clock;
    std::size_t total_;
    bool shown_;
    Clock::time_point start_ = Clock::now();
};

}  // namespace

void saveRows(const MovieChanges& base, const std::string& sheetPath) {
    const RowBatch batch = valueOrThrow(prepareRows(sheetPath, base));
    const DataSheet& sheet = batch.sheet;
    const std::vector<std::string>& outputs = batch.outputs;
    std::vector<std::string> failures = batch.failures;

    // Rows whose output is a video save their movies into a scratch folder; the videos are
    // then played from them in one browser, a page a core.
    ScratchFolder scratch;
    std::vector<std::string> movies(sheet.rows.size());
    for (std::size_t i = 0; i < sheet.rows.size(); ++i) {
        if (failures[i].empty() && isVideoOutput(outputs[i])) {
            if (base.html) throw CommandError(text("render.pageOfVideo"));
            movies[i] = rowMovie(scratch, i);
        }
    }

    std::vector<std::vector<std::size_t>> shares(
        std::max(1u, std::min<unsigned>(std::thread::hardware_concurrency(), sheet.rows.size())));
    std::size_t next = 0;
    for (std::size_t i = 0; i < sheet.rows.size(); ++i) {
        if (failures[i].empty()) shares[next++ % shares.size()].push_back(i);
    }

    std::fflush(nullptr);
    std::vector<pollfd> pipes;
    std::vector<pid_t> workers;
    for (const auto& share : shares) {
        if (share.empty()) continue;
        int ends[2];
        if (::pipe(ends) != 0) throw CommandError(text("workers.noPipes"));
        const pid_t pid = ::fork();
        if (pid < 0) throw CommandError(text("workers.noFork"));
        if (pid == 0) {
            ::close(ends[0]);
            for (const auto& other : pipes) ::close(other.fd);
            runWorker(ends[1], base, batch, share, movies);
        }
        ::close(ends[1]);
        pipes.push_back({ends[0], POLLIN, 0});
        workers.push_back(pid);
    }

    Progress progress(sheet.rows.size());
    std::vector<bool> reported(sheet.rows.size(), false);
    std::size_t done = 0;
    const auto finishRow = [&](std::size_t index, const std::string& failure) {
        reported[index] = true;
        ++done;
        if (!failure.empty()) {
            failures[index] = failure;
            progress.print("tarvenox: " + text("rows.failed", {std::to_string(index + 1), outputs[index], failure}));
        }
    };
    for (std::size_t i = 0; i < sheet.rows.size(); ++i) {
        if (!failures[i].empty()) finishRow(i, failures[i]);
    }
    progress.show(done);
    std::vector<std::string> pending(pipes.size());
    std::size_t open = pipes.size();
    while (open > 0) {
        if (::poll(pipes.data(), pipes.size(), -1) < 0) continue;  // EINTR: poll again
        for (std::size_t w = 0; w < pipes.size(); ++w) {
            if (pipes[w].fd < 0 || pipes[w].revents == 0) continue;
            char buffer[4096];
            const ssize_t got = ::read(pipes[w].fd, buffer, sizeof buffer);
            if (got <= 0) {
                ::close(pipes[w].fd);
                pipes[w].fd = -1;
                --open;
                continue;
            }
            pending[w].append(buffer, static_cast<std::size_t>(got));
            for (std::size_t end; (end = pending[w].find('\n')) != std::string::npos; pending[w].erase(0, end + 1)) {
                const std::string line = pending[w].substr(0, end);
                const std::size_t space = line.find(' ');
                const std::size_t index = std::stoul(line.substr(0, space));
                const char kind = line.at(space + 1);
                const std::string text = line.size() > space + 3 ? line.substr(space + 3) : "";
                if (kind == 'n') {
                    progress.print("tarvenox: " + tarvenox::text("rows.note", {std::to_string(index + 1), text}));
                } else {
                    finishRow(index, kind == 'f' ? text : "");
                }
            }
        }
        progress.show(done);
    }
    for (pid_t pid : workers) {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    for (std::size_t i = 0; i < sheet.rows.size(); ++i) {
        if (!reported[i]) finishRow(i, text("rows.workerEnded"));
    }
    progress.show(done);
    progress.finish();
    std::vector<MovieVideo> videos;
    std::vector<std::size_t> videoRows;
    for (std::size_t i = 0; i < sheet.rows.size(); ++i) {
        if (failures[i].empty() && !movies[i].empty()) {
            // An output that cannot be written (a folder by that name) fails its row before
            // the movie is played for it.
            if (const Report output = prepareOutput(outputs[i]); output.failed()) {
                finishRow(i, failureLine(output));
                continue;
            }
            videos.push_back({movies[i], outputs[i]});
            videoRows.push_back(i);
        }
    }
    if (!videos.empty()) {
        // A row whose video fails is reported as a row whose save failed; the others are written.
        const auto videoFailures = renderEachMovieVideo(videos, true);
        for (std::size_t v = 0; v < videos.size(); ++v) {
            if (!videoFailures[v].empty()) finishRow(videoRows[v], videoFailures[v]);
        }
    }
    const auto failed = std::count_if(failures.begin(), failures.end(), [](const auto& f) { return !f.empty(); });
    // Each failed row has had its line: the command ends with the failure status alone.
    if (failed > 0) throw CLI::RuntimeError(1);
}

}  // namespace tarvenox
