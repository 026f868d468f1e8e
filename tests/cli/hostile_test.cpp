// Hostile cards against the report tool (the binary, end to end) and against the open command
// of the window's core (on a MemoryForm): a message or a best-effort card, never a crash, a hang
// or a figure made up. A card refused by File, Open leaves the store empty; one named on the
// command line or dropped keeps the card that was open.
#include <gtest/gtest.h>

#include "tests/support/card_dir.h"
#include "tests/support/card_lines.h"
#include "tests/support/comma_locale.h"
#include "tests/support/lease_holder.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tool_run.h"
#include "store/module1.h"
#include "views/commands.h"
#include "support/scripted_dialogs.h"
#include "views/memory_form.h"

namespace {

using kel::testing::figuresCard;
using kel::testing::ppLine;
using kel::testing::repeat;

namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;

// AddressSanitizer reserves terabytes of address space: no limit on it can be set that leaves
// a process room to run.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
constexpr bool kAddressSanitizer = __has_feature(address_sanitizer);
#else
constexpr bool kAddressSanitizer = false;
#endif

// A card of 48 MB, all of it to be read; sparse, so it takes no disk.
std::string writeHugeCard(const fs::path &path)
{
    std::ofstream(path, std::ios::binary) << "R1;A;\r\n";
    fs::resize_file(path, std::uintmax_t(48) << 20);
    return path.string();
}

std::vector<std::string> lines(const std::string &text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);)
        out.push_back(l);
    return out;
}

class Hostile : public kel::testing::CardDirTest
{
protected:
    Hostile() : CardDirTest("kel_hostile_cli_") {}
    void SetUp() override
    {
        CardDirTest::SetUp();
        fs::permissions(m_dir, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec
                                   | fs::perms::others_read | fs::perms::others_exec);
    }

    // prefix: a command that runs the tool, such as setpriv as another user.
    ToolRun run(const std::string &args, const std::string &prefix = "") { return runReportTool(args, m_dir, prefix); }
};

using HostileReport = Hostile;

const std::string kHeaderLine = "race,horse,number,name,lbs,record,qualy,early,final,win,jockey,trainer,scratched";

TEST_F(HostileReport, EmptyLineEndsNulAndBinaryFilesGiveACardWithoutCrash)
{
    // Without a record tag there is no race.
    for (const std::string &bytes :
         {std::string(), std::string("\r\n\n\r\r\n\r\n"), std::string("\0\xff\xfe;A\0;", 7)}) {
        const ToolRun r = run(write("odd.kel", bytes));
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, kHeaderLine + "\n");
    }
    // A figure with a NUL in it is no figure: the horse is not rated.
    const ToolRun nul = run(write("nul.kel", kel::testing::nulCard()));
    EXPECT_EQ(nul.status, 0) << nul.err;
    EXPECT_NE(nul.out.find(",[Z-99],[A-1],[Z-99],"), std::string::npos) << nul.out;
    const ToolRun bin = run(write("noise.kel", kel::testing::noiseBytes(64 * 1024)));
    EXPECT_EQ(bin.status, 0) << bin.err;
}

TEST_F(HostileReport, ByteOrderMarkedUtf8CardCountsItsWins)
{
    const ToolRun r = run(
        write("bom.kel", "\xEF\xBB\xBFR1;A;\r\n1;H\xC3\xA9;120;x;B;\r\n" + ppLine("97%", "95%", "1\xC2\xBA 120 (2)")));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, kHeaderLine + "\n1,1,1,H\xC3\xA9,120,1 1-0-0,[A-1],[A-1],[A-1],34,,,0\n");
}

