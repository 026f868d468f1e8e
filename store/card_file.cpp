#include "store/card_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string_view>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "store/number_text.h"

namespace kel {

Result<TextBuffer> ReadCardFile(const std::string &path)
{
    const auto refuse = [&](std::string_view why) { return Error{"cannot read " + path + ": " + std::string(why)}; };
    const std::string tooLarge
        = "the file is larger than " + DecimalText(kMaxCardBytes >> 20) + " MB, too large for a race card";
    // A named pipe, a device or a file under another program's lease would keep a plain open or
    // read waiting. What was opened is what is checked, so nothing can be swapped in between.
    constexpr std::string_view kWouldWait = "reading it would keep the program waiting";
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return refuse(errno == EAGAIN || errno == EWOULDBLOCK ? kWouldWait : std::strerror(errno));
    struct Closer
    {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st;
    if (::fstat(fd, &st) != 0)
        return refuse(std::strerror(errno));
    if (S_ISDIR(st.st_mode))
        return refuse("it is a directory");
    if (!S_ISREG(st.st_mode))
        return refuse("it is not a regular file");
    if (static_cast<std::uintmax_t>(st.st_size) > kMaxCardBytes)
        return refuse(tooLarge);

    // The file's size and a byte, then on should it have grown (files of /proc tell no size);
    // untouched front room for the loader costs nothing.
    TextBuffer bytes;
    const std::size_t room = static_cast<std::size_t>(st.st_size) + 1;
    bytes.reserveWithFront(room / 16 + 4096, room);
    std::size_t size = 0;
    for (;;) {
        if (size == bytes.capacity()) {
            if (size > kMaxCardBytes)
                return refuse(tooLarge);
            bytes.reserve(std::min<std::size_t>(bytes.capacity() * 2, kMaxCardBytes + 1));
        }
        const ssize_t n = ::read(fd, bytes.data() + size, bytes.capacity() - size);
        if (n > 0) {
            size += static_cast<std::size_t>(n);
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            return refuse(errno == EAGAIN || errno == EWOULDBLOCK ? kWouldWait : std::strerror(errno));
        }
    }
    bytes.setSize(size);
    return bytes;
}

bool IsCardItself(const std::string &path, const std::string &card)
{
    struct stat c = {};
    struct stat o = {};
    if (::stat(card.c_str(), &c) != 0 || !S_ISREG(c.st_mode))
        return false;
    const int found = path.empty() ? ::fstat(STDOUT_FILENO, &o) : ::stat(path.c_str(), &o);
    return found == 0 && o.st_dev == c.st_dev && o.st_ino == c.st_ino;
}

} // namespace kel
