// kelsoft-report end to end: the binary run on cards written to a temporary directory.
#include <gtest/gtest.h>

#include "tests/support/card_dir.h"
#include "tests/support/card_lines.h"

#include "tool_run.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class ReportTool : public kel::testing::CardDirTest
{
protected:
    ReportTool() : CardDirTest("kel_cli_") {}

    ToolRun run(const std::string &args) { return runReportTool(args, m_dir); }
};

// Two races; the first horse has a comma in its name and a quote in its jockey's. Horse 2 of
// race 1 sits exactly 0.02 behind horse 1 on the best-six measure in every kind: 0.99 < 0.97 + 0.02
// is false in doubles too, so it is class D, not C.
const std::string kCard = "R1;Aqueduct;6F;A;\r\n"
                          "1;\"Smith, Jones\";120;x;data;Jo \"Ace\";Trainer;B;\r\n"
                          "Others;1\xBA 120 (1);1;6F;1:10;d-f;25K;2.5;Jock;1-1;01/02/25;AQU;97%;e;95%;C;\r\n"
                          "Others;3\xBA 120 (4);3;6F;1:11;d-f;25K;4.5;Jock;3-2;01/01/25;AQU;98%;e;----;C;\r\n"
                          "2;Plain;118;x;data;J2;T2;B;\r\n"
                          "Others;2\xBA 118 (1);2;6F;1:10;d-f;25K;3;J2;2-1;01/02/25;AQU;99%;e;97%;C;\r\n"
                          "R2;Belmont;1M;A;\r\n"
                          "1;Lonely;121;x;data;J3;T3;B;\r\n";

const std::string kHeader = "race,horse,number,name,lbs,record,qualy,early,final,win,jockey,trainer,scratched\n";
const std::string kRace2 = "2,1,1,Lonely,121,0 0-0-0,[Z-99],[Z-99],[Z-99],8,J3,T3,0\n";

// Every horse with its ratings; --race keeps one race; --scratch marks the horse and rates its
// race again without it, a horse without PPs through its PP 1 mark alone.
TEST_F(ReportTool, CsvListsTheHorsesAskedForWithTheirRatings)
{
    const std::string card = write("card.kel", kCard);
    const std::pair<std::string, std::string> cases[] = {
        {"", kHeader
                 + "1,1,1,\"Smith, Jones\",120,2 1-0-1,[A-1],[A-1],[A-1],34,\"Jo \"\"Ace\"\"\",Trainer,0\n"
                   "1,2,2,Plain,118,1 0-1-0,[D-2],[D-2],[D-2],14,J2,T2,0\n"
                 + kRace2},
        {"--race 2 ", kHeader + kRace2},
        {"--scratch 1:1 --race 1 ",
         kHeader
             + "1,1,1,\"Smith, Jones\",120,0 0-0-0,[Z-99],[Z-99],[Z-99],8,\"Jo \"\"Ace\"\"\",Trainer,1\n"
               "1,2,2,Plain,118,1 0-1-0,[A-1],[A-1],[A-1],34,J2,T2,0\n"},
        {"--scratch 2:1 --race 2 ", kHeader + "2,1,1,Lonely,121,0 0-0-0,[Z-99],[Z-99],[Z-99],8,J3,T3,1\n"},
    };
    for (const auto &[args, csv] : cases) {
        const ToolRun r = run(args + card);
        EXPECT_EQ(r.status, 0) << args;
        EXPECT_EQ(r.err, "") << args;
        EXPECT_EQ(r.out, csv) << args;
    }
}

// The default CSV and JSON of the sample cards, byte for byte as scripts and spreadsheets have
// always read them: the newer options leave them alone.
TEST_F(ReportTool, SampleCardsGiveTheirRecordedCsvAndJson)
{
    const fs::path source = KEL_SOURCE_DIR;
    for (const fs::path golden : {"small.csv", "gulfstrm.csv", "bigfield.csv", "small.json"}) {
        const std::string card = (source / "samples" / golden.stem()).string() + ".kel";
        const ToolRun r = run((golden.extension() == ".json" ? "--format json " : "") + card);
        std::ifstream in(source / "tests" / "cli" / "golden" / golden, std::ios::binary);
        EXPECT_EQ(r.status, 0) << card;
        EXPECT_EQ(r.err, "") << card;
        EXPECT_TRUE(r.out == std::string(std::istreambuf_iterator<char>(in), {})) << golden << " differs";
    }
}