TEST_F(HostileReport, HugeLineManyFieldsAndOverCapacityCardAreCutAndListed)
{
    const ToolRun wide
        = run(write("wide.kel", "R1;" + std::string(10 << 20, 'x') + ";A;\r\n" + std::string(10 << 20, 'y') + "\r\n"
                                    + repeat("h;", 100000) + "B;\r\n"));
    ASSERT_EQ(wide.status, 0) << wide.err.substr(0, 500);
    EXPECT_NE(wide.err.find("wide.kel:3: horse line with 100000 fields"), std::string::npos) << wide.err;
    ASSERT_EQ(lines(wide.out).size(), 2u);

    const ToolRun big = run(write("big.kel", kel::testing::overfullCard()));
    ASSERT_EQ(big.status, 0) << big.err.substr(0, 500);
    const std::vector<std::string> rows = lines(big.out);
    // 21 horses of race 1 and one of each of races 2 to 41.
    ASSERT_EQ(rows.size(), 1u + 21 + 40);
    EXPECT_EQ(rows.back().rfind("41,1,", 0), 0u);
    // Only PPs 1 to 84 count for the record.
    EXPECT_TRUE(rows[1].starts_with("1,1,1,Horse 1,120,84 ")) << rows[1];
    EXPECT_NE(big.err.find("a horse holds at most 100"), std::string::npos);
    // Line 193: after horse 1 and its 150 PPs, horses 2 to 21 take two lines each.
    EXPECT_NE(big.err.find("big.kel:193: horse 22 of race 1 skipped: a race holds at most 21 horses"),
              std::string::npos);
    EXPECT_NE(big.err.find("a card holds at most 41 races"), std::string::npos);
}

TEST_F(HostileReport, LowerCaseTagsAndBlankAfterSemicolonAreSkipped)
{
    const ToolRun r = run(write("tags.kel", "r1;x;a;\r\nR1;x; A;\r\nR1;Real;A;\r\n1;lower;120;x;b;\r\n"
                                            "1;blank;120;x; B;\r\n1;Real;120;x;B;\r\n"));
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.out, kHeaderLine + "\n1,1,1,Real,120,0 0-0-0,[Z-99],[Z-99],[Z-99],8,,,0\n");
}

// Texts that are no numbers never rate. No race run gives a negative figure, so "-5%" (and the
// Final KEL made from it) is none either, rather than the best figure of the race; the early
// figures are real, so Early still ranks every horse. "º" (card byte BA) and "‰" (89) end a
// figure as "%" does: three equal figures.
TEST_F(HostileReport, OnlyNumbersRateWhateverCharacterEndsThem)
{
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"%", "abc%", "1e400%", "NaN%", "-5%", "97%"},
         "1,1,1,H1,120,1 1-0-0,[Z-99],[A-6],[Z-99],8,,,0\n"
         "1,2,2,H2,120,1 1-0-0,[Z-99],[A-5],[Z-99],8,,,0\n"
         "1,3,3,H3,120,1 1-0-0,[Z-99],[A-4],[Z-99],8,,,0\n"
         "1,4,4,H4,120,1 1-0-0,[Z-99],[A-3],[Z-99],8,,,0\n"
         "1,5,5,H5,120,1 1-0-0,[Z-99],[A-2],[Z-99],8,,,0\n"
         "1,6,6,H6,120,1 1-0-0,[A-1],[A-1],[A-1],34,,,0\n"},
        {{"97\xBA", "97\x89", "97%"},
         "1,1,1,H1,120,1 1-0-0,[A-3],[A-3],[A-3],23,,,0\n"
         "1,2,2,H2,120,1 1-0-0,[A-2],[A-2],[A-2],25,,,0\n"
         "1,3,3,H3,120,1 1-0-0,[A-1],[A-1],[A-1],34,,,0\n"},
    };
    for (const auto &[figures, rows] : cases) {
        const ToolRun r = run(write("fig.kel", figuresCard(figures)));
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, kHeaderLine + "\n" + rows);
    }
}

TEST_F(HostileReport, OutputIsTheSameInACommaDecimalLocale)
{
    const std::string locales = kel::testing::CommaLocalePath();
    ASSERT_FALSE(locales.empty()) << "cannot make " << kel::testing::kCommaLocale << " with localedef";
    const std::string card = write("fallback.kel", kel::testing::fallbackFiguresCard());
    // With --pdf the tool starts Qt, which takes the environment's locale, before the CSV.
    for (const std::string &args :
         {"--format json " + card, "--pdf " + (m_dir / "r.pdf").string() + " --format csv " + card}) {
        if (pdfUnavailable(args))
            continue;
        const ToolRun c = run(args, "env LC_ALL=C ");
        EXPECT_EQ(c.status, 0) << c.err;
        EXPECT_EQ(run(args, "env LOCPATH=" + locales + " LC_ALL=" + kel::testing::kCommaLocale + " ").out, c.out);
    }
}

