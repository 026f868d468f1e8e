#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "store/loader.h"
#include "store/module1.h"

namespace kel {

struct CheckNote
{
    int line = 0; // 1-based line of the card
    std::string what;
};

// Everything of a card that will not do what its maker probably meant, in line order: the
// lines the loader left out, cut or filed where no page shows them (from its report), and in
// the loaded card the records that
// end a list early, figures that are not figures, places without "º", and dates, purses and
// distances the Settings filter cannot read. bytes are the file's bytes that m was loaded from.
std::vector<CheckNote> CheckCard(std::string_view bytes, const Module1 &m, const LoadReport &report);

} // namespace kel
