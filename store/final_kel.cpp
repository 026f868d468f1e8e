#include "store/final_kel.h"

#include <cmath>
#include <cstring>

#include "store/number_text.h"

namespace kel {

namespace {

// Reads eight bytes whatever the text's size.
uint64_t packed(std::string_view text)
{
    uint64_t x;
    std::memcpy(&x, text.data(), 8);
    return text.size() == 8 ? x : x & ((uint64_t(1) << (8 * text.size())) - 1);
}

} // namespace

std::size_t PutFinalKel(std::string_view kel, std::string_view early, char *out)
{
    if (early != kNoFigure) {
        const auto x = PercentNumber(kel);
        const auto y = PercentNumber(early);
        if (x && y && std::isfinite(2 * *x - *y)) {
            char *end = PutGeneralNumber(2 * *x - *y, out);
            *end++ = '%';
            return static_cast<std::size_t>(end - out);
        }
    }
    std::memcpy(out, kNoFigure.data(), kNoFigure.size());
    return kNoFigure.size();
}

std::string FinalKel(std::string_view kel, std::string_view early)
{
    char buf[kMaxFinalKelLength];
    return std::string(buf, PutFinalKel(kel, early, buf));
}

FinalKelMemo::FinalKelMemo() : m_entries(kEntries)
{}

std::size_t FinalKelMemo::put(std::string_view kel, std::string_view early, char *out)
{
    if (kel.size() > 8 || early.size() > 8)
        return PutFinalKel(kel, early, out);
    const uint64_t k = packed(kel);
    const uint64_t e = packed(early);
    const auto lengths = static_cast<uint16_t>(kel.size() << 8 | early.size());
    const uint64_t hash = (k * 0x9E3779B97F4A7C15ull) ^ (e * 0xC2B2AE3D27D4EB4Full) ^ lengths;
    Entry &entry = m_entries[static_cast<std::size_t>(hash >> 53) % kEntries];
    if (entry.kel == k && entry.early == e && entry.lengths == lengths) {
        std::memcpy(out, entry.text, sizeof entry.text);
        return entry.size;
    }
    const std::size_t size = PutFinalKel(kel, early, out);
    if (size <= sizeof entry.text) {
        entry.kel = k;
        entry.early = e;
        entry.lengths = lengths;
        entry.size = static_cast<uint8_t>(size);
        std::memcpy(entry.text, out, size);
    }
    return size;
}

} // namespace kel
