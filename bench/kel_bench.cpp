// Benchmarks of the user's actions on the largest card the store holds, next to the floor: the
// least any loader pays for the same file (read it, find its line ends and separators).
//
// The card is written by the seeded generator at start (seed kCardSeed, 41 x 21 x 100), so
// scripts/bench.sh can write the same file for the report tool with kel-make-card.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <unistd.h>

#include "bench/card_generator.h"
#include "engine/open_card.h"
#include "engine/ratings.h"
#include "printing/print_report.h"
#include "support/recording_printer.h"
#include "settings/marks.h"
#include "store/line_scanner.h"
#include "store/loader.h"
#include "views/commands.h"
#include "views/status_line.h"
#include "support/scripted_dialogs.h"
#include "views/memory_form.h"

namespace {

constexpr uint64_t kCardSeed = 20240504;
constexpr int kLargestRace = 1; // every race of the full card has 21 horses of 100 PPs
constexpr int kScratchRow = 7;

class FullCard
{
public:
    FullCard()
    {
        const char *given = std::getenv("KEL_BENCH_CARD");
        if (given && *given) {
            m_path = given;
        } else {
            // A short name: the open command refuses names of more than 14 characters.
            m_dir = std::filesystem::temp_directory_path() / ("kel_bench_" + std::to_string(::getpid()));
            std::filesystem::create_directories(m_dir);
            m_path = (m_dir / "full.kel").string();
            const std::string bytes = kel::GenerateCard(kCardSeed, kel::CardShape{});
            std::FILE *f = std::fopen(m_path.c_str(), "wb");
            if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size())
                throw std::runtime_error("cannot write " + m_path);
            std::fclose(f);
            m_owned = true;
        }
        auto bytes = kel::ReadCardFile(m_path);
        if (!bytes)
            throw std::runtime_error(bytes.error().message);
        m_size = bytes->size();
        kel::OpenCard(m_module, bytes->view());
        m_module.cardPath = m_path; // as the open command notes it: the status line names the card
        m_form.setSelectedFile(std::filesystem::path(m_path).filename().string());
        kel::ShowRaceList(m_module, m_form);
    }
    ~FullCard()
    {
        if (m_owned) {
            std::error_code ec;
            std::filesystem::remove_all(m_dir, ec);
        }
    }

    const std::string &path() const { return m_path; }
    std::size_t size() const { return m_size; }
    kel::Module1 &module() { return m_module; }
    kel::MemoryForm &form() { return m_form; }

    // No marks anywhere, ratings of the unmarked card, initial Settings frame.
    void clean()
    {
        m_module.CurrentRace = 0;
        kel::ClearMarks(m_module, true);
        kel::RerunRatings(m_module);
        m_form = kel::MemoryForm();
        m_form.setSelectedFile(std::filesystem::path(m_path).filename().string());
    }

    // The horses page of the largest race, as after a double-click on its row.
    void showLargestRace()
    {
        m_module.CurrentRace = kLargestRace;
        m_module.ViewPage = 2;
        kel::ShowRaceHorses(m_module, m_form);
    }

private:
    std::filesystem::path m_dir;
    std::string m_path;
    bool m_owned = false;
    std::size_t m_size = 0;
    kel::Module1 m_module;
    kel::MemoryForm m_form;
};

FullCard &card()
{
    static FullCard c;
    return c;
}

// The file into memory in one read of its known size, then every line end and every ";".
void BM_Floor(benchmark::State &state)
{
    const std::string &path = card().path();
    for (auto _ : state) {
        std::FILE *f = std::fopen(path.c_str(), "rb");
        std::string bytes(std::filesystem::file_size(path), '\0');
        const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
        std::size_t lines = 0;
        std::size_t separators = 0;
        for (std::size_t i = 0; i < got; ++i) {
            const char c = bytes[i];
            lines += c == '\n';
            separators += c == ';';
        }
        benchmark::DoNotOptimize(lines);
        benchmark::DoNotOptimize(separators);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(card().size()));
}

// What the open command does with the selected file: read it, parse, Final KEL, three runs.
void BM_LoadAndRate(benchmark::State &state)
{
    const std::string &path = card().path();
    kel::Module1 m;
    for (auto _ : state) {
        auto bytes = kel::ReadCardFile(path);
        if (!bytes) {
            state.SkipWithError(bytes.error().message.c_str());
            break;
        }
        kel::OpenCard(m, std::move(*bytes));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(card().size()));
    state.counters["store_MB"] = double(m.Data.memoryUse()) / (1 << 20);
}

