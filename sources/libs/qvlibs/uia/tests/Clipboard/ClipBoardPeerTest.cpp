// The general clipboard between two programs on one X display: this test and a second process (this
// same executable in peer mode) copy and paste text and file lists in both directions, and the
// second process cannot get at, nor plant, an internal payload.
//
// The steps share X's one CLIPBOARD selection, so they run in one test, one after the other (CTest
// runs tests of a target in parallel processes).
#include "UIA/ClipBoard.h"
#include "UIA/FileListClipBoardFormat.h"
#include "UIA/InternalClipBoardFormat.h"
#include "UIA/TextClipBoardFormat.h"

#include <GP/FileTypeManager.h>
#include <GP/StringCF.h>

#include "QVTest/MainLoop.h"
#include "QVTest/TemporaryFolder.h"

#include <Carbon/Carbon.h>

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace QV::UIA;
using QV::GP::FileName;
using QV::GP::FileTypeManager;

constexpr const char* kPeerMode = "QV_CLIPBOARD_PEER";
constexpr const char* kPeerArgument = "QV_CLIPBOARD_PEER_ARGUMENT";

std::string hex(const std::string& bytes)
{
    std::string out;
    char digits[3];
    for (unsigned char c : bytes) {
        std::snprintf(digits, sizeof(digits), "%02x", c);
        out += digits;
    }
    return out;
}

std::string unhex(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i + 1 < text.size(); i += 2)
        out.push_back(static_cast<char>(std::stoi(text.substr(i, 2), nullptr, 16)));
    return out;
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

// ---- the peer: a second program on the same display ----

// Keeps the clipboard's content on offer until the test ends the peer (or half a minute passed).
[[noreturn]] void serve()
{
    gdk_display_sync(gdk_display_get_default());  // the X server knows the new owner before the test goes on
    std::printf("> ready\n");
    std::fflush(stdout);
    QV::TEST::runMainLoopUntil([] { return false; }, std::chrono::seconds(30));
    std::_Exit(0);
}

[[noreturn]] void runPeer(const std::string& mode, const std::string& argument)
{
    if (!gtk_init_check(nullptr, nullptr))
        std::_Exit(2);
    FileTypeManager::init();
    if (mode == "put-text") {
        TextClipBoardFormat text;
        text.setValue(argument);
        ClipBoard::setFormat(text);
        serve();
    }
    if (mode == "put-files") {
        std::vector<FileName> files;
        for (const std::string& path : lines(argument))
            files.emplace_back(std::filesystem::path(path));
        ClipBoard::setFormat(FileListClipBoardFormat(files));
        serve();
    }
    if (mode == "put-raw") {  // a program that offers a flavour of the given type and bytes
        const std::vector<std::string> parts = lines(argument);
        const std::string bytes = unhex(parts.at(1));
        PasteboardRef clipboard = nullptr;
        PasteboardCreate(kPasteboardClipboard, &clipboard);
        PasteboardClear(clipboard);
        CFStringRef type = CFStringCreateWithCString(nullptr, parts.at(0).c_str(), kCFStringEncodingUTF8);
        CFDataRef data =
            CFDataCreate(nullptr, reinterpret_cast<const UInt8*>(bytes.data()), static_cast<CFIndex>(bytes.size()));
        PasteboardPutItemFlavor(clipboard, reinterpret_cast<PasteboardItemID>(1), type, data, 0);
        serve();
    }
    if (mode == "get-text") {
        TextClipBoardFormat text;
        std::printf("> %s\n", ClipBoard::getFormat(text) ? ("text:" + text.getValue()).c_str() : "absent");
    } else if (mode == "get-files") {
        FileListClipBoardFormat files;
        if (!ClipBoard::getFormat(files))
            std::printf("> absent\n");
        for (const FileName& file : files.getFiles())
            std::printf("> %s\n", file.getFilesystemPath().c_str());
    } else if (mode == "get-raw") {  // every flavour of that type on the clipboard
        PasteboardRef clipboard = nullptr;
        PasteboardCreate(kPasteboardClipboard, &clipboard);
        PasteboardSynchronize(clipboard);
        CFStringRef type = CFStringCreateWithCString(nullptr, argument.c_str(), kCFStringEncodingUTF8);
        ItemCount count = 0;
        PasteboardGetItemCount(clipboard, &count);
        bool found = false;
        for (CFIndex i = 1; i <= static_cast<CFIndex>(count); ++i) {
            PasteboardItemID item = nullptr;
            CFDataRef data = nullptr;
            if (PasteboardGetItemIdentifier(clipboard, i, &item) == 0 &&
                PasteboardCopyItemFlavorData(clipboard, item, type, &data) == 0) {
                std::printf("> bytes:%ld\n", CFDataGetLength(data));
                found = true;
            }
        }
        if (!found)
            std::printf("> absent\n");
    }
    std::fflush(stdout);
    std::_Exit(0);
}

