#pragma once

// de_DE.UTF-8 writes 9.5 as "9,5". The machine need not have it: it is compiled with localedef
// (Debian's "locales") once for all tests into the build folder, in a folder of its own renamed
// into place, and used through LOCPATH. Returns that folder, or "" when it cannot be made.
#include <sys/wait.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace kel::testing {

inline constexpr const char *kCommaLocale = "de_DE.UTF-8";

inline std::string CommaLocalePath()
{
    namespace fs = std::filesystem;
    const fs::path dir = fs::path(KEL_TEST_CACHE_DIR) / "locales";
    const fs::path work = dir.string() + "_" + std::to_string(::getpid());
    std::error_code ec;
    if (!fs::exists(dir / kCommaLocale / "LC_NUMERIC")) {
        fs::create_directories(dir, ec);
        fs::create_directories(work, ec);
        // Put in place only when whole; a test that lost the race to another drops its own.
        const int status = std::system(
            ("localedef -i de_DE -f UTF-8 '" + (work / kCommaLocale).string() + "' >/dev/null 2>&1").c_str());
        if (status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0)
            fs::rename(work / kCommaLocale, dir / kCommaLocale, ec);
        fs::remove_all(work, ec);
    }
    return fs::exists(dir / kCommaLocale / "LC_NUMERIC") ? dir.string() : std::string();
}

// The process under kCommaLocale, as QApplication's setlocale(LC_ALL, "") puts it on such a
// desktop, until the scope ends.
struct CommaLocaleScope
{
    CommaLocaleScope()
    {
        const std::string path = CommaLocalePath();
        ::setenv("LOCPATH", path.c_str(), 1);
        active = !path.empty() && std::setlocale(LC_ALL, kCommaLocale)
                 && std::string(std::localeconv()->decimal_point) == ",";
    }
    ~CommaLocaleScope() { std::setlocale(LC_ALL, "C"); }
    bool active = false;
};

} // namespace kel::testing
