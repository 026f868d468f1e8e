#pragma once

#include <cstddef>
#include <string>

#include "store/result.h"
#include "store/text_buffer.h"

namespace kel {

// The largest card read: a full one (41 races of 21 horses of 100 PPs) is some 12 MB.
inline constexpr std::size_t kMaxCardBytes = std::size_t(64) << 20;

// With front room for LoadCard, or "cannot read PATH: reason". Nothing waits: only a regular file
// of at most kMaxCardBytes that gives its bytes at once is read.
Result<TextBuffer> ReadCardFile(const std::string &path);

// Nothing is written over a card, through whatever path or link; an empty path is standard output.
bool IsCardItself(const std::string &path, const std::string &card);

} // namespace kel
