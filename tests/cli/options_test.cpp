// The report tool's command line, end to end: what --help lists is what the README and the
// man page show, and each option reads the same however it is written.
#include <gtest/gtest.h>

#include "tests/support/card_dir.h"

#include "tool_run.h"

#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

class ReportOptions : public kel::testing::CardDirTest
{
protected:
    ReportOptions() : CardDirTest("kel_cli_options_") {}

    ToolRun run(const std::string &args, const std::string &prefix = "") { return runReportTool(args, m_dir, prefix); }
    std::string card()
    {
        return write("card.kel", "R1;Main;A;\r\n1;Alpha;120;x;B;\r\nR2;Second;A;\r\n1;Bravo;121;x;B;\r\n");
    }
};

std::string readFile(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::set<std::string> optionNames(const std::string &text)
{
    std::set<std::string> names;
    const std::regex option(R"((^|[\s\[|])(--?[a-z][a-z-]*))");
    for (std::sregex_iterator it(text.begin(), text.end(), option), end; it != end; ++it)
        names.insert((*it)[2]);
    return names;
}

TEST_F(ReportOptions, HelpListsEachOptionOnOneLineAsTheReadmeAndManPageShowThem)
{
    const ToolRun help = run("--help");
    ASSERT_EQ(help.status, 0);
    std::istringstream lines(help.out.substr(help.out.find("Options:")));
    std::string names, line;
    while (std::getline(lines, line) && !line.empty()) {
        // An option's description never wraps onto a line of its own.
        EXPECT_TRUE(line == "Options:" || line.starts_with("  -")) << line;
        names += line.substr(0, line.find("  ", 2)) + '\n';
    }

    const std::string readme = readFile(fs::path(KEL_SOURCE_DIR) / "README.md");
    const auto synopsis = readme.find("    kelsoft-report [");
    ASSERT_NE(synopsis, std::string::npos);
    std::set<std::string> inReadme = optionNames(readme.substr(synopsis, readme.find("\n\n", synopsis) - synopsis));
    std::string man = readFile(fs::path(KEL_SOURCE_DIR) / "docs" / "man" / "kelsoft-report.1.in");
    // Without its escapes: "\-" is "-", and "\fB" and the like change fonts.
    man = std::regex_replace(man.substr(man.find(".SH OPTIONS")), std::regex(R"(\\-)"), "-");
    man = std::regex_replace(man, std::regex(R"(\\f.)"), " ");
    std::set<std::string> inMan = optionNames(man.substr(0, man.find(".SH EXIT")));
    // The README writes -o for --output, -h and -v in full.
    inReadme.insert({"--output", "-h", "-v"});
    EXPECT_EQ(inReadme, optionNames(names));
    EXPECT_EQ(inMan, optionNames(names));
}

TEST_F(ReportOptions, ValuesReadTheSameWithEqualsOrApartAndMinusOWritesTheFile)
{
    const std::string c = card();
    const ToolRun apart = run("--format json --race 2 " + c);
    ASSERT_EQ(apart.status, 0) << apart.err;
    EXPECT_NE(apart.out.find("Bravo"), std::string::npos);
    EXPECT_EQ(run("--format=json --race=2 " + c).out, apart.out);
    const ToolRun toFile = run("--format json --race 2 -o " + (m_dir / "out.json").string() + " " + c);
    EXPECT_EQ(toFile.status, 0);
    EXPECT_EQ(toFile.out, "");
    EXPECT_EQ(readFile(m_dir / "out.json"), apart.out);
    EXPECT_EQ(run("--output=" + (m_dir / "o2.json").string() + " --format=json --race=2 " + c).status, 0);
    EXPECT_EQ(readFile(m_dir / "o2.json"), apart.out);

    const ToolRun version = run("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(std::regex_match(version.out, std::regex("kelsoft-report [0-9]+\\.[0-9]+(\\.[0-9]+)?\n")))
        << version.out;
}

// The parser's own refusals name what was written; an error in a value outweighs unknown names.
TEST_F(ReportOptions, ParserRefusalsNameTheArgument)
{
    const std::string c = card();
    const std::pair<std::string, std::string> cases[] = {
        {"--bogus --worse ", "Unknown options: bogus, worse."},
        {"-race 1 ", "Unknown options: r, a, c, e."},
        {"-xo f ", "Unknown option 'x'."},
        {"--bogus --race", "Missing value after '--race'."},
        {"--filter=1 ", "Unexpected value after '--filter'."},
        {"-h=1 ", "Unexpected value after '-h'."},
        {"-o= ", "-o takes the name of the file to write"},
    };
    for (const auto &[args, message] : cases) {
        const ToolRun r = run(args + (args.ends_with(' ') ? c : ""));
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_EQ(r.err.substr(0, r.err.find('\n')), "kelsoft-report: " + message) << args;
    }
    // Short options run together, a value joined to the last.
    EXPECT_EQ(run("-hv").out, run("--help").out);
    EXPECT_EQ(run("--format=json -o" + (m_dir / "o3.json").string() + " " + c).status, 0);
    EXPECT_EQ(readFile(m_dir / "o3.json"), run("--format json " + c).out);
}

#ifdef KEL_HAVE_PDF
TEST_F(ReportOptions, PdfNeedsNoDisplayAndPrintsNoQtNotes)
{
    if (pdfUnavailable("--pdf"))
        GTEST_SKIP() << "the tool has no PDF output";
    // An X server that is gone, a platform asked for by name, a runtime folder Qt warns about.
    const ToolRun r = run("--pdf " + (m_dir / "r.pdf").string() + " " + card(),
                          "DISPLAY=:97 QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=/tmp ");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(readFile(m_dir / "r.pdf").substr(0, 4), "%PDF");
}
#endif

} // namespace