// Every PP filed is in the JSON, also those the PP page does not list: PP 2's Early KEL field is
// there and empty, PP 3 has no date.
TEST_F(HostileReport, JsonListsEveryPPFiled)
{
    std::string noDate = ppLine("96%", "95%");
    noDate.replace(noDate.find("01/02/03"), 8, "");
    const std::string card = write("pps.kel", "R1;A;\r\n1;H;120;x;B;\r\n" + ppLine("97%", "95%") + ppLine("98%", "")
                                                  + noDate + ppLine("99%", "----"));
    const ToolRun r = run("--format json " + card);
    ASSERT_EQ(r.status, 0) << r.err;
    for (const std::string part : {"{\"number\":1,\"slots\":[\"\",\"01/02/03\",\"AQU\",\"97%\",\"95%\"",
                                   "{\"number\":2,\"slots\":[\"\",\"01/02/03\",\"AQU\",\"98%\",\"\",\"----\"",
                                   "{\"number\":3,\"slots\":[\"\",\"\",\"AQU\",\"96%\",\"95%\",\"97%\"",
                                   "{\"number\":4,\"slots\":[\"\",\"01/02/03\",\"AQU\",\"99%\",\"----\""})
        EXPECT_NE(r.out.find(part), std::string::npos) << part << '\n' << r.out;
}

// A path that names a descriptor the tool has open, or the file one of them has open for
// writing, is written through that descriptor, appending where it appends: the lines the log
// had stay in front. One that is not open for writing is refused with the reason.
TEST_F(HostileReport, OutputToAnOpenDescriptorIsWrittenThroughIt)
{
    const std::string card = write("card.kel", "R1;A;\r\n1;H;120;x;B;\r\n" + ppLine("97%", "95%"));
    const std::string bad = write("bad.kel", "R1;A;\r\n1;H;120;x;B;\r\n" + ppLine("97", "95%"));
    const std::string log = (m_dir / "log.csv").string();
    fs::create_symlink(log, m_dir / "link.csv");
    const std::string link = (m_dir / "link.csv").string();
    const std::string csv = "race,horse,number,name,";
    const struct
    {
        std::string args;
        int status;
        std::string appended; // how what the tool wrote starts
    } cases[] = {
        {"-o /dev/stdout " + card + " >>" + log, 0, csv},
        {"-o /dev/fd/1 " + card + " >>" + log, 0, csv},
        {"-o /proc/self/fd/1 " + card + " >>" + log, 0, csv},
        {"--check -o /dev/stdout " + bad + " >>" + log, 1, bad + ":3: field 13 (KEL)"},
        {"-o " + link + " " + card + " >>" + log, 0, csv},
        {"-o " + log + " " + card + " 3>>" + log, 0, csv},
        {"-o /dev/fd/3 " + card + " 3>>" + log, 0, csv},
        {"--format json -o " + log + " " + card + " 5<>" + log + " 3>>" + log, 0, "{\"races\""},
#ifdef KEL_HAVE_PDF
        {"--pdf /dev/stdout " + card + " >>" + log, 0, "%PDF-"},
#endif
    };
    for (const auto &c : cases) {
        write("log.csv", "line 1\nline 2\n");
        const ToolRun r = run(c.args);
        EXPECT_EQ(r.status, c.status) << c.args << ": " << r.err;
        std::ifstream in(log, std::ios::binary);
        const std::string written(std::istreambuf_iterator<char>(in), {});
        EXPECT_EQ(written.substr(0, 14), "line 1\nline 2\n") << c.args;
        EXPECT_EQ(written.substr(14, c.appended.size()), c.appended) << c.args;
        EXPECT_TRUE(fs::is_symlink(link)) << c.args;
    }
    const std::pair<std::string, std::string> refused[] = {
        {"-o /dev/fd/7 " + card, "kelsoft-report: cannot write the output to /dev/fd/7: Bad file descriptor\n"},
        {"-o /dev/fd/4 " + card + " 4<" + log,
         "kelsoft-report: cannot write the output to /dev/fd/4: Bad file descriptor\n"},
#ifdef KEL_HAVE_PDF
        {"--pdf /dev/stdout --format csv " + card + " >>" + log,
         "kelsoft-report: --pdf /dev/stdout is the standard output, where the table goes too\n"},
#endif
    };
    for (const auto &[args, err] : refused) {
        const ToolRun r = run(args);
        EXPECT_NE(r.status, 0) << args;
        EXPECT_EQ(r.err, err) << args;
    }
}

