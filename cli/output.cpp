#include "cli/output.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <streambuf>
#include <string_view>
#include <utility>

namespace kel {

namespace {

Error reason(int error)
{
    return Error{std::strerror(error)};
}

bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool isWritable(int fd)
{
    const int flags = ::fcntl(fd, F_GETFL);
    return flags != -1 && (flags & O_ACCMODE) != O_RDONLY;
}

std::optional<int> number(std::string_view text)
{
    int n = -1;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return n;
}

// The descriptor a path spells out, in the names shells and programs give them.
std::optional<int> spelledDescriptor(std::string_view path)
{
    if (path == "/dev/stdin")
        return 0;
    if (path == "/dev/stdout")
        return 1;
    if (path == "/dev/stderr")
        return 2;
    for (const std::string_view dir : {"/dev/fd/", "/proc/self/fd/", "/proc/thread-self/fd/"})
        if (path.starts_with(dir))
            return number(path.substr(dir.size()));
    return std::nullopt;
}

// A descriptor of the tool open for writing on the regular file `file`: standard output when it
// is one of them, else the lowest; -1 when none is.
int descriptorOn(const struct stat &file)
{
    const auto onFile = [&](int fd) {
        struct stat st = {};
        return ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && sameFile(st, file) && isWritable(fd);
    };
    if (onFile(STDOUT_FILENO))
        return STDOUT_FILENO;
    DIR *dir = ::opendir("/proc/self/fd");
    if (!dir)
        return -1;
    int found = -1;
    while (const dirent *entry = ::readdir(dir)) {
        const std::optional<int> fd = number(entry->d_name);
        if (fd && *fd != ::dirfd(dir) && (found < 0 || *fd < found) && onFile(*fd))
            found = *fd;
    }
    ::closedir(dir);
    return found;
}

// The file a path leads to through its links: that file is replaced, and the links stay.
std::string resolved(const std::string &path)
{
    char *real = ::realpath(path.c_str(), nullptr);
    if (!real)
        return path;
    std::string out = real;
    std::free(real);
    return out;
}

// Empty path: standard output.
std::optional<struct stat> fileOf(const std::string &path)
{
    struct stat st = {};
    if ((path.empty() ? ::fstat(STDOUT_FILENO, &st) : ::stat(path.c_str(), &st)) != 0)
        return std::nullopt;
    return st;
}

// Hands the stream's bytes to the file, 64 KiB at a time; the file keeps the error.
class FileBuffer : public std::streambuf
{
public:
    explicit FileBuffer(OutputFile &file) : m_file(file) { setp(m_buf.data(), m_buf.data() + m_buf.size()); }

protected:
    int_type overflow(int_type c) override
    {
        if (!drain())
            return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override { return drain() ? 0 : -1; }

private:
    bool drain()
    {
        const bool ok = m_file.write(pbase(), static_cast<std::size_t>(pptr() - pbase()));
        setp(m_buf.data(), m_buf.data() + m_buf.size());
        return ok;
    }

    OutputFile &m_file;
    std::array<char, 1 << 16> m_buf;
};

} // namespace

OutputFile::OutputFile(int fd, bool ownsFd, std::string temp, std::string target)
    : m_fd(fd)
    , m_ownsFd(ownsFd)
    , m_temp(std::move(temp))
    , m_target(std::move(target))
{}

OutputFile::~OutputFile()
{
    if (m_ownsFd && m_fd >= 0)
        ::close(m_fd);
    if (!m_temp.empty())
        ::unlink(m_temp.c_str());
}

Result<std::unique_ptr<OutputFile>> OutputFile::open(const std::string &path)
{
    const auto made = [](int fd, bool ownsFd, std::string temp = {},
                         std::string target = {}) -> Result<std::unique_ptr<OutputFile>> {
        return std::unique_ptr<OutputFile>(new OutputFile(fd, ownsFd, std::move(temp), std::move(target)));
    };
    const auto through = [&](int fd) -> Result<std::unique_ptr<OutputFile>> {
        if (!isWritable(fd))
            return reason(EBADF);
        return made(fd, false);
    };
    if (path.empty())
        return through(STDOUT_FILENO);
    if (const std::optional<int> fd = spelledDescriptor(path))
        return through(*fd);
    const std::optional<struct stat> st = fileOf(path);
    if (st && S_ISDIR(st->st_mode))
        return reason(EISDIR);
    if (st && !S_ISREG(st->st_mode)) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
        if (fd < 0)
            return reason(errno);
        return made(fd, true);
    }
    if (st) {
        if (const int fd = descriptorOn(*st); fd >= 0)
            return made(fd, false);
        if (::access(path.c_str(), W_OK) != 0)
            return reason(errno);
    }
    const std::string target = st ? resolved(path) : path;
    std::string temp = target + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return reason(errno);
    // The permissions of the file replaced, or those a new file gets.
    mode_t mode = 0;
    if (st) {
        mode = st->st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(fd, mode) != 0) {
        const int error = errno;
        ::close(fd);
        ::unlink(temp.c_str());
        return reason(error);
    }
    return made(fd, true, std::move(temp), target);
}

bool OutputFile::write(const char *data, std::size_t size)
{
    // A short write is tried again: the next one fails with the reason (a full disk, a
    // file-size limit), which is kept.
    while (m_error == 0 && size > 0) {
        const ssize_t written = ::write(m_fd, data, size);
        if (written < 0 && errno != EINTR)
            m_error = errno;
        if (written > 0) {
            data += written;
            size -= static_cast<std::size_t>(written);
        }
    }
    return m_error == 0;
}

Result<void> OutputFile::commit()
{
    if (m_error != 0)
        return reason(m_error);
    if (!m_ownsFd)
        return {};
    int error = 0;
    if (!m_temp.empty() && ::fsync(m_fd) != 0)
        error = errno;
    if (::close(std::exchange(m_fd, -1)) != 0 && error == 0)
        error = errno;
    if (!m_temp.empty() && error == 0 && ::rename(m_temp.c_str(), m_target.c_str()) != 0)
        error = errno;
    if (error != 0)
        return reason(error);
    m_temp.clear();
    return {};
}

struct Output::Impl
{
    Impl(std::unique_ptr<OutputFile> f, std::string w) : file(std::move(f)), where(std::move(w)) {}

