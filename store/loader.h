#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/race_store.h"

namespace kel {

// Something of the file that did not fit the store and was left out.
struct LoadNote
{
    int line = 0; // 1-based line number in the file
    std::string what;
};

struct LoadReport
{
    int lines = 0;                 // lines read, empty ones included
    std::vector<LoadNote> dropped; // the first 1000 of them
    std::size_t droppedCount = 0;
};

// The largest card read: a full one (41 races of 21 horses of 100 PPs) is some 12 MB.
inline constexpr std::size_t kMaxCardBytes = std::size_t(64) << 20;

// Windows-1252 bytes as UTF-8 (0xBA becomes "º"). Bytes the code page leaves undefined map to
// the C1 control of the same number, as Windows itself does.
std::string DecodeWindows1252(std::string_view bytes);

// Re-creates the store and files every race, horse and PP line of the card into it, with the
// Final KEL figure of each PP. Lines ending in CR LF or LF alike. A card that starts with a
// UTF-8 byte-order mark is taken as UTF-8 when it is (the mark dropped). Never fails: what does
// not fit the store is skipped and listed in the report, as is anything past kMaxCardBytes.
LoadReport LoadCard(std::string_view bytes, RaceStore &store);
// The same, taking over the bytes: the store's text is then written over them, in the buffer's
// front room first (ReadCardFile leaves some), which spares a second buffer of the card's size.
LoadReport LoadCard(TextBuffer &&bytes, RaceStore &store);

// Whether the loader may scan 32 bytes at a time on processors with AVX2 (the default). Off,
// it takes the 16-byte road of every x86-64 processor; the tests compare the two.
void SetWideScan(bool allowed);

// The Final KEL figure from the KEL and Early KEL texts: 2 * KEL - Early, in general number
// form followed by "%"; "----" when Early is "----" or either text is not a figure.
std::string FinalKel(std::string_view kel, std::string_view early);

// The whole content of a file, with front room for LoadCard, or nothing with the reason in
// error. Only regular files of at most kMaxCardBytes are read; nothing waits: a directory, a
// named pipe or a device is refused, and so is a file that would not give its bytes at once.
std::optional<TextBuffer> ReadCardFile(const std::string &path, std::string &error);

} // namespace kel