// Every slot as a string: quotes escaped, "º" as UTF-8, the Final KEL computed. Slot 0 of a PP
// is its mark: S on every PP of a scratched horse, which keeps it through the filter; F on a PP
// the filter leaves out.
TEST_F(ReportTool, JsonHoldsEverySlotAndThePPsMarks)
{
    const std::string card = write("card.kel", kCard);
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"--race 1",
         {"{\"races\":[{\"number\":1,\"slots\":[\"R1\",\"Aqueduct\",\"6F\",\"\",", "\"Jo \\\"Ace\\\"\"",
          "{\"number\":1,\"slots\":[\"\",\"01/02/25\",\"AQU\",\"97%\",\"95%\",\"99%\",\"1\xC2\xBA 120 (1)\"",
          "{\"number\":2,\"slots\":[\"\",\"01/01/25\",\"AQU\",\"98%\",\"----\",\"----\""}},
        {"--scratch 1:1 --race 1",
         {"{\"number\":1,\"slots\":[\"S\",\"01/02/25\"", "{\"number\":2,\"slots\":[\"S\",\"01/01/25\""}},
        {"--filter --since 01/02/25",
         {"{\"number\":2,\"slots\":[\"F\",\"01/01/25\"", "{\"number\":1,\"slots\":[\"\",\"01/02/25\""}},
        {"--scratch 1:1 --filter --no-dirt --race 1",
         {"{\"number\":1,\"slots\":[\"S\",\"01/02/25\"",
          "{\"number\":1,\"slots\":[\"F\",\"01/02/25\",\"AQU\",\"99%\""}},
    };
    for (const auto &[args, parts] : cases) {
        const ToolRun r = run("--format json " + args + " " + card);
        ASSERT_EQ(r.status, 0) << args << r.err;
        EXPECT_EQ(r.out.rfind("{\"races\":[", 0), 0u) << args;
        EXPECT_EQ(r.out.back(), '\n') << args;
        for (const std::string &part : parts)
            EXPECT_NE(r.out.find(part), std::string::npos) << args << ": " << part << '\n' << r.out;
    }
}

#ifdef KEL_HAVE_PDF
TEST_F(ReportTool, PdfReportIsWrittenAfterScratchesAndFilter)
{
    if (pdfUnavailable("--pdf"))
        GTEST_SKIP() << "the tool has no PDF output";
    const std::string pdf = (m_dir / "report.pdf").string();
    const ToolRun r = run("--scratch 1:1 --filter --pdf " + pdf + " --pps 4 " + write("card.kel", kCard));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, ""); // no CSV unless --format asks for it
    std::ifstream in(pdf, std::ios::binary);
    std::string head(4, '\0');
    in.read(head.data(), 4);
    EXPECT_EQ(head, "%PDF");
}

// A full disk, a file-size limit (as a quota gives: SIGXFSZ ignored, the write fails) and a
// missing folder each end with the file named, the reason, status 1 and no file left behind.
TEST_F(ReportTool, PdfWriteFailuresAreReportedAndLeaveNoFile)
{
    if (pdfUnavailable("--pdf"))
        GTEST_SKIP() << "the tool has no PDF output";
    const std::string card = write("card.kel", kCard);
    const struct
    {
        std::string prefix, pdf, reason;
    } cases[] = {
        {"", "/dev/full", "No space left on device"},
        {"sh -c 'trap \"\" XFSZ; ulimit -f 8; exec \"$0\" \"$@\"' ", (m_dir / "report.pdf").string(), "File too large"},
        {"", (m_dir / "no" / "such" / "dir.pdf").string(), "No such file or directory"},
    };
    for (const auto &c : cases) {
        const ToolRun r = runReportTool("--pdf " + c.pdf + " --pps 4 " + card, m_dir, c.prefix);
        EXPECT_EQ(r.status, 1) << c.pdf;
        EXPECT_TRUE(r.err.ends_with("kelsoft-report: Cannot write the report to " + c.pdf + ": " + c.reason + "\n"))
            << r.err;
    }
    for (const auto &entry : fs::directory_iterator(m_dir))
        EXPECT_EQ(entry.path().extension(), entry.path().filename() == "card.kel" ? ".kel" : ".txt") << entry.path();
}
#endif

