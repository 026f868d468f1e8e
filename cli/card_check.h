#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "store/loader.h"
#include "store/module1.h"

namespace kel {

struct CheckNote
{
    int line = 0; // 1-based line of the card; 0 for the card as a whole
    std::string what;
};

// Everything of a card that will not do what its maker probably meant, in line order: the
// lines the loader left out, cut or filed where no page shows them (from its report), and in
// the loaded card the records that end a list early, fields a page never shows because one
// before them is empty, figures that are not figures, places without "º", and dates, purses and
// distances the Settings filter cannot read. lines: the record lines of the load of m.
std::vector<CheckNote> CheckCard(const Module1 &m, const LoadReport &report, const RecordLines &lines);

// What File, Open makes of the card's file name (line 0): a name it does not list or refuses.
std::vector<CheckNote> CheckCardName(std::string_view fileName);

} // namespace kel
