#pragma once

// A locale that writes "9,5" for 9.5, as a user's desktop may run under: numbers must read and
// write the same in it as in "C". The machine need not have it installed: it is compiled with
// localedef into a folder of its own, once for all the tests, and used through LOCPATH.
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace kel::testing {

inline constexpr const char *kCommaLocale = "de_DE.UTF-8";

// The LOCPATH folder that holds kCommaLocale, or "" when localedef cannot make it. Tests running
// side by side may all get here first: each compiles into a folder of its own and renames it
// into place, so nobody reads half a locale.
inline std::string CommaLocalePath()
{
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / "kel_test_locales";
    const auto made = [&] { return fs::exists(dir / kCommaLocale / "LC_NUMERIC"); };
    if (made())
        return dir.string();
    const fs::path work = fs::temp_directory_path() / ("kel_test_locales_" + std::to_string(::getpid()));
    std::error_code ec;
    fs::create_directories(work, ec);
    const std::string command = "localedef -i de_DE -f UTF-8 '" + (work / kCommaLocale).string() + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) != -1 && fs::exists(work / kCommaLocale / "LC_NUMERIC")) {
        fs::create_directories(dir, ec);
        fs::rename(work / kCommaLocale, dir / kCommaLocale, ec);
    }
    fs::remove_all(work, ec);
    return made() ? dir.string() : std::string();
}

// The process runs under kCommaLocale, as QApplication's setlocale(LC_ALL, "") puts it when the
// user's desktop asks for it, until the scope ends and "C" is back.
class CommaLocaleScope
{
public:
    CommaLocaleScope()
    {
        const std::string path = CommaLocalePath();
        if (path.empty())
            return;
        ::setenv("LOCPATH", path.c_str(), 1);
        m_active
            = std::setlocale(LC_ALL, kCommaLocale) != nullptr && std::string(std::localeconv()->decimal_point) == ",";
    }
    ~CommaLocaleScope() { std::setlocale(LC_ALL, "C"); }
    CommaLocaleScope(const CommaLocaleScope &) = delete;
    CommaLocaleScope &operator=(const CommaLocaleScope &) = delete;

    // Whether the locale is in force (localedef and the de_DE sources of Debian's "locales").
    bool active() const { return m_active; }

private:
    bool m_active = false;
};

} // namespace kel::testing
