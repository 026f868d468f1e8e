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

// What will not do as the card's maker probably meant, in line order: the loader's notes, then
// records that end a list early, fields a page never shows because one before them is empty,
// figures that are not figures, places without "º", and what the Settings filter cannot read.
std::vector<CheckNote> CheckCard(const Module1 &m, const LoadReport &report, const RecordLines &lines);

// What File, Open makes of the card's file name (line 0): a name it does not list or refuses.
std::vector<CheckNote> CheckCardName(std::string_view fileName);

} // namespace kel
