// The exactness walk in the test module: walk(name, bytes) gives what kel-walk gives natively.
#include <emscripten/bind.h>

#include <cstdio>
#include <filesystem>

#include "store/number_text.h"
#include "web/walk.h"

namespace {

std::string walk(const std::string &name, const std::string &bytes, bool text)
{
    std::filesystem::create_directories("/walk");
    const std::string path = "/walk/" + name;
    if (FILE *file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
    const std::string transcript = kel::WalkTranscript("/walk", name);
    std::filesystem::remove(path);
    if (text)
        return transcript;
    return kel::Digest(transcript) + ' ' + kel::DecimalText(static_cast<long long>(transcript.size())) + '\n';
}

} // namespace

EMSCRIPTEN_BINDINGS(kelsoft_walk)
{
    emscripten::function("walk", &walk);
}
