#pragma once

#include <optional>
#include <string>
#include <vector>

#include "settings/filter.h"

namespace kel {

struct Scratch
{
    int race = 0;
    int row = 0;
};

// What one run of kelsoft-report is asked to do.
struct Options
{
    bool json = false;
    bool formatGiven = false;
    std::string pdf;
    int pps = 0;
    int race = 0; // 0: the whole card
    std::vector<Scratch> scratches;
    bool filter = false;
    SettingsTexts settings;
    bool check = false;
    bool odds = false;
    bool excel = false;
    std::string output; // empty: standard output
    std::string card;

    // Whether CSV or JSON is written: always, unless --pdf alone or --check was asked for.
    bool writesTable() const { return !check && (pdf.empty() || formatGiven); }
};

// The command line read, or what to print instead of running: the help or the version (on
// standard output, exit 0) or a usage error (on standard error, exit 2).
struct CommandLine
{
    Options options;
    std::optional<int> exitStatus; // set when text is all there is to do
    std::string text;
};

CommandLine ParseCommandLine(int argc, char **argv);

} // namespace kel
