#pragma once

#include <memory>
#include <ostream>
#include <string>

#include "store/result.h"

namespace kel {

// Where the tool writes its CSV, JSON or listing: standard output, or a file. A regular file
// (or one yet to be made) is written beside itself and put in place whole by finish(), so a
// failed run leaves what was there; a device or a pipe named by the path is written directly.
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

// True when path (empty: standard output) is the card's own file, through whatever path or
// link: the same device and inode.
bool IsCardItself(const std::string &path, const std::string &card);

// True when two paths name one file, or one place for a file yet to be made.
bool IsSameFile(const std::string &a, const std::string &b);

} // namespace kel