    std::unique_ptr<OutputFile> file;
    std::string where; // "" for standard output, else " to PATH"
    FileBuffer buffer{*file};
    std::ostream stream{&buffer};

    Error error(const std::string &why) const { return {"cannot write the output" + where + ": " + why}; }
};

Output::Output(std::unique_ptr<Impl> impl) : m(std::move(impl))
{}
Output::~Output() = default;

std::ostream &Output::stream()
{
    return m->stream;
}

Result<std::unique_ptr<Output>> Output::open(const std::string &path)
{
    const std::string where = path.empty() ? "" : " to " + path;
    Result<std::unique_ptr<OutputFile>> file = OutputFile::open(path);
    if (!file)
        return Error{"cannot write the output" + where + ": " + file.error().message};
    return std::unique_ptr<Output>(new Output(std::make_unique<Impl>(std::move(*file), where)));
}

Result<void> Output::finish()
{
    m->stream.flush();
    if (const Result<void> done = m->file->commit(); !done)
        return m->error(done.error().message);
    return {};
}

bool IsSameFile(const std::string &a, const std::string &b)
{
    const std::optional<struct stat> x = fileOf(a);
    const std::optional<struct stat> y = fileOf(b);
    if (x && y)
        return sameFile(*x, *y);
    if (a.empty() || b.empty())
        return false;
    // Neither made yet, or one: the same place by name.
    namespace fs = std::filesystem;
    std::error_code ec;
    return fs::weakly_canonical(fs::absolute(a, ec), ec) == fs::weakly_canonical(fs::absolute(b, ec), ec);
}

} // namespace kel