// Names are written by their bytes, UTF-8 or not: two Latin-1 names are two files, and the
// card under such a name is still the card itself.
TEST_F(HostileReport, OutputNamesThatAreNotUtf8AreWrittenByTheirBytes)
{
    const std::string card = write("r\xE9.kel", "R1;A;\r\n1;H;120;x;B;\r\n" + ppLine("97%", "95%"));
    std::vector<std::string> args = {"-o 'r\xE9sum\xE9.csv' '" + card + "'", "-o 'r\xE8sum\xE8.csv' '" + card + "'"};
#ifdef KEL_HAVE_PDF
    args.push_back("--pdf 'r\xE9sum\xE9.pdf' '" + card + "'");
    args.push_back("--pdf 'r\xE8sum\xE8.pdf' '" + card + "'");
#endif
    for (const std::string &a : args) {
        const ToolRun r = runReportTool(a, m_dir, "cd '" + m_dir.string() + "' && ");
        EXPECT_EQ(r.status, 0) << a << ": " << r.err;
    }
    std::set<std::string> names;
    for (const auto &entry : fs::directory_iterator(m_dir))
        names.insert(entry.path().filename().native());
    std::set<std::string> expected = {"r\xE9.kel", "r\xE9sum\xE9.csv", "r\xE8sum\xE8.csv", "stderr.txt"};
#ifdef KEL_HAVE_PDF
    expected.insert({"r\xE9sum\xE9.pdf", "r\xE8sum\xE8.pdf"});
    const ToolRun over = run("--pdf '" + card + "' '" + card + "'");
    EXPECT_EQ(over.status, 2);
    EXPECT_NE(over.err.find("is the card itself"), std::string::npos) << over.err;
#endif
    EXPECT_EQ(names, expected);
}

TEST_F(HostileReport, UnopenableFilesExitOneNamingThemWithTheReason)
{
    fs::create_directories(m_dir / "race.kel");
    ASSERT_EQ(::mkfifo((m_dir / "pipe.kel").c_str(), 0644), 0);
    const kel::testing::LeaseHolder holder(write("leased.kel", "R1;A;\r\n"));
    ASSERT_TRUE(holder.holding);
    for (const auto &[name, reason] : {std::pair{"race.kel", "it is a directory"},
                                       {"pipe.kel", "it is not a regular file"},
                                       {"gone.kel", "No such file or directory"},
                                       {"leased.kel", "reading it would keep the program waiting"}}) {
        const std::string path = (m_dir / name).string();
        const ToolRun r = run(path);
        EXPECT_EQ(r.status, 1) << name;
        EXPECT_EQ(r.err, "kelsoft-report: cannot read " + path + ": " + reason + "\n");
    }
}

TEST_F(HostileReport, OutOfMemoryExitsOneWithTheReason)
{
    if (kAddressSanitizer)
        GTEST_SKIP() << "no address-space limit under AddressSanitizer";
    const std::string huge = writeHugeCard(m_dir / "huge.kel");
    // Room to start (the Qt libraries take some 80 MB of address space), not to read the card.
    const ToolRun r = run(huge, "ulimit -v 110000; exec ");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "kelsoft-report: not enough memory to load huge.kel\n");
    EXPECT_EQ(r.out, "");
}

