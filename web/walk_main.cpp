// kel-walk CARD [--text]: the exactness walk of a card (web/walk.h) natively, as its digest and
// length, or whole with --text; what the WebAssembly build's walk must give byte for byte.
#include <filesystem>
#include <iostream>
#include <string>

#include "store/number_text.h"
#include "web/walk.h"

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::cerr << "usage: kel-walk CARD.kel [--text]\n";
        return 2;
    }
    const std::filesystem::path card = std::filesystem::absolute(argv[1]);
    const std::string text = kel::WalkTranscript(card.parent_path().string(), card.filename().string());
    if (argc > 2 && std::string(argv[2]) == "--text")
        std::cout << text;
    else
        std::cout << kel::Digest(text) << ' ' << kel::DecimalText(static_cast<long long>(text.size())) << '\n';
    return 0;
}
