#include "cli/output.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <streambuf>

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace kel {

namespace {

// Hands the stream's bytes to a Qt device, 64 KiB at a time; the device keeps the error.
class DeviceBuffer : public std::streambuf
{
public:
    explicit DeviceBuffer(QIODevice &device) : m_device(device) { setp(m_buf.data(), m_buf.data() + m_buf.size()); }

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
        // A short write is tried again: the next one fails with the reason (a full disk, a
        // file-size limit), which the device then keeps.
        bool ok = true;
        for (const char *p = pbase(); ok && p < pptr();) {
            const qint64 written = m_device.write(p, pptr() - p);
            ok = written > 0;
            p += ok ? written : 0;
        }
        setp(m_buf.data(), m_buf.data() + m_buf.size());
        return ok;
    }

    QIODevice &m_device;
    std::array<char, 1 << 16> m_buf;
};

} // namespace

struct Output::Impl
{
    Impl(std::unique_ptr<QFileDevice> d, QSaveFile *s, std::string w)
        : device(std::move(d))
        , saved(s)
        , where(std::move(w))
    {}

    std::unique_ptr<QFileDevice> device;
    QSaveFile *saved;  // the device, when it is written beside its place
    std::string where; // "" for standard output, else " to PATH"
    DeviceBuffer buffer{*device};
    std::ostream stream{&buffer};

    Error error() const { return {"cannot write the output" + where + ": " + device->errorString().toStdString()}; }
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
    constexpr QIODevice::OpenMode kMode = QIODevice::WriteOnly | QIODevice::Unbuffered;
    if (path.empty()) {
        auto impl = std::make_unique<Impl>(std::make_unique<QFile>(), nullptr, "");
        if (!static_cast<QFile &>(*impl->device).open(STDOUT_FILENO, kMode, QFileDevice::DontCloseHandle))
            return impl->error();
        return std::unique_ptr<Output>(new Output(std::move(impl)));
    }
    const std::string where = " to " + path;
    const QString name = QFile::decodeName(QByteArray::fromStdString(path));
    // Qt names files in UTF-8; another name would come out as a different file.
    if (QFile::encodeName(name).toStdString() != path)
        return Error{"cannot write the output" + where + ": the name is not UTF-8"};
    const QFileInfo info(name);
    std::unique_ptr<QFileDevice> device;
    QSaveFile *saved = nullptr;
    if (info.exists() && !info.isFile() && !info.isDir()) {
        device = std::make_unique<QFile>(name);
    } else {
        auto file = std::make_unique<QSaveFile>(name);
        saved = file.get();
        device = std::move(file);
    }
    auto impl = std::make_unique<Impl>(std::move(device), saved, where);
    if (!impl->device->open(kMode))
        return impl->error();
    return std::unique_ptr<Output>(new Output(std::move(impl)));
}

Result<void> Output::finish()
{
    m->stream.flush();
    if (!m->stream || (m->saved && !m->saved->commit()))
        return m->error();
    return {};
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

bool IsSameFile(const std::string &a, const std::string &b)
{
    struct stat x = {};
    struct stat y = {};
    if (::stat(a.c_str(), &x) == 0 && ::stat(b.c_str(), &y) == 0)
        return x.st_dev == y.st_dev && x.st_ino == y.st_ino;
    // Neither made yet, or one: the same place by name.
    namespace fs = std::filesystem;
    std::error_code ec;
    return fs::weakly_canonical(fs::absolute(a, ec), ec) == fs::weakly_canonical(fs::absolute(b, ec), ec);
}

} // namespace kel
