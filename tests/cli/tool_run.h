#pragma once

// Runs the report tool as a user would, for the end-to-end tests.
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdlib>
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

// The tool the tests run: KEL_REPORT_TOOL when it is set (another build of it, such as
// web/kelsoft-report.mjs under node), else this build's.
inline std::string reportTool()
{
    const char *tool = std::getenv("KEL_REPORT_TOOL");
    return tool && *tool ? tool : KEL_REPORT_BIN;
}

// Whether the tool run writes PDF reports: this build's does with Qt's painter; the one
// KEL_REPORT_TOOL names is asked.
inline bool reportToolWritesPdf()
{
    static const bool writes = [] {
        if (!std::getenv("KEL_REPORT_TOOL")) {
#ifdef KEL_HAVE_PDF
            return true;
#else
            return false;
#endif
        }
        FILE *pipe = ::popen((reportTool() + " --pdf /dev/null /dev/null 2>&1").c_str(), "r");
        std::string said;
        std::array<char, 256> buf{};
        for (std::size_t n = 0; pipe && (n = std::fread(buf.data(), 1, buf.size(), pipe)) > 0;)
            said.append(buf.data(), n);
        if (pipe)
            ::pclose(pipe);
        return said.find("no PDF output") == std::string::npos;
    }();
    return writes;
}

// True when args ask for a PDF report of a tool without PDF output: the case is left out.
inline bool pdfUnavailable(const std::string &args)
{
    return args.find("--pdf") != std::string::npos && !reportToolWritesPdf();
}

// kelsoft-report with args; its standard error goes through a file in scratchDir. prefix is a
// command that runs the tool, such as setpriv as another user.
inline ToolRun runReportTool(const std::string &args, const std::filesystem::path &scratchDir,
                             const std::string &prefix = "")
{
    const std::string errFile = (scratchDir / "stderr.txt").string();
    const std::string cmd = prefix + reportTool() + " " + args + " 2>" + errFile;
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