TEST_F(ReportTool, UsageErrorsExitTwo)
{
    const std::string card = write("card.kel", kCard);
    for (const std::string &args :
         {std::string(""), "--format xml " + card, "--race 0 " + card, "--race 42 " + card, "--race x " + card,
          "--bogus " + card, "--scratch 1 " + card, "--scratch 0:1 " + card, "--scratch 1:22 " + card,
          "--filter --purse 1K " + card, "--no-dirt " + card, "--pps 3 " + card, "--pdf " + card, card + " " + card,
          // What the parser refuses, and options that mean nothing together.
          "--race= " + card, "--filter=1 " + card, "--check --race 1 " + card, "--excel --format json " + card,
          "--odds --pdf r.pdf " + card, "-o r.csv --pdf r.pdf " + card, "-o " + card}) {
        const ToolRun r = run(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_NE(r.err.find("usage:"), std::string::npos) << args;
        EXPECT_EQ(r.out, "") << args;
    }
}

// What the card does not hold and what the Settings frame refuses, in the frame's own words:
// status 2, the reason, and nothing written.
TEST_F(ReportTool, RefusedRequestsExitTwoWithTheirReasonAndWriteNothing)
{
    const std::string card = write("card.kel", kCard);
    const std::string pdf = (m_dir / "r.pdf").string();
    const std::string noRace3 = "kelsoft-report: race 3 is not on the card (it lists 2 races)\n";
    const std::string badDate = "Date must be in format mm/dd/yy\n";
    const std::pair<std::string, std::string> cases[] = {
        {"--race 3", noRace3},
        {"--format json --race 3", noRace3},
        {"--pdf " + pdf + " --race 3", noRace3},
        {"--scratch 9:1", "kelsoft-report: --scratch 9:1: race 9 is not on the card (it lists 2 races)\n"},
        {"--scratch 2:5", "kelsoft-report: --scratch 2:5: race 2 has no horse 5\n"},
        {"--filter --since 1/1/25", badDate},
        // Longer than the window's date box holds: read by position it would be another date.
        {"--filter --since 01/01/2025", badDate},
        {"--filter --since 2025-01-01", badDate},
        {"--filter --purse 0 10X",
         "Purse must be a number followed by K (thousands) or M (millions), e.g. 250K or 1.5M\n"},
        {"--filter --distance 1/2F 2M", "Distance must be in furlongs (F), miles (M) or miles and yards (Y), e.g. "
                                        "4 1/2F, 1 1/16M or 1 70Y\n"},
    };
    for (const auto &[args, err] : cases) {
        if (pdfUnavailable(args))
            continue;
        const ToolRun r = run(args + " " + card);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_EQ(r.err, err) << args;
        EXPECT_EQ(r.out, "") << args;
    }
    EXPECT_FALSE(fs::exists(pdf));
    // A short date is asked about only when there is a PP to compare it with, as in the window.
    EXPECT_EQ(run("--filter --since 1/1/25 " + write("nopp.kel", "R1;A;\r\n1;Alpha;120;x;B;\r\n")).status, 0);
}

TEST_F(ReportTool, OutputOverTheCardIsRefusedWhateverItsPath)
{
    const std::string card = write("v.kel", kCard);
    fs::create_symlink(card, m_dir / "link.kel");
    fs::create_hard_link(card, m_dir / "hard.kel");
    const std::string link = (m_dir / "link.kel").string(), hard = (m_dir / "hard.kel").string();
    for (const std::string &args :
         {"--pdf " + card + " " + card, "--pdf " + link + " " + card, "-o " + hard + " " + card,
          "--check -o " + link + " " + card, card + " >>" + card}) {
        if (pdfUnavailable(args))
            continue;
        const ToolRun r = run(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_NE(r.err.find(" is the card itself; the card was left as it is\n"), std::string::npos) << r.err;
    }
    std::ifstream in(card, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), kCard);
    if (pdfUnavailable("--pdf"))
        return;
    const ToolRun both = run("--pdf r.out --format csv -o ./r.out " + card);
    EXPECT_EQ(both.status, 2);
    EXPECT_EQ(both.err, "kelsoft-report: --pdf and -o name the same file, ./r.out\n");
}

TEST_F(ReportTool, FailedWritesSayWhyAndKeepTheFileThatWasThere)
{
    const std::string card = write("card.kel", kCard);
    const std::string old = write("old.json", "old");
    const std::string full = "No space left on device\n";
    const std::pair<std::string, std::string> cases[] = {
        {card + " >/dev/full", "kelsoft-report: cannot write the output: " + full},
        {"-o /dev/full " + card, "kelsoft-report: cannot write the output to /dev/full: " + full},
        {"-o " + m_dir.string() + "/no/r.csv " + card, "No such file or directory\n"},
        // A file-size limit, as a full disk gives: the file written before stays whole.
        {"--format json -o " + old + " " + card,
         "kelsoft-report: cannot write the output to " + old + ": File too large\n"},
    };
    for (const auto &[args, err] : cases) {
        const ToolRun r = runReportTool(args, m_dir, "ulimit -f 1; ");
        EXPECT_NE(r.status, 0) << args;
        EXPECT_NE(r.err.find(err), std::string::npos) << r.err;
    }
    std::ifstream in(old, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "old");
}

TEST_F(ReportTool, OddsShareTheRaceAmongItsCountedHorses)
{
    using kel::testing::ppLine;
    // Race 1: a horse without PPs (8), one without an early figure ("n/a"), one scratched;
    // race 2 has no "% W" number at all.
    const std::string card = write(
        "odds.kel", "R1;Odds;A;\r\n1;Alpha;120;x;B;\r\n" + ppLine("97%", "95%")
                        + "2;Bravo;120;x;B;\r\n3;Charlie;120;x;B;\r\n" + ppLine("99%", "----") + "4;Delta;120;x;B;\r\n"
                        + ppLine("98%", "96%") + "R2;None;A;\r\n1;Echo;120;x;B;\r\n" + ppLine("99%", "----"));
    const ToolRun csv = run("--odds --scratch 1:4 " + card);
    ASSERT_EQ(csv.status, 0) << csv.err;
    // 34 and 8 of 42: shares 80.95 and 19.05; Bravo's odds 34 / 8 = 4.25 go to the even 4.2.
    EXPECT_EQ(csv.out,
              "race,horse,number,name,lbs,record,qualy,early,final,win,jockey,trainer,scratched,share,fair_odds\n"
              "1,1,1,Alpha,120,1 1-0-0,[A-1],[A-1],[A-1],34,,,0,81.0,0.2\n"
              "1,2,2,Bravo,120,0 0-0-0,[Z-99],[Z-99],[Z-99],8,,,0,19.0,4.2\n"
              "1,3,3,Charlie,120,1 1-0-0,[D-2],[Z-99],[Z-99],n/a,,,0,,\n"
              "1,4,4,Delta,120,0 0-0-0,[Z-99],[Z-99],[Z-99],8,,,1,,\n"
              "2,1,1,Echo,120,1 1-0-0,[A-1],[Z-99],[Z-99],n/a,,,0,,\n");
    const ToolRun json = run("--odds --format json --race 1 " + write("card.kel", kCard));
    // 34 and 14 of 48.
    EXPECT_NE(json.out.find(
                  "\"Trainer\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"],\"share\":\"70.8\",\"fair_odds\":\"0.4\",\"pps\""),
              std::string::npos)
        << json.out;
    EXPECT_NE(json.out.find("],\"share\":\"29.2\",\"fair_odds\":\"2.4\",\"pps\""), std::string::npos);
}

