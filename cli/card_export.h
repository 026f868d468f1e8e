#pragma once

#include <ostream>

#include "store/module1.h"

namespace kel {

// The horses of the card, or of one race when race is not 0, as RFC 4180 CSV (LF line ends).
void WriteCsv(const Module1 &m, int race, std::ostream &out);

// The card as JSON: races with their slots, horses with theirs, and each horse's PPs.
void WriteJson(const Module1 &m, int race, std::ostream &out);

} // namespace kel
