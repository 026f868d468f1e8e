#pragma once

#include <ostream>

#include "store/module1.h"

namespace kel {

struct TableStyle
{
    bool odds = false;  // each horse's share and fair odds (RaceFairOdds) after its other columns
    bool excel = false; // CSV: byte-order mark, CR LF, and a quote before cells a spreadsheet would run
};

// The horses of the card, or of one race when race is not 0, as RFC 4180 CSV (LF line ends).
void WriteCsv(const Module1 &m, int race, std::ostream &out, TableStyle style = {});

// The card as JSON: races with their slots, horses with theirs, and each horse's PPs.
void WriteJson(const Module1 &m, int race, std::ostream &out, TableStyle style = {});

} // namespace kel