// Every cell that starts as a formula does gets a quote in front, "-" and "+" included, unless
// the whole cell is a number with a sign, which stays a number.
TEST_F(ReportTool, ExcelCsvDefusesFormulasAndEndsLinesInCrLf)
{
    const std::string card
        = write("x.kel", "R1;A;\r\n1;=HYPERLINK(\"http://example.invalid/x\",\"Win\");120;x;d;-Jo;+T;B;\r\n"
                         "2;-5;@1;x;d;--;\tTab;B;\r\n3;-;--x;x;d;- 1;Plain;B;\r\n"
                         "4;-2+3+cmd|' /C calc'!A0;+3;x;d;-1.5;-1+HYPERLINK(\"http://example.invalid/y\");B;\r\n"
                         "5;-.5;+;x;d;-1.;-1.5.2;B;\r\n");
    const ToolRun r = run("--excel --race 1 " + card);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "\xEF\xBB\xBFrace,horse,number,name,lbs,record,qualy,early,final,win,jockey,trainer,scratched\r\n"
              "1,1,1,\"'=HYPERLINK(\"\"http://example.invalid/x\"\",\"\"Win\"\")\",120,0 0-0-0,[Z-99],[Z-99],[Z-99],8,"
              "'-Jo,'+T,0\r\n"
              "1,2,2,-5,'@1,0 0-0-0,[Z-99],[Z-99],[Z-99],8,'--,'\tTab,0\r\n"
              "1,3,3,'-,'--x,0 0-0-0,[Z-99],[Z-99],[Z-99],8,'- 1,Plain,0\r\n"
              "1,4,4,'-2+3+cmd|' /C calc'!A0,+3,0 0-0-0,[Z-99],[Z-99],[Z-99],8,-1.5,"
              "\"'-1+HYPERLINK(\"\"http://example.invalid/y\"\")\",0\r\n"
              "1,5,5,-.5,'+,0 0-0-0,[Z-99],[Z-99],[Z-99],8,-1.,'-1.5.2,0\r\n");
}

} // namespace
