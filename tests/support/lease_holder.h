#pragma once

// A regular file whose opening waits: a child process holds a write lease on it, as a file
// server does for a client, until this object goes. A plain open for reading waits until the
// system breaks the lease (45 s by default).
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

namespace kel::testing {

struct LeaseHolder
{
    explicit LeaseHolder(const std::string &path)
    {
        int ready[2];
        if (::pipe(ready) != 0 || (child = ::fork()) < 0)
            return;
        if (child == 0) {
            ::signal(SIGIO, SIG_IGN); // deaf to the request to give the lease up
            const int fd = ::open(path.c_str(), O_WRONLY);
            const char held = fd >= 0 && ::fcntl(fd, F_SETLEASE, F_WRLCK) == 0;
            (void)!::write(ready[1], &held, 1);
            for (;;)
                ::pause();
        }
        char held = 0;
        holding = ::read(ready[0], &held, 1) == 1 && held;
        ::close(ready[0]);
        ::close(ready[1]);
    }
    ~LeaseHolder()
    {
        if (child > 0 && ::kill(child, SIGKILL) == 0)
            ::waitpid(child, nullptr, 0);
    }
    pid_t child = -1;
    bool holding = false;
};

} // namespace kel::testing