// In peer mode the executable does the peer's part before any test runs.
class PeerEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        if (const char* mode = std::getenv(kPeerMode)) {
            const char* argument = std::getenv(kPeerArgument);
            runPeer(mode, argument ? argument : "");
        }
    }
};
::testing::Environment* const g_peerEnvironment = ::testing::AddGlobalTestEnvironment(new PeerEnvironment);

// ---- the test's side ----

// A peer process, started from this executable; ended (by its id) when the object goes.
class Peer {
public:
    Peer(const std::string& mode, const std::string& argument)
    {
        gchar** environment = g_get_environ();
        environment = g_environ_setenv(environment, kPeerMode, mode.c_str(), TRUE);
        environment = g_environ_setenv(environment, kPeerArgument, argument.c_str(), TRUE);
        // Any test name: the environment's set-up runs the peer before it.
        const gchar* argv[] = {"/proc/self/exe", "--gtest_filter=TextClipBoardFormat.*", nullptr};
        gint out = -1;
        GError* error = nullptr;
        m_started = g_spawn_async_with_pipes(nullptr, const_cast<gchar**>(argv), environment, G_SPAWN_DO_NOT_REAP_CHILD,
                                             nullptr, nullptr, &m_pid, nullptr, &out, nullptr, &error);
        g_strfreev(environment);
        if (error) {
            ADD_FAILURE() << error->message;
            g_error_free(error);
        }
        m_out = out;
        if (m_out >= 0)
            fcntl(m_out, F_SETFL, fcntl(m_out, F_GETFL) | O_NONBLOCK);
    }
    ~Peer()
    {
        if (m_started && !m_exited) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
        if (m_out >= 0)
            close(m_out);
    }
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;

    // Waits, serving this process's clipboard meanwhile, until the peer offers its content.
    bool ready()
    {
        return QV::TEST::runMainLoopUntil([this] { return poll(), m_output.find("> ready\n") != std::string::npos; });
    }

    // Waits, serving this process's clipboard meanwhile, until the peer has ended; the lines of its
    // answer ("> " lines), without that mark.
    std::string finish()
    {
        QV::TEST::runMainLoopUntil([this] { return poll(), m_exited; }, std::chrono::seconds(20));
        EXPECT_TRUE(m_exited);
        std::string answer;
        for (const std::string& line : lines(m_output))
            if (line.rfind("> ", 0) == 0)
                answer += line.substr(2) + "\n";
        return answer;
    }

private:
    void poll()
    {
        char buffer[4096];
        ssize_t count = 0;
        while (m_out >= 0 && (count = read(m_out, buffer, sizeof(buffer))) > 0)
            m_output.append(buffer, static_cast<size_t>(count));
        if (m_started && !m_exited && waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
            m_exited = true;
            while ((count = read(m_out, buffer, sizeof(buffer))) > 0)
                m_output.append(buffer, static_cast<size_t>(count));
        }
    }

    GPid m_pid = 0;
    int m_out = -1;
    bool m_started = false;
    bool m_exited = false;
    std::string m_output;
};

class ClipboardBetweenProcesses : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* display = std::getenv("DISPLAY");
        if (!display || !*display)
            GTEST_SKIP() << "needs a display (each test runs with an X server of its own)";
        ASSERT_TRUE(gtk_init_check(nullptr, nullptr));
        ASSERT_FALSE(m_folder.path().empty());
        FileTypeManager::init();
    }
    void TearDown() override { FileTypeManager::deInit(); }

    std::string makeFile(const std::string& name)
    {
        const std::string path = (m_folder.path() / name).native();
        std::ofstream(path) << "x";
        return path;
    }

    QV::TEST::TemporaryFolder m_folder{"qv-clipboard-peer"};
};