// The window's open command on the same file: the load above, the race list and the frames.
void BM_OpenCommand(benchmark::State &state)
{
    const std::filesystem::path path(card().path());
    kel::Module1 m;
    kel::MemoryForm f;
    f.setDirectory(path.parent_path().string());
    f.setSelectedFile(path.filename().string());
    kel::ScriptedDialogs d;
    for (auto _ : state) {
        kel::BT_Open_Click(m, f, d);
        benchmark::ClobberMemory();
    }
    if (!d.shown().empty())
        state.SkipWithError(d.shown().front().prompt.c_str());
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(card().size()));
}

// The parts of the load, to tell where its time goes.
void BM_ReadCardFile(benchmark::State &state)
{
    const std::string &path = card().path();
    for (auto _ : state) {
        auto bytes = kel::ReadCardFile(path);
        benchmark::DoNotOptimize(bytes);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(card().size()));
}

void BM_LoadCardFromMemory(benchmark::State &state)
{
    const auto bytes = kel::ReadCardFile(card().path());
    kel::RaceStore store;
    for (auto _ : state) {
        kel::LoadCard(bytes->view(), store);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes->size()));
}

// The loader's line scan alone at each width (0 plain, 1 16 bytes a step): the card's text
// written and every line's separators found, nothing filed.
void BM_ScanLines(benchmark::State &state)
{
    const auto width = static_cast<kel::ScanWidth>(state.range(0));
    if (width > kel::kScanWidth) {
        state.SkipWithError("this build lacks the width");
        return;
    }
    const auto bytes = kel::ReadCardFile(card().path());
    for (auto _ : state) {
        kel::LineScanner scanner(bytes->view(), true, nullptr, width);
        kel::ScannedLine line;
        std::size_t separators = 0;
        while (scanner.next(line))
            separators += line.separators;
        benchmark::DoNotOptimize(separators);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes->size()));
}

void BM_ComputeRatings345(benchmark::State &state)
{
    card().clean();
    kel::Module1 &m = card().module();
    m.CurrentRace = 0;
    for (auto _ : state) {
        kel::RerunRatings(m);
        benchmark::ClobberMemory();
    }
}

// What the window shows under the grid after every command.
void statusLine(const kel::Module1 &m, kel::MemoryForm &f)
{
    std::string marks = kel::StatusMarks(m);
    std::string current = kel::StatusCurrent(m, f.MSF());
    benchmark::DoNotOptimize(marks);
    benchmark::DoNotOptimize(current);
}

// "Go!" pressed on the race list (the whole card), the marks of the run before removed.
void goFullCard(benchmark::State &state, bool everyBoxUnticked)
{
    card().clean();
    kel::Module1 &m = card().module();
    kel::MemoryForm &f = card().form();
    kel::ShowRaceList(m, f);
    if (everyBoxUnticked) {
        for (kel::Ctl c : {kel::Ctl::Check_Dirt, kel::Ctl::Check_Turf, kel::Ctl::Check_Fast, kel::Ctl::Check_Muddy})
            f.setValue(c, 0);
    }
    kel::ScriptedDialogs d;
    for (auto _ : state) {
        state.PauseTiming();
        m.CurrentRace = 0;
        kel::ClearMarks(m, true);
        state.ResumeTiming();
        kel::Command4_Click(m, f, d);
        benchmark::ClobberMemory();
    }
    if (!d.shown().empty())
        state.SkipWithError("Go! refused the settings");
    card().clean();
}

void BM_GoFullCardInitial(benchmark::State &state)
{
    goFullCard(state, false);
}
void BM_GoFullCardUnticked(benchmark::State &state)
{
    goFullCard(state, true);
}

// The status line of the race list, whose marks cover the whole card, after "Go!" over it with
// every box unticked: its walk over every PP is the longest.
void BM_StatusLineCard(benchmark::State &state)
{
    card().clean();
    kel::Module1 &m = card().module();
    kel::MemoryForm &f = card().form();
    kel::ScriptedDialogs d;
    kel::ShowRaceList(m, f);
    for (kel::Ctl box : {kel::Ctl::Check_Dirt, kel::Ctl::Check_Turf, kel::Ctl::Check_Fast, kel::Ctl::Check_Muddy})
        f.setValue(box, 0);
    kel::Command4_Click(m, f, d);
    if (kel::StatusMarks(m).find("PPs left out") == std::string::npos)
        state.SkipWithError("Go! marked nothing");
    for (auto _ : state)
        statusLine(m, f);
    card().clean();
}

