#pragma once

#include <cstddef>
#include <string>

#include "store/result.h"
#include "store/text_buffer.h"

namespace kel {

// The largest card read: a full one (41 races of 21 horses of 100 PPs) is some 12 MB.
inline constexpr std::size_t kMaxCardBytes = std::size_t(64) << 20;

// The whole content of a file, with front room for LoadCard, or the error "cannot read PATH:
// reason". Only regular files of at most kMaxCardBytes are read; nothing waits: a directory, a
// named pipe or a device is refused, and so is a file that would not give its bytes at once.
Result<TextBuffer> ReadCardFile(const std::string &path);

// True when path (empty: standard output) is the card's own file, through whatever path or
// link: the same device and inode. Nothing is written over a card.
bool IsCardItself(const std::string &path, const std::string &card);

} // namespace kel
