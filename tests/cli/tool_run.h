#pragma once

// Runs the report tool as a user would, for the end-to-end tests.
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

struct ToolRun
{
    int status = -1;
    std::string out;
    std::string err;
};

// kelsoft-report with args; its standard error goes through a file in scratchDir. prefix is a
// command that runs the tool, such as setpriv as another user.
inline ToolRun runReportTool(const std::string &args, const std::filesystem::path &scratchDir,
                             const std::string &prefix = "")
{
    const std::string errFile = (scratchDir / "stderr.txt").string();
    const std::string cmd = prefix + std::string(KEL_REPORT_BIN) + " " + args + " 2>" + errFile;
    ToolRun r;
    FILE *pipe = ::popen(cmd.c_str(), "r");
    if (!pipe)
        return r;
    std::array<char, 4096> buf{};
    std::size_t n = 0;
    while ((n = std::fread(buf.data(), 1, buf.size(), pipe)) > 0)
        r.out.append(buf.data(), n);
    const int st = ::pclose(pipe);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    std::ifstream e(errFile, std::ios::binary);
    r.err.assign(std::istreambuf_iterator<char>(e), {});
    return r;
}