struct tPayload {
    int value = 1;
} g_payload;
char g_window;

TEST_F(ClipboardBetweenProcesses, TextAndFileListsTravelBothWaysAndInternalPayloadsStayHere)
{
    {
        SCOPED_TRACE("text copied by the other program");
        Peer peer("put-text", "Gr\xC3\xBC\xC3\x9F\x65 vom\nNachbarn \xF0\x9F\x91\x8B");
        ASSERT_TRUE(peer.ready());
        TextClipBoardFormat text;
        EXPECT_TRUE(ClipBoard::getFormat(text));
        EXPECT_EQ(text.getValue(), "Gr\xC3\xBC\xC3\x9F\x65 vom\nNachbarn \xF0\x9F\x91\x8B");
        FileListClipBoardFormat files;
        EXPECT_FALSE(ClipBoard::getFormat(files));

        // Another copy in another program, after this one read the first: the read sees the new one.
        Peer second("put-text", "zweite Kopie");
        ASSERT_TRUE(second.ready());
        EXPECT_TRUE(ClipBoard::getFormat(text));
        EXPECT_EQ(text.getValue(), "zweite Kopie");
    }
    {
        SCOPED_TRACE("text copied here");
        TextClipBoardFormat text;
        text.setValue("hello \xE2\x9C\x93 there");
        ClipBoard::setFormat(text);
        EXPECT_EQ(Peer("get-text", "").finish(), "text:hello \xE2\x9C\x93 there\n");
    }
    const std::vector<std::string> paths = {makeFile("one.png"), makeFile("two words \xC3\xA9.txt")};
    {
        SCOPED_TRACE("files copied by the other program");
        Peer peer("put-files", paths[0] + "\n" + paths[1]);
        ASSERT_TRUE(peer.ready());
        FileListClipBoardFormat files;
        EXPECT_TRUE(ClipBoard::getFormat(files));
        ASSERT_EQ(files.getFiles().size(), 2u);
        EXPECT_EQ(files.getFiles()[0].getFilesystemPath(), paths[0]);
        EXPECT_EQ(files.getFiles()[0].getType(), FileTypeManager::getStdType(FileTypeManager::eStdFileTypePNG));
        EXPECT_EQ(files.getFiles()[1].getFilesystemPath(), paths[1]);
    }
    {
        SCOPED_TRACE("files copied here");
        ClipBoard::setFormat(FileListClipBoardFormat(
            {FileName(std::filesystem::path(paths[1])), FileName(std::filesystem::path(paths[0]))}));
        EXPECT_EQ(Peer("get-files", "").finish(), paths[1] + "\n" + paths[0] + "\n");
    }
    {
        SCOPED_TRACE("an internal payload");
        const std::string type = QV::GP::StringCF(InternalClipBoardFormat::FormatHandle().typeIdentifier);
        auto* data = reinterpret_cast<const DragDropData*>(&g_payload);
        auto* source = reinterpret_cast<WindowBase*>(&g_window);
        ClipBoard::setFormat(InternalClipBoardFormat(data, source));
        InternalClipBoardFormat here;
        EXPECT_TRUE(ClipBoard::getFormat(here));
        EXPECT_EQ(here.getData(), data);

        // The other program does not get it ...
        EXPECT_EQ(Peer("get-raw", type).finish(), "absent\n");

        // ... and cannot hand it back: the same type and the very same bytes, put by another program.
        std::string bytes(16, '\0');
        std::memcpy(bytes.data(), &data, 8);
        std::memcpy(bytes.data() + 8, &source, 8);
        Peer forger("put-raw", type + "\n" + hex(bytes));
        ASSERT_TRUE(forger.ready());
        InternalClipBoardFormat planted;
        EXPECT_FALSE(ClipBoard::getFormat(planted));
        EXPECT_EQ(planted.getData(), nullptr);
        EXPECT_EQ(planted.getSource(), nullptr);
    }
}

}  // namespace
