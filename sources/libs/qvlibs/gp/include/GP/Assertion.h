// Failed checks: a message box "Error <file>:<line>\n\n<text>" with one OK button, then the end of
// the process with status 1. Any thread may fail a check; the box is shown on the main thread (or
// written to standard error when it cannot be) and the process still ends with status 1.
#pragma once

#include <atomic>
#include <cstdint>
#include <exception>

namespace QV::GP {

class Assertion {
public:
    // What a failed check throws instead of reporting while s_bThrowException is set. Either text may
    // be null.
    class exception : public std::exception {
    public:
        exception(const char* file, int line, const char* text) : m_file(file), m_line(line), m_text(text) {}
        // "Assertion in <file>:<line> <text>" ("Assertion in <file>:<line>" without a text), at most
        // 1023 characters, in a buffer of the calling thread that the next call overwrites.
        const char* what() const noexcept override;

        const char* file() const { return m_file; }
        int line() const { return m_line; }
        const char* text() const { return m_text; }

    private:
        const char* m_file;
        int m_line;
        const char* m_text;
    };

    // Reports the failed check at `file` (its path in the source tree) and `line`, with an optional
    // explanation (null for none), and ends the process with status 1. A file or text holding a byte
    // of 0x80 or more, or 1024 characters long or longer, is left out of the report.
    [[noreturn]] static void DoFail(const char* file, int line, const char* text);

    // Kept for the application's launch and termination; assertion boxes are never silenced.
    static void setSilent(bool silent) { s_bSilent = silent; }

    // Throw an exception instead of reporting (off unless a test switches it on).
    static bool s_bThrowException;
    static bool s_bSilent;
    // Called before the report and before the end of the process, when set.
    static void (*s_PreAssertionHandler)(const char* file, int line, const char* text);
    static void (*s_TerminationHandler)();
    // 1 while no failure is being reported; a failure raised while another is reported finds it at
    // 0 or below.
    static std::atomic<int32_t> s_iAssertReenter;
};

// Closes the trace file (s_fErr) when one is open.
void fcloseall();

// Ends the process with `status`: exit() on the main thread; on another thread the buffered output
// is flushed and the process ends at once, since exit() there would run the static destructors
// under the main thread's feet.
[[noreturn]] void ExitProcess(int status);

}  // namespace QV::GP
