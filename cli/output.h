#pragma once

#include <cstddef>
#include <memory>
#include <ostream>
#include <string>

#include "store/result.h"

namespace kel {

// A regular file is written beside itself and put in place whole by commit(), so that a failed
// run leaves what was there. Written in place as they come: a device or a pipe, a path naming one
// of the tool's descriptors (/dev/fd/N), and a regular file one of them already has open for
// writing ("-o log.csv >>log.csv"), through that descriptor, so that appending stays appending.
class OutputFile
{
public:
    // path empty: standard output. The error is the reason alone ("Is a directory").
    static Result<std::unique_ptr<OutputFile>> open(const std::string &path);
    // A file not committed is removed.
    ~OutputFile();
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    int descriptor() const { return m_fd; }
    // The bytes written whole, or false, keeping the reason for commit().
    bool write(const char *data, std::size_t size);
    // Everything written and in place, or the reason.
    Result<void> commit();

private:
    OutputFile(int fd, bool ownsFd, std::string temp, std::string target);

    int m_fd;
    int m_error = 0; // errno of the write that failed
    bool m_ownsFd;
    std::string m_temp;   // the file written beside its place, "" when written in place
    std::string m_target; // the place
};

// The CSV, JSON or listing on its way to an OutputFile.
class Output
{
public:
    // path empty: standard output. Fails with "cannot write the output to PATH: REASON".
    static Result<std::unique_ptr<Output>> open(const std::string &path);
    ~Output();

    std::ostream &stream();
    // Everything written and in place, or "cannot write the output[ to PATH]: REASON".
    Result<void> finish();

private:
    struct Impl;
    explicit Output(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> m;
};

// True when two paths (empty: standard output) name one file, or one place for a file yet to
// be made.
bool IsSameFile(const std::string &a, const std::string &b);

} // namespace kel
