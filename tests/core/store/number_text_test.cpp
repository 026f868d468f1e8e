#include "store/number_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cstdint>
#include <random>
#include <string>
#include <version>

namespace kel {
namespace {

#if defined(__cpp_lib_to_chars) && __cpp_lib_to_chars >= 201611L

// What a read gives: the error, how far it read, and the value's bits (a sentinel when left).
struct Read
{
    std::errc ec;
    std::ptrdiff_t length;
    uint64_t bits;
    bool operator==(const Read &) const = default;
};

constexpr double kSentinel = -12345.678;

template <class F>
Read readWith(F read, const std::string &text)
{
    double value = kSentinel;
    const auto res = read(text.data(), text.data() + text.size(), value);
    return {res.ec, res.ptr - text.data(), std::bit_cast<uint64_t>(value)};
}

void expectSameRead(const std::string &text)
{
    const auto standard
        = [](const char *f, const char *l, double &v) { return std::from_chars(f, l, v, std::chars_format::fixed); };
    const Read want = readWith(standard, text);
    const Read got = readWith(ReadFixedPortable, text);
    ASSERT_TRUE(got == want) << "'" << text << "': ec " << int(got.ec) << " / " << int(want.ec) << ", read "
                             << got.length << " / " << want.length << ", bits " << got.bits << " / " << want.bits;
}

void expectSameScientific(double value, int precision)
{
    char want[64], got[64];
    const std::string_view w(
        want, std::to_chars(want, want + sizeof want, value, std::chars_format::scientific, precision).ptr - want);
    const std::string_view g(got, PutScientificPortable(value, precision, got) - got);
    ASSERT_EQ(g, w) << "bits " << std::bit_cast<uint64_t>(value) << ", precision " << precision;
}

std::string digits(std::mt19937_64 &rng, std::size_t n)
{
    std::string s(n, '0');
    for (char &c : s)
        c = static_cast<char>('0' + rng() % 10);
    return s;
}

// The portable road reads and writes what the standard library does, bit for bit: 1.4 million
// values of every kind the core reads or writes, and the edges of a double's range.
TEST(NumberText, PortableRoadReadsAndWritesAsTheStandardLibrary)
{
    const std::string kEdges[]
        = {"", "-", ".", "-.", "0", "-0", "0.000", "1.", ".5", "-.5", "+1", " 1", "1e5", "1.5.5", "inf", "-inf",
           "infinity", "nan", "-nan(x)", "1x", "00000000000000000000000000001.5",
           // At the top of the range and just past it (the halfway point rounds up to infinity).
           "17976931348623157081452742373170435679807056752584499659891747680315726078002853876058955863276687817154045"
           "89535143824642343213268894641827684675467035375169860499105765512820762454900903893289440758685084551339423"
           "04583236903222948165808559332123348274797826204144723168738177180919299881250404026184124858368",
           "17976931348623158079372897140530341507993413271003782693617377898044496829276475094664901797758720709633028"
           "64166928879109465555478519404026306574886715058206819089020007083836762738548458177115317644757302700698555"
           "71366959622842914819860834936475292719074168444365510704342711559699508093042880177904174497792",
           "17976931348623158079372897140530341507993413271003782693617377898044496829276475094664901797758720709633028"
           "64166928879109465555478519404026306574886715058206819089020007083836762738548458177115317644757302700698555"
           "71366959622842914819860834936475292719074168444365510704342711559699508093042880177904174497791",
           // Below the smallest subnormal, at half of it and just above.
           "0." + std::string(323, '0') + "1", "0." + std::string(323, '0') + "247032822920623272",
           "0." + std::string(323, '0') + "247032822920623273", "-0." + std::string(400, '0') + "5"};
    for (const std::string &t : kEdges)
        expectSameRead(t);

    std::mt19937_64 rng(11);
    for (int i = 0; i < 200000; ++i) {
        // Random bits, written out in full fixed form and read back; in scientific form at the
        // figures' precision and at others.
        const double bits = std::bit_cast<double>(rng());
        char fixed[400];
        const auto written = std::to_chars(fixed, fixed + sizeof fixed, bits, std::chars_format::fixed);
        expectSameRead(std::string(fixed, written.ptr));
        expectSameScientific(bits, 14);
        expectSameScientific(bits, static_cast<int>(rng() % 18));

        // A figure as cards write them, a long text with the point anywhere, and a huge or tiny
        // one near the ends of the range.
        const std::string figure = (rng() % 4 ? "" : "-") + digits(rng, 1 + rng() % 4) + "." + digits(rng, rng() % 4);
        expectSameRead(figure);
        std::string longText = digits(rng, 16 + rng() % 120);
        longText.insert(rng() % longText.size(), ".");
        expectSameRead(longText);
        const std::string huge = digits(rng, 300 + rng() % 20);
        const std::string tiny = "0." + std::string(300 + rng() % 30, '0') + digits(rng, 1 + rng() % 20);
        expectSameRead(rng() % 2 ? huge : tiny);

        // Few digits at any scale, subnormals included: as the figures' differences mostly are.
        std::string shortText = digits(rng, 1 + rng() % 15) + "e";
        char power[8];
        shortText.append(power, std::to_chars(power, power + sizeof power, int(rng() % 660) - 340).ptr);
        double shortValue = 0;
        std::from_chars(shortText.data(), shortText.data() + shortText.size(), shortValue);
        expectSameScientific(shortValue, 14);
        expectSameScientific(-shortValue, static_cast<int>(rng() % 16));
        if (HasFatalFailure())
            return;
    }
}

#endif

} // namespace
} // namespace kel