TEST_F(HostileReport, FileWithoutReadPermissionExitsOne)
{
    const std::string locked = write("locked.kel", "R1;A;\r\n");
    ASSERT_EQ(::chmod(locked.c_str(), 0), 0);
    std::string prefix;
    if (::geteuid() == 0) {
        // Root reads anything; the tool runs as nobody instead, if the binary is reachable.
        if (std::system("command -v setpriv >/dev/null") != 0)
            GTEST_FAIL() << "running as root without setpriv (util-linux, which scripts/deps.sh installs): cannot "
                            "take the permission away";
        prefix = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
        const ToolRun probe = run("--help", prefix);
        if (probe.status != 0)
            GTEST_SKIP() << "the tool cannot run as nobody here: " << probe.err;
    }
    const ToolRun r = run(locked, prefix);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Permission denied"), std::string::npos) << r.err;
}

// The open command of the window, on a MemoryForm: the card open before is what matters.
class HostileOpen : public Hostile
{
protected:
    void SetUp() override
    {
        Hostile::SetUp();
        write("good.kel", "R1;Good;A;\r\n1;Horse;120;x;B;\r\n" + ppLine("97%", "95%") + "R2;Second;A;\r\n");
        f.setDirectory(m_dir.string());
        openGoodCard();
    }

    // The good card on the horses of race 1, then back to the file frame.
    void openGoodCard()
    {
        d.clearShown();
        open("good.kel");
        ASSERT_EQ(f.MSF().rows(), 2);
        ASSERT_TRUE(d.shown().empty());
        f.MSF().setRow(0);
        kel::MSF_DblClick(m, f);
        kel::File_Open_Click(m, f);
        d.clearShown();
    }

    // By File, Open.
    void open(std::optional<std::string> name)
    {
        f.setSelectedFile(std::move(name));
        kel::BT_Open_Click(m, f, d);
    }
    // Named on the command line or dropped.
    void openNamed(const std::string &name) { kel::OpenNamedCard(m, f, d, (m_dir / name).string()); }

    // The good card, still on its horses page, with the file frame still up.
    void expectGoodCardKept(const std::string &what)
    {
        EXPECT_EQ(m.Data(1, 0, 0, 2), "Good") << what;
        EXPECT_EQ(m.Data(1, 1, 1, 5), "99%") << what;
        EXPECT_EQ(m.Data(1, 1, 0, 5), "[A-1]") << what;
        EXPECT_EQ(m.Data(2, 0, 0, 2), "Second") << what;
        EXPECT_EQ(m.ViewPage, 2) << what;
        EXPECT_EQ(m.CurrentRace, 1) << what;
        EXPECT_EQ(f.MSF().rows(), 2) << what;
        EXPECT_EQ(f.MSF().cell(1, 1), "Horse") << what;
        EXPECT_TRUE(f.visible(kel::Ctl::Fr_Open)) << what;
    }

    kel::Module1 m;
    kel::MemoryForm f;
    kel::ScriptedDialogs d;
};

TEST_F(HostileOpen, RefusedOpensShowAMessage)
{
    fs::create_directories(m_dir / "race.kel");
    ASSERT_EQ(::mkfifo((m_dir / "pipe.kel").c_str(), 0644), 0);
    const std::string gone = write("gone.kel", "R1;A;\r\n");
    fs::remove(gone); // listed in File1, removed before Open
    const kel::testing::LeaseHolder holder(write("leased.kel", "R1;A;\r\n"));
    ASSERT_TRUE(holder.holding);

    const std::vector<std::pair<std::optional<std::string>, std::string>> cases = {
        {"race.kel", "it is a directory"},         {"pipe.kel", "not a regular file"},
        {"gone.kel", "No such file or directory"}, {"leased.kel", "reading it would keep the program waiting"},
        {"averylongname.kel", "error TX1"},        {std::nullopt, "Select a kel file in the lower window"},
    };
    for (const auto &[name, message] : cases) {
        const std::string what = name.value_or("(nothing selected)");
        if (name) {
            openNamed(*name);
            ASSERT_EQ(d.shown().size(), 1u) << what;
            EXPECT_NE(d.shown()[0].prompt.find(message), std::string::npos) << what << ": " << d.shown()[0].prompt;
            expectGoodCardKept(what);
            d.clearShown();
        }
        open(name);
        ASSERT_EQ(d.shown().size(), 1u) << what;
        EXPECT_NE(d.shown()[0].prompt.find(message), std::string::npos) << what << ": " << d.shown()[0].prompt;
        EXPECT_EQ(m.Data(1, 0, 0, 2), "") << what;
        openGoodCard();
    }
}

