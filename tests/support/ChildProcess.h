#pragma once
// A program run through the shell with a pipe to its standard input and one from its
// standard output, for tests that talk to another process line by line and wait for what it
// says rather than for time.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace vktest {

class ChildProcess {
public:
    explicit ChildProcess(const std::string& shellCommand)
    {
        int in[2], out[2];
        if (::pipe2(in, O_CLOEXEC) != 0) return;
        if (::pipe2(out, O_CLOEXEC) != 0) {
            ::close(in[0]);
            ::close(in[1]);
            return;
        }
        m_pid = ::fork();
        if (m_pid == 0) {
            ::dup2(in[0], STDIN_FILENO);
            ::dup2(out[1], STDOUT_FILENO);
            ::execl("/bin/sh", "sh", "-c", shellCommand.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        m_in = in[1];
        m_out = out[0];
        if (m_pid < 0) closeAll();
    }
    ~ChildProcess()
    {
        closeInput();
        if (m_pid > 0) wait();
        closeAll();
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return m_pid > 0; }
    bool write(const std::string& text)
    {
        size_t done = 0;
        while (m_in >= 0 && done < text.size()) {
            const ssize_t n = ::write(m_in, text.data() + done, text.size() - done);
            if (n <= 0) return false;
            done += static_cast<size_t>(n);
        }
        return done == text.size();
    }
    // Reads the output until it holds text (from where the last call stopped looking); false
    // when the output ends first.
    bool readUntil(const std::string& text)
    {
        for (;;) {
            const size_t at = m_output.find(text, m_seen);
            if (at != std::string::npos) {
                m_seen = at + text.size();
                return true;
            }
            char buf[4096];
            const ssize_t n = m_out >= 0 ? ::read(m_out, buf, sizeof buf) : 0;
            if (n <= 0) return false;
            m_output.append(buf, static_cast<size_t>(n));
        }
    }
    void closeInput()
    {
        if (m_in >= 0) ::close(m_in);
        m_in = -1;
    }
    // Reads the rest of the output and waits for the end: the exit code, or 128 + the signal.
    int wait()
    {
        closeInput();
        char buf[4096];
        for (ssize_t n; m_out >= 0 && (n = ::read(m_out, buf, sizeof buf)) > 0;) m_output.append(buf, static_cast<size_t>(n));
        if (m_pid <= 0) return m_status;
        int status = 0;
        pid_t got;
        while ((got = ::waitpid(m_pid, &status, 0)) < 0 && errno == EINTR) {
        }
        m_pid = -1;
        if (got < 0) return m_status;
        m_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return m_status;
    }
    const std::string& output() const { return m_output; }

private:
    void closeAll()
    {
        closeInput();
        if (m_out >= 0) ::close(m_out);
        m_out = -1;
    }

    pid_t m_pid = -1;
    int m_in = -1, m_out = -1;
    int m_status = -1;
    std::string m_output;
    size_t m_seen = 0;
};

}  // namespace vktest
