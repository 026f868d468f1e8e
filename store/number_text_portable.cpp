// Apart, so that only its callers (the WebAssembly build, the number test) link fast_float and fmt.
#include "store/number_text.h"

#include <algorithm>
#include <cmath>

#define FMT_HEADER_ONLY
#include <fast_float/fast_float.h>
#include <fmt/compile.h>
#include <fmt/format.h>

namespace kel {

std::from_chars_result ReadFixedPortable(const char *first, const char *last, double &value) noexcept
{
    double read = 0;
    const fast_float::from_chars_result res
        = fast_float::from_chars(first, last, read, fast_float::chars_format::fixed);
    if (res.ec != std::errc())
        return {res.ptr, res.ec};
    // fast_float gives an infinity or 0 where the digits are beyond a double's range; the
    // standard library calls that out of range (but not for a text "inf" or a zero written out).
    const char *digits = first + (*first == '-');
    const bool number = digits < res.ptr && ((*digits >= '0' && *digits <= '9') || *digits == '.');
    if (number && (std::isinf(read) || (read == 0 && std::any_of(digits, res.ptr, [](char c) {
                                            return c >= '1' && c <= '9';
                                        }))))
        return {res.ptr, std::errc::result_out_of_range};
    value = read;
    return {res.ptr, std::errc()};
}

char *PutScientificPortable(double value, int precision, char *out)
{
    return fmt::format_to(out, FMT_COMPILE("{:.{}e}"), value, precision);
}

} // namespace kel
