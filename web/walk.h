#pragma once

#include <cstdint>
#include <string>

#include "printing/print_report.h"
#include "printing/recorded_document.h"

namespace kel {

// What the exactness checks compare between the native build and the WebAssembly one, as text:
// the card opened by the open command from directory/name with the boxes it shows; the CSV and
// the JSON with and without the odds; every page reachable by double-click and ESC; S on every
// other horse of the largest race; the Settings frame's "Go!" with a date and the muddy races
// unticked; the JSON and CSV again; and the printed report of every race with four PPs a horse,
// event by event, measured with the font table.
std::string WalkTranscript(const std::string &directory, const std::string &name);

// The report printed onto a letter page measured by measure, event by event, one a line, every
// figure with all its digits.
std::string PrintTranscript(Module1 &m, Form &f, const PrintRequest &request, TextMeasure &measure);

// FNV-1a, 64 bits, as 16 hexadecimal digits: what a long transcript is compared by.
std::string Digest(const std::string &text);

} // namespace kel
