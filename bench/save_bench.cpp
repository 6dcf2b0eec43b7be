// Whole saves of the program beside the limits they are held against, measured in the
// same run with their repetitions interleaved, and the ratios of their medians:
//   W1: a customised save of a 2 MB template against zlib level 9 over the pixels of
//       its PNG alone, the compression that save cannot avoid;
//   pass-through: a save without changes of a 200 MB movie against `cp` of the file;
//   inspect of that movie, with its peak memory;
//   a 12 MP JPEG saved into the demo's greeting card: its time and the saved size.
// Usage: save_bench INPUTS TARVENOX [--benchmark_...]; bench/run makes INPUTS.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "BenchInputs.h"

extern char** environ;

namespace tarvenox::bench {
namespace {

std::string inputs;
std::string program;

struct Outcome {
    double seconds = 0;
    double peakBytes = 0;
};

// Runs the command with standard output to /dev/null and returns its wall time and peak
// resident memory; a failing command stops the benchmark. The command runs under GNU
// time, which reports the peak of the command alone: a child's own count would start
// from this process's memory, which it shares until it starts the command.
Outcome run(const std::vector<std::string>& command, benchmark::State& state) {
    const std::string peakFile = inputs + "/peak.txt";
    std::vector<std::string> timed = {"/usr/bin/time", "-f", "%M", "-o", peakFile};
    timed.insert(timed.end(), command.begin(), command.end());
    std::vector<char*> argv;
    for (const auto& a : timed) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    int status = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) waitpid(pid, &status, 0);
    const auto end = std::chrono::steady_clock::now();
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) state.SkipWithError(("failed: " + command[0]).c_str());
    double peakKilobytes = 0;
    if (std::FILE* file = std::fopen(peakFile.c_str(), "r")) {
        if (std::fscanf(file, "%lf", &peakKilobytes) != 1) peakKilobytes = 0;
        std::fclose(file);
    }
    return {std::chrono::duration<double>(end - start).count(), peakKilobytes * 1024.0};
}

double fileSize(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<double>(st.st_size) : 0;
}

// Times one run per iteration (the repetitions give the median) and reports its peak
// memory as a share of the input file.
void measure(benchmark::State& state, const std::vector<std::string>& command, const std::string& input,
             const std::string& output) {
    for (auto _ : state) {
        ::unlink(output.c_str());
        const Outcome outcome = run(command, state);
        state.SetIterationTime(outcome.seconds);
        state.counters["peak_MB"] = outcome.peakBytes / 1e6;
        state.counters["peak_per_file"] = outcome.peakBytes / fileSize(input);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(fileSize(input)) * state.iterations());
    ::unlink(output.c_str());
}

std::vector<std::string> w1Command() {
    const W1Files files = w1Files(inputs);
    std::vector<std::string> command = {program,
                                        "save",
                                        files.movie,
                                        "-o",
                                        inputs + "/w1-out.swf",
                                        "--image",
                                        "photo=" + files.png,
                                        "--image",
                                        "banner=" + files.jpeg,
                                        "--mp3",
                                        "music=" + files.mp3,
                                        "--font",
                                        "Title=DejaVu Serif",
                                        "--background",
                                        "#336699"};
    for (int i = 0; i < 10; ++i) {
        command.push_back("--var");
        command.push_back("text" + std::to_string(i) + "=Changed text " + std::to_string(i));
    }
    return command;
}

void BM_W1Save(benchmark::State& state) { measure(state, w1Command(), w1Files(inputs).movie, inputs + "/w1-out.swf"); }

// The limit of W1: the pixels of its PNG as the bitmap stores them, compressed by zlib
// at level 9 in this process.
void BM_W1Zlib9(benchmark::State& state) {
    static const Bytes pixels = w1BitmapPixels();
    Bytes out(compressBound(pixels.size()));
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        uLongf size = out.size();
        compress2(out.data(), &size, pixels.data(), pixels.size(), 9);
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
}

// The demo's greeting card (built beside the program) with a phone's photograph in its
// square picture slot: the picture is scaled to the slot, not stored whole.
void BM_PhotoSave(benchmark::State& state) {
    const std::string demo = program.substr(0, program.rfind('/')) + "/demo/packed";
    const std::string output = inputs + "/photo-out.swf";
    const std::vector<std::string> command = {program, "save", "--template", "greeting", "--data",
                                              demo,    "-o",   output,       "--image",  "photo=" + photoJpeg(inputs)};
    for (auto _ : state) {
        ::unlink(output.c_str());
        state.SetIterationTime(run(command, state).seconds);
        state.counters["saved_KB"] = fileSize(output) / 1024;
    }
    ::unlink(output.c_str());
}

