// kel-make-card: writes a random, valid race card for tests and benchmarks.
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "bench/card_generator.h"

namespace {

constexpr const char *kUsage
    = "usage: kel-make-card [--seed N] [--races R] [--horses H] [--pps P] [--ragged] OUT.kel\n"
      "  R 0..41 (default 41), H 0..21 (default 21), P 0..100 (default 100), seed default 1.\n"
      "  --ragged: each race 0..H horses and each horse 0..P PPs instead of exactly H and P.\n";

int usageError(const std::string &message)
{
    std::fprintf(stderr, "kel-make-card: %s\n%s", message.c_str(), kUsage);
    return 2;
}

template <class T>
bool parseNumber(std::string_view text, T &out)
{
    const char *end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc() && ptr == end && !text.empty();
}

} // namespace

int main(int argc, char **argv)
{
    kel::CardShape shape;
    uint64_t seed = 1;
    std::string out;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        auto number = [&](auto &target, long lo, long hi) -> bool {
            if (i + 1 >= argc)
                return false;
            long v = 0;
            if (!parseNumber(std::string_view(argv[i + 1]), v) || v < lo || v > hi)
                return false;
            target = static_cast<std::remove_reference_t<decltype(target)>>(v);
            ++i;
            return true;
        };
        if (arg == "--seed") {
            if (i + 1 >= argc || !parseNumber(std::string_view(argv[i + 1]), seed))
                return usageError("--seed needs a whole number");
            ++i;
        } else if (arg == "--races") {
            if (!number(shape.races, 0, kel::CardShape::kMaxRaces))
                return usageError("--races needs a number from 0 to 41");
        } else if (arg == "--horses") {
            if (!number(shape.horses, 0, kel::CardShape::kMaxHorses))
                return usageError("--horses needs a number from 0 to 21");
        } else if (arg == "--pps") {
            if (!number(shape.pps, 0, kel::CardShape::kMaxPPs))
                return usageError("--pps needs a number from 0 to 100");
        } else if (arg == "--ragged") {
            shape.ragged = true;
        } else if (arg == "-h" || arg == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return usageError("unknown option " + std::string(arg));
        } else if (out.empty()) {
            out = arg;
        } else {
            return usageError("only one output file");
        }
    }
    if (out.empty())
        return usageError("no output file");

    const std::string card = kel::GenerateCard(seed, shape);
    std::FILE *f = std::fopen(out.c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "kel-make-card: cannot write %s: %s\n", out.c_str(), std::strerror(errno));
        return 1;
    }
    const bool ok = std::fwrite(card.data(), 1, card.size(), f) == card.size();
    if (std::fclose(f) != 0 || !ok) {
        std::fprintf(stderr, "kel-make-card: cannot write %s: %s\n", out.c_str(), std::strerror(errno));
        return 1;
    }
    return 0;
}
