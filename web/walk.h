#pragma once

#include <cstdint>
#include <string>

#include "printing/print_report.h"
#include "printing/recorded_document.h"

namespace kel {

// What the exactness checks compare between the native and the WebAssembly build: the open with
// its boxes, the tables, every page by double-click and ESC, scratches, "Go!", the tables again,
// and the printed report event by event, measured with the font table.
std::string WalkTranscript(const std::string &directory, const std::string &name);

// One event a line, every figure with all its digits.
std::string PrintTranscript(Module1 &m, Form &f, const PrintRequest &request, TextMeasure &measure);

// FNV-1a, 64 bits, as 16 hexadecimal digits: what a long transcript is compared by.
std::string Digest(const std::string &text);

} // namespace kel
