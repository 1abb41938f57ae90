// The single-instance check between processes: copies started at the same moment, each asking
// while the others run, and exactly one goes on; once it ended, the next copy goes on.
#include "QVTest/TemporaryFolder.h"
#include "UIA/Application.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace {

using namespace QV::UIA;

struct tCopy {
    pid_t pid = -1;
    int answer = -1;   // read end: '0' goes on, '1' ends
    int release = -1;  // write end: closing it lets the copy end
};

constexpr const char* kName = "com.orvendal.test.single";

// A copy of the program: waits for the start signal, asks with `name`, reports, and runs until
// released.
tCopy startCopy(int startSignal, const char* name = kName)
{
    int answer[2];
    int release[2];
    if (pipe(answer) != 0 || pipe(release) != 0)
        return {};
    const pid_t pid = fork();
    if (pid == 0) {
        close(answer[0]);
        close(release[1]);  // the copy ends when the test closes the last write end
        char go;
        (void)!read(startSignal, &go, 1);
        const bool conflict =
            ApplicationInstanceSingleton::hasConflictingInstance(name, ApplicationInstanceSingleton::eModeDefault);
        (void)!write(answer[1], conflict ? "1" : "0", 1);
        if (!conflict) {
            char end;
            (void)!read(release[0], &end, 1);
        }
        _exit(0);
    }
    close(answer[1]);
    close(release[0]);
    return {pid, answer[0], release[1]};
}

char answerOf(const tCopy& copy)
{
    char answer = '?';
    return read(copy.answer, &answer, 1) == 1 ? answer : '?';
}

void endCopy(tCopy& copy)
{
    close(copy.release);
    close(copy.answer);
    int status = 0;
    waitpid(copy.pid, &status, 0);
}

TEST(SingleInstance, CopiesStartedTogetherLeaveExactlyOneRunning)
{
    QV::TEST::TemporaryFolder folder;
    ASSERT_FALSE(folder.path().empty());
    setenv("XDG_RUNTIME_DIR", folder.path().c_str(), 1);

    int start[2];
    ASSERT_EQ(pipe(start), 0);
    std::vector<tCopy> copies;
    for (int i = 0; i < 4; ++i)
        copies.push_back(startCopy(start[0]));
    // All at once: every copy is waiting on the same signal.
    ASSERT_EQ(write(start[1], "gggg", 4), 4);

    int goingOn = 0;
    for (const tCopy& copy : copies) {
        const char answer = answerOf(copy);
        ASSERT_TRUE(answer == '0' || answer == '1') << answer;
        goingOn += answer == '0';
    }
    EXPECT_EQ(goingOn, 1);
    for (tCopy& copy : copies)
        endCopy(copy);

    // The running copy ended: the next one goes on.
    tCopy next = startCopy(start[0]);
    ASSERT_EQ(write(start[1], "g", 1), 1);
    EXPECT_EQ(answerOf(next), '0');
    endCopy(next);
    close(start[0]);
    close(start[1]);
    unsetenv("XDG_RUNTIME_DIR");
}

TEST(SingleInstance, EmptyNameSwitchesTheCheckOffWhileOtherCopiesRun)
{
    QV::TEST::TemporaryFolder folder;
    ASSERT_FALSE(folder.path().empty());
    setenv("XDG_RUNTIME_DIR", folder.path().c_str(), 1);
    int start[2];
    ASSERT_EQ(pipe(start), 0);

    // One copy runs under the name, two more run having asked without one: every later copy asking
    // without a name goes on, whoever runs.
    std::vector<tCopy> copies;
    copies.push_back(startCopy(start[0]));
    ASSERT_EQ(write(start[1], "g", 1), 1);
    EXPECT_EQ(answerOf(copies.back()), '0');
    for (int i = 0; i < 3; ++i) {
        copies.push_back(startCopy(start[0], ""));
        ASSERT_EQ(write(start[1], "g", 1), 1);
        EXPECT_EQ(answerOf(copies.back()), '0') << "copy " << i << " without a name";
    }
    // Last first: each copy holds the release ends of the copies started before it.
    for (auto copy = copies.rbegin(); copy != copies.rend(); ++copy)
        endCopy(*copy);
    close(start[0]);
    close(start[1]);
    unsetenv("XDG_RUNTIME_DIR");
}

}  // namespace
