// The records of runs' temporary paths and the sweep of those of ended runs, with runs
// played by forked child processes.
#include "common/RunRecord.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>

#include "common/TemporaryPaths.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

namespace tarvenox {
namespace {

namespace fs = std::filesystem;

bool exists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

// A run in a child process: it starts its record, does its work, tells the parent the
// paths it made (one a line) and then waits until the parent closes `hold` (or is
// killed meanwhile); then it ends as `end` says.
class ChildRun {
public:
    ChildRun(
        const std::string& records, const std::function<std::vector<std::string>()>& work,
        const std::function<void()>& end = [] {}) {
        int report[2], hold[2];
        if (::pipe(report) != 0 || ::pipe(hold) != 0) throw std::runtime_error("pipe");
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(report[0]);
            ::close(hold[1]);
            if (!startRunRecord(records)) ::_exit(2);
            std::string lines;
            for (const std::string& path : work()) lines += path + "\n";
            if (::write(report[1], lines.data(), lines.size()) < 0 || ::close(report[1]) != 0) ::_exit(3);
            char byte;
            while (::read(hold[0], &byte, 1) > 0) {
            }
            end();
            ::_exit(0);
        }
        ::close(report[1]);
        ::close(hold[0]);
        hold_ = hold[1];
        std::string text;
        char buffer[4096];
        for (ssize_t n; (n = ::read(report[0], buffer, sizeof buffer)) > 0;) text.append(buffer, n);
        ::close(report[0]);
        for (std::size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
            paths.push_back(text.substr(start, end - start));
        }
    }
    ~ChildRun() {
        if (hold_ >= 0) kill();
    }

    void kill() {
        ::kill(pid_, SIGKILL);
        finish();
    }
    // Lets the run go on to its end.
    int release() { return finish(); }
    pid_t pid() const { return pid_; }

    std::vector<std::string> paths;

private:
    int finish() {
        ::close(hold_);
        hold_ = -1;
        int status = 0;
        ::waitpid(pid_, &status, 0);
        return status;
    }

    pid_t pid_ = -1;
    int hold_ = -1;
};

std::string workingFolder(const std::string& tmp) {
    std::string pattern = tmp + "/tvtmpdir.prg.XXXXXX";
    if (!createRegisteredTemporaryFolder(pattern)) ::_exit(4);
    std::FILE* copy = std::fopen((pattern + "/card.swf").c_str(), "w");
    if (copy != nullptr) std::fclose(copy);
    return pattern;
}

std::string temporaryFile(const std::string& output) {
    std::string pattern = output + ".tmpXXXXXX";
    const int fd = createRegisteredTemporaryFile(pattern);
    if (fd < 0) ::_exit(5);
    ::close(fd);
    return pattern;
}

std::size_t recordCount(const std::string& records) {
    std::size_t count = 0;
    for (const auto& entry : fs::directory_iterator(records))
        count += entry.path().filename().string().rfind("run.", 0) == 0;
    return count;
}

TEST(RunRecord, AStartSweepsWhatKilledRunsLeftAndNeverTouchesALiveRun) {
    test::TempDir dir;
    const std::string records = dir.file("cache/tarvenox/runs");
    const std::string tmp = dir.file("tmp");
    fs::create_directories(tmp);
    const std::string keep = dir.write("keep.txt", "the user's own file");
    fs::create_directories(dir.file("notours"));

    // Killed in the middle of a save: its working folder and the temporary file beside
    // its output stay. A write it had finished is no leftover; nor is anything its
    // record names that it could not have made.
    ChildRun killed(records, [&] {
        std::vector<std::string> made = {workingFolder(tmp), temporaryFile(dir.file("out.swf"))};
        const std::string done = temporaryFile(dir.file("done.swf"));
        std::rename(done.c_str(), dir.file("done.swf").c_str());
        unregisterTemporaryPath(done);
        recordTemporaryPath('F', keep);
        recordTemporaryPath('D', dir.file("notours"));
        return made;
    });
    killed.kill();
    // Still running, in the middle of its own save.
    ChildRun live(
        records,
        [&] {
            return std::vector<std::string>{workingFolder(tmp), temporaryFile(dir.file("live.swf"))};
        },
        [] { endRunRecord(); });
    // Ended without removing its working folder.
    ChildRun careless(
        records, [&] { return std::vector<std::string>{workingFolder(tmp)}; }, [] { endRunRecord(); });
    EXPECT_EQ(careless.release(), 0);
    ASSERT_EQ(killed.paths.size(), 2u);
    for (const std::string& path : killed.paths) ASSERT_TRUE(exists(path)) << path;
    EXPECT_EQ(recordCount(records), 3u);

    test::LogCapture log;
    std::vector<std::string> swept = sweepEndedRuns(records);
    // Of one run, the temporary file first: a write's temporary file may lie in the
    // working folder. (The records themselves come in the folder's order.)
    const auto at = [&](const std::string& path) { return std::find(swept.begin(), swept.end(), path); };
    EXPECT_LT(at(killed.paths[1]), at(killed.paths[0]));
    std::sort(swept.begin(), swept.end());
    std::vector<std::string> expected = {killed.paths[0], killed.paths[1], careless.paths[0]};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(swept, expected);
    for (const std::string& path : swept) EXPECT_FALSE(exists(path)) << path;
    for (const std::string& path : {keep, dir.file("notours"), dir.file("done.swf")}) EXPECT_TRUE(exists(path)) << path;
    for (const std::string& path : live.paths) EXPECT_TRUE(exists(path)) << path;
    const std::string text = log.text();
    EXPECT_NE(text.find("swept " + killed.paths[0] + ", left by process " + std::to_string(killed.pid()) +
                        ", which has ended\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(recordCount(records), 1u);  // the live run's
    EXPECT_TRUE(sweepEndedRuns(records).empty());

    // The live run ends with its paths still there: the next sweep takes them.
    EXPECT_EQ(live.release(), 0);
    EXPECT_EQ(sweepEndedRuns(records), (std::vector<std::string>{live.paths[1], live.paths[0]}));
    EXPECT_EQ(recordCount(records), 0u);
}

TEST(RunRecord, RecordsInAFolderOthersMayWriteAreNotSwept) {
    test::TempDir dir;
    const std::string records = dir.file("runs");
    ChildRun killed(records, [&] { return std::vector<std::string>{workingFolder(dir.path())}; });
    killed.kill();
    ::chmod(records.c_str(), 0777);
    EXPECT_TRUE(sweepEndedRuns(records).empty());
    EXPECT_TRUE(exists(killed.paths[0]));
    EXPECT_FALSE(startRunRecord(records));
}

}  // namespace
}  // namespace tarvenox
