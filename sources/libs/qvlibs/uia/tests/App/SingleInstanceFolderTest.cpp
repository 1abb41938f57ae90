// Where the single-instance lock lies: in the runtime folder, else in the user's cache folder, so
// that the check stays on when XDG_RUNTIME_DIR is missing or cannot be written; when neither can
// hold it, one line on standard error. Each copy is a child process (a copy holds its lock for
// life).
#include "QVTest/TemporaryFolder.h"
#include "UIA/Application.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace QV::UIA;
namespace fs = std::filesystem;

constexpr const char* kName = "com.orvendal.test.folder";

struct tAnswer {
    char answer = '?';   // '0' goes on, '1' ends
    std::string errors;  // what it wrote on standard error
};

// A copy asking with these variables set (an empty value unsets it).
tAnswer askInCopy(const std::vector<std::pair<const char*, std::string>>& environment, const fs::path& errorFile)
{
    int answer[2];
    if (pipe(answer) != 0)
        return {};
    const pid_t pid = fork();
    if (pid == 0) {
        close(answer[0]);
        const int errors = open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(errors, STDERR_FILENO);
        for (const auto& [name, value] : environment) {
            if (value.empty())
                unsetenv(name);
            else
                setenv(name, value.c_str(), 1);
        }
        const bool conflict =
            ApplicationInstanceSingleton::hasConflictingInstance(kName, ApplicationInstanceSingleton::eModeDefault);
        (void)!write(answer[1], conflict ? "1" : "0", 1);
        _exit(0);
    }
    close(answer[1]);
    tAnswer result;
    if (read(answer[0], &result.answer, 1) != 1)
        result.answer = '?';
    close(answer[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    std::ifstream file(errorFile);
    std::stringstream text;
    text << file.rdbuf();
    result.errors = text.str();
    return result;
}

TEST(SingleInstanceFolder, TheLockFallsBackToTheCacheFolderAndSaysSoWhenNoneCanHoldIt)
{
    QV::TEST::TemporaryFolder top("qv-single-folder");
    ASSERT_FALSE(top.path().empty());
    const fs::path runtime = top.path() / "runtime";
    const fs::path cache = top.path() / "cache" / "deeper";  // made when missing
    const fs::path notAFolder = top.path() / "file";
    fs::create_directory(runtime);
    std::ofstream(notAFolder) << "x";
    const std::string lockName = std::string(kName) + ".lock";

    struct Case {
        const char* what;
        std::string runtimeDir;        // empty: unset
        std::string cacheDir;          // XDG_CACHE_HOME
        std::optional<fs::path> lock;  // where the lock file is made; none: the check is off
    } cases[] = {
        {"runtime folder", runtime, cache, runtime / lockName},
        {"runtime folder unset", "", cache, cache / lockName},
        {"runtime folder missing", (top.path() / "gone").native(), cache, cache / lockName},
        {"runtime folder not writable", notAFolder, cache, cache / lockName},
        {"neither can hold it", notAFolder, (notAFolder / "cache").native(), std::nullopt},
    };
    for (const Case& c : cases) {
        fs::remove_all(top.path() / "cache");
        fs::remove(runtime / lockName);
        const tAnswer answer =
            askInCopy({{"XDG_RUNTIME_DIR", c.runtimeDir}, {"XDG_CACHE_HOME", c.cacheDir}}, top.path() / "errors.txt");
        EXPECT_EQ(answer.answer, '0') << c.what;
        if (c.lock) {
            EXPECT_TRUE(fs::exists(*c.lock)) << c.what;
            EXPECT_EQ(answer.errors, "") << c.what;
        } else {
            // One line that says the check is off and where it tried.
            EXPECT_NE(answer.errors.find("no single-instance lock"), std::string::npos) << answer.errors;
            EXPECT_NE(answer.errors.find(notAFolder.native() + "/" + lockName), std::string::npos) << answer.errors;
            EXPECT_EQ(std::count(answer.errors.begin(), answer.errors.end(), '\n'), 1) << answer.errors;
        }
        EXPECT_FALSE(fs::exists(top.path() / "gone")) << c.what << ": the runtime folder is the system's to make";
    }
}

TEST(SingleInstanceFolder, ACopyHoldingTheFallbackLockEndsTheNext)
{
    QV::TEST::TemporaryFolder cache("qv-single-cache");
    ASSERT_FALSE(cache.path().empty());
    const fs::path lock = cache.path() / (std::string(kName) + ".lock");
    // Another copy holds the lock in the cache folder.
    const int held = open(lock.c_str(), O_RDWR | O_CREAT, 0600);
    ASSERT_NE(held, -1);
    ASSERT_EQ(flock(held, LOCK_EX | LOCK_NB), 0);
    const tAnswer answer =
        askInCopy({{"XDG_RUNTIME_DIR", ""}, {"XDG_CACHE_HOME", cache.path().native()}}, cache.path() / "errors.txt");
    EXPECT_EQ(answer.answer, '1');
    close(held);
}

}  // namespace
