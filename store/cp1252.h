#pragma once

namespace kel {

// The UTF-8 of the Windows-1252 byte c >= 0x80 at out (three bytes writable); returns the end.
// The five bytes the code page leaves undefined map to the C1 control of that number, as in Windows.
inline char *PutCp1252AsUtf8(unsigned char c, char *out)
{
    static constexpr char16_t kHighTable[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    };
    const char16_t cp = c < 0xA0 ? kHighTable[c - 0x80] : char16_t(c);
    if (cp < 0x800) {
        *out++ = static_cast<char>(0xC0 | (cp >> 6));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
        return out;
    }
    *out++ = static_cast<char>(0xE0 | (cp >> 12));
    *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    return out;
}

} // namespace kel