TEST_F(HostileOpen, UnreadableNamedCardKeepsTheCard)
{
    const std::string locked = write("locked.kel", "R1;Locked;A;\r\n");
    ASSERT_EQ(::chmod(locked.c_str(), 0), 0);
    if (::geteuid() != 0) {
        openNamed("locked.kel");
        ASSERT_EQ(d.shown().size(), 1u);
        EXPECT_NE(d.shown()[0].prompt.find("Permission denied"), std::string::npos);
        expectGoodCardKept("locked.kel");
        return;
    }
    // Root reads anything: open as nobody in a child, so that this process keeps root.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
            ::_exit(3);
        openNamed("locked.kel");
        const bool refused
            = d.shown().size() == 1 && d.shown()[0].prompt.find("Permission denied") != std::string::npos;
        const bool kept = m.Data(1, 0, 0, 2) == "Good" && m.ViewPage == 2 && f.MSF().cell(1, 1) == "Horse";
        ::_exit(refused && kept ? 0 : refused ? 1 : 2);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 3)
        GTEST_SKIP() << "running as root without the right to become nobody: cannot take the permission away";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the card was lost, 2: no permission message";
}

TEST_F(HostileOpen, OutOfMemoryKeepsTheNamedCard)
{
    if (kAddressSanitizer)
        GTEST_SKIP() << "no address-space limit under AddressSanitizer";
    writeHugeCard(m_dir / "huge.kel");
    // In a child, with room for 16 MB more than it has: not for the card's 48 MB.
    const pid_t child = ::fork();
    if (child == 0) {
        std::string statm;
        std::getline(std::ifstream("/proc/self/statm"), statm);
        rlim_t pages = 0;
        std::from_chars(statm.data(), statm.data() + statm.size(), pages);
        const rlimit limit{pages * rlim_t(::sysconf(_SC_PAGESIZE)) + (16 << 20), RLIM_INFINITY};
        if (pages == 0 || ::setrlimit(RLIMIT_AS, &limit) != 0)
            ::_exit(3);
        openNamed("huge.kel");
        const bool said = d.shown().size() == 1 && d.shown()[0].prompt == "Not enough memory to load huge.kel";
        expectGoodCardKept("huge.kel");
        ::_exit(said && !::testing::Test::HasFailure() ? 0 : said ? 1 : 2);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the open command ended the program";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the card was lost, 2: no message, 3: no limit could be set";
}

TEST_F(HostileOpen, HostileButReadableCardsReplaceItAsBestTheyCan)
{
    write("big.kel", kel::testing::overfullCard());
    open("big.kel");
    ASSERT_EQ(d.shown().size(), 1u);
    EXPECT_NE(d.shown()[0].prompt.find("lines of big.kel did not fit"), std::string::npos) << d.shown()[0].prompt;
    EXPECT_EQ(f.MSF().rows(), 41);
    EXPECT_EQ(m.ViewPage, 1);
    EXPECT_FALSE(f.visible(kel::Ctl::Fr_Open));

    // An empty file is a card without races: the list is empty and nothing is said.
    d.clearShown();
    write("empty.kel", "");
    open("empty.kel");
    EXPECT_TRUE(d.shown().empty());
    EXPECT_EQ(f.MSF().rows(), 0);
    EXPECT_EQ(m.Data(1, 0, 0, 1), "");
}

} // namespace