// "Go!" with the initial settings on the horses page of the largest race: marks, three runs
// over the race, the page rebuilt, the status line made again as the window makes it.
void BM_GoLargestRace(benchmark::State &state)
{
    card().clean();
    card().showLargestRace();
    kel::Module1 &m = card().module();
    kel::MemoryForm &f = card().form();
    kel::ScriptedDialogs d;
    for (auto _ : state) {
        state.PauseTiming();
        kel::ClearMarks(m, true); // CurrentRace is the largest race: its marks only
        state.ResumeTiming();
        kel::Command4_Click(m, f, d);
        statusLine(m, f);
        benchmark::ClobberMemory();
    }
    if (!d.shown().empty())
        state.SkipWithError("Go! refused the settings");
    card().clean();
}

// The S key on the horses page of the largest race: marks, three runs, the page rebuilt, the
// status line.
void BM_ScratchKey(benchmark::State &state)
{
    card().clean();
    card().showLargestRace();
    kel::Module1 &m = card().module();
    kel::MemoryForm &f = card().form();
    for (auto _ : state) {
        state.PauseTiming();
        kel::ClearMarks(m, true);
        f.MSF().setRow(kScratchRow);
        state.ResumeTiming();
        kel::MSF_KeyPress(m, f, 'S');
        statusLine(m, f);
        benchmark::ClobberMemory();
    }
    if (m.Data(kLargestRace, kScratchRow, 1, 0) != "S")
        state.SkipWithError("S did not scratch the horse");
    card().clean();
}

void BM_ShowRaceList(benchmark::State &state)
{
    card().clean();
    kel::Module1 &m = card().module();
    kel::MemoryForm &f = card().form();
    for (auto _ : state) {
        kel::ShowRaceList(m, f);
        benchmark::ClobberMemory();
    }
    state.counters["rows"] = f.MSF().rows();
}

void BM_ShowRaceHorses(benchmark::State &state)
{
    card().clean();
    kel::Module1 &m = card().module();
    kel::MemoryForm &f = card().form();
    m.CurrentRace = kLargestRace;
    for (auto _ : state) {
        m.ViewPage = 2; // a rebuild, as after a command or ESC from the PP page
        kel::ShowRaceHorses(m, f);
        benchmark::ClobberMemory();
    }
    state.counters["rows"] = f.MSF().rows();
}

void BM_ShowHorsePPs(benchmark::State &state)
{
    card().clean();
    kel::Module1 &m = card().module();
    kel::MemoryForm &f = card().form();
    m.CurrentRace = kLargestRace;
    m.CurrentHorse = 1;
    for (auto _ : state) {
        m.ViewPage = 3;
        kel::ShowHorsePPs(m, f);
        benchmark::ClobberMemory();
    }
    state.counters["rows"] = f.MSF().rows();
}

// "Print" on the horses page of the largest race, with 10 PPs a horse.
void BM_PrintRace(benchmark::State &state)
{
    card().clean();
    card().showLargestRace();
    kel::Module1 &m = card().module();
    kel::MemoryForm &f = card().form();
    kel::RecordingPrinter printer;
    kel::PrintRequest request;
    request.printLastPPs = true;
    request.ppCount = 10;
    for (auto _ : state) {
        printer.clear();
        kel::PrintReport(m, f, printer, request);
        benchmark::ClobberMemory();
    }
    state.counters["events"] = double(printer.events().size());
    state.counters["pages"] = printer.pages();
}

} // namespace

BENCHMARK(BM_Floor)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadAndRate)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OpenCommand)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadCardFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadCardFromMemory)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ScanLines)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ComputeRatings345)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GoFullCardInitial)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GoFullCardUnticked)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GoLargestRace)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_ScratchKey)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_StatusLineCard)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_ShowRaceList)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_ShowRaceHorses)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_ShowHorsePPs)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_PrintRace)->Unit(benchmark::kMicrosecond)->UseRealTime();

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    try {
        card(); // written and loaded before the first timing
    } catch (const std::exception &e) {
        std::fprintf(stderr, "kel_bench: %s\n", e.what());
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
