#pragma once

// A regular file whose opening waits: another process holds a write lease on it, as a file
// server does for a client. Opening it for reading waits until the holder gives the lease up,
// or the system breaks it (45 s by default); an open that must not wait is refused at once.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

namespace kel::testing {

class LeaseHolder
{
public:
    // Forks a child that holds the lease until this is destroyed.
    explicit LeaseHolder(const std::string &path)
    {
        int ready[2];
        if (::pipe(ready) != 0)
            return;
        m_child = ::fork();
        if (m_child == 0) {
            // The holder ignores the system's request to give the lease up.
            ::signal(SIGIO, SIG_IGN);
            const int fd = ::open(path.c_str(), O_WRONLY);
            const char held = fd >= 0 && ::fcntl(fd, F_SETLEASE, F_WRLCK) == 0 ? 'y' : 'n';
            (void)!::write(ready[1], &held, 1);
            for (;;)
                ::pause();
        }
        ::close(ready[1]);
        char held = 'n';
        if (m_child > 0 && ::read(ready[0], &held, 1) == 1)
            m_holding = held == 'y';
        ::close(ready[0]);
    }
    ~LeaseHolder()
    {
        if (m_child > 0) {
            ::kill(m_child, SIGKILL);
            ::waitpid(m_child, nullptr, 0);
        }
    }
    LeaseHolder(const LeaseHolder &) = delete;
    LeaseHolder &operator=(const LeaseHolder &) = delete;

    bool holding() const { return m_holding; }

private:
    pid_t m_child = -1;
    bool m_holding = false;
};

} // namespace kel::testing
