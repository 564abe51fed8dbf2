#pragma once
// Switches the C library to a locale that writes one and a half as "1,5", the way a desktop session
// in such a language does before the settings are read, and back to "C" at the end of the scope.

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace corvane::test {

class DecimalCommaLocale {
  public:
    DecimalCommaLocale() {
        if (tryNames()) return;
#ifndef _WIN32
        // A system without the locale: build it from the locales package's sources into a folder of
        // our own, which the C library searches when LOCPATH names it.
        const auto dir = std::filesystem::temp_directory_path() / "corvane-test-locales";
        const auto built = dir / "de_DE.UTF-8";
        std::error_code ec;
        if (!std::filesystem::exists(built, ec)) {
            // Built aside and renamed into place, so a test running beside this one never sees half.
            const auto mine = dir / ("de_DE.UTF-8." + std::to_string(::getpid()));
            std::filesystem::create_directories(dir, ec);
            const std::string cmd = "localedef -i de_DE -f UTF-8 '" + mine.string() + "' >/dev/null 2>&1";
            (void)std::system(cmd.c_str());  // it warns, and may fail, with the output still usable
            std::filesystem::rename(mine, built, ec);
            std::filesystem::remove_all(mine, ec);
        }
        ::setenv("LOCPATH", dir.c_str(), 1);
        const bool ok = tryNames();
        ::unsetenv("LOCPATH");  // the data is loaded; later look-ups use the system's again
        if (ok) return;
        why_ = "no decimal-comma locale: neither installed nor buildable with localedef (package locales)";
#else
        why_ = "no decimal-comma locale on this system";
#endif
    }
    ~DecimalCommaLocale() { std::setlocale(LC_ALL, "C"); }
    DecimalCommaLocale(const DecimalCommaLocale&) = delete;
    DecimalCommaLocale& operator=(const DecimalCommaLocale&) = delete;

    bool active() const { return why_.empty(); }
    const std::string& whyNot() const { return why_; }

  private:
    static bool tryNames() {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "de-DE", "German_Germany.1252"})
            if (std::setlocale(LC_ALL, name) && std::localeconv()->decimal_point == std::string(","))
                return true;
        std::setlocale(LC_ALL, "C");
        return false;
    }
    std::string why_;
};

}  // namespace corvane::test