void BM_PassThroughSave(benchmark::State& state) {
    const std::string movie = inputs + "/large.swf";
    measure(state, {program, "save", movie, "-o", inputs + "/large-out.swf"}, movie, inputs + "/large-out.swf");
}

void BM_PassThroughCp(benchmark::State& state) {
    const std::string movie = inputs + "/large.swf";
    measure(state, {"/bin/cp", movie, inputs + "/large-cp.swf"}, movie, inputs + "/large-cp.swf");
}

void BM_Inspect(benchmark::State& state) {
    const std::string movie = inputs + "/large.swf";
    measure(state, {program, "inspect", movie}, movie, inputs + "/none");
}

BENCHMARK(BM_W1Save)->UseManualTime()->Iterations(1)->Repetitions(9)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_W1Zlib9)->UseManualTime()->Iterations(1)->Repetitions(9)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PhotoSave)->UseManualTime()->Iterations(1)->Repetitions(7)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PassThroughSave)->UseManualTime()->Iterations(1)->Repetitions(7)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PassThroughCp)->UseManualTime()->Iterations(1)->Repetitions(7)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Inspect)->UseManualTime()->Iterations(1)->Repetitions(7)->Unit(benchmark::kMillisecond);

// The console's report, keeping each benchmark's medians for the ratios.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.aggregate_name != "median") continue;
            Median& m = medians[run.run_name.function_name];
            m.seconds = run.real_accumulated_time / static_cast<double>(run.iterations);
            for (const auto& [name, counter] : run.counters) m.counters[name] = counter.value;
        }
    }
    struct Median {
        double seconds = 0;
        std::map<std::string, double> counters;
    };
    std::map<std::string, Median> medians;
};

void printRatios(const MedianReporter& reporter) {
    auto median = [&](const char* name) -> const MedianReporter::Median* {
        auto it = reporter.medians.find(name);
        return it == reporter.medians.end() ? nullptr : &it->second;
    };
    std::printf("\nRatios of the medians (the targets in brackets):\n");
    if (auto* save = median("BM_W1Save"), *limit = median("BM_W1Zlib9"); save && limit) {
        std::printf("  W1 save / zlib level 9 over the pixels: %.2fx  (%.0f ms / %.0f ms)  [<= 0.8x]\n",
                    save->seconds / limit->seconds, save->seconds * 1e3, limit->seconds * 1e3);
    }
    if (auto* photo = median("BM_PhotoSave")) {
        std::printf("  12 MP JPEG into the greeting card: %.3f s, %.0f KB saved  [<= 0.5 s, <= 200 KB]\n",
                    photo->seconds, photo->counters.at("saved_KB"));
    }
    if (auto* save = median("BM_PassThroughSave"), *cp = median("BM_PassThroughCp"); save && cp) {
        const double size = fileSize(inputs + "/large.swf");
        std::printf("  pass-through throughput / cp: %.2fx  (%.0f MB/s / %.0f MB/s)  [>= 0.5x]\n",
                    cp->seconds / save->seconds, size / save->seconds / 1e6, size / cp->seconds / 1e6);
        std::printf("  pass-through peak memory / file: %.2fx  (%.0f MB)  [<= 1.2x]\n",
                    save->counters.at("peak_per_file"), save->counters.at("peak_MB"));
    }
    if (auto* inspect = median("BM_Inspect")) {
        std::printf("  inspect of the 200 MB movie: %.3f s, %.1f MB peak  [<= 0.3 s, < 32 MB]\n", inspect->seconds,
                    inspect->counters.at("peak_MB"));
    }
}

}  // namespace
}  // namespace tarvenox::bench

int main(int argc, char** argv) {
    // Repetitions of the benchmarks run interleaved, so that a save and its limit meet
    // the same load on the machine.
    std::vector<char*> args(argv, argv + argc);
    static char interleave[] = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, interleave);
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (count != 3) {
        std::fprintf(stderr, "usage: save_bench INPUTS TARVENOX [--benchmark_...]\n");
        return 2;
    }
    tarvenox::bench::inputs = args[1];
    tarvenox::bench::program = args[2];
    tarvenox::bench::MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    tarvenox::bench::printRatios(reporter);
    return 0;
}
