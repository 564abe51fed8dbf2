#pragma once
// Switches the C library to a locale that writes one and a half as "1,5", as a desktop session in
// such a language does before the settings are read, and back to "C" at the end of the scope. Where
// the system lacks one it is built from the locales package's sources into a folder LOCPATH names.

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
        active_ = tryNames();
#ifndef _WIN32
        if (active_) return;
        namespace fs = std::filesystem;
        const fs::path dir = fs::temp_directory_path() / "corvane-test-locales", built = dir / "de_DE.UTF-8";
        std::error_code ec;
        if (!fs::exists(built, ec)) {
            // Built aside and renamed into place, so a test running beside this one never sees half.
            const fs::path mine = dir / ("de_DE.UTF-8." + std::to_string(::getpid()));
            fs::create_directories(dir, ec);
            const std::string make = "localedef -i de_DE -f UTF-8 '" + mine.string() + "' >/dev/null 2>&1";
            if (std::system(make.c_str()) == 0) fs::rename(mine, built, ec);
            fs::remove_all(mine, ec);
        }
        ::setenv("LOCPATH", dir.c_str(), 1);
        active_ = tryNames();
        ::unsetenv("LOCPATH");  // the locale is loaded; later look-ups use the system's again
#endif
    }
    ~DecimalCommaLocale() { std::setlocale(LC_ALL, "C"); }
    DecimalCommaLocale(const DecimalCommaLocale&) = delete;
    DecimalCommaLocale& operator=(const DecimalCommaLocale&) = delete;

    bool active() const { return active_; }
    static const char* whyNot() {
        return "no decimal-comma locale, and localedef (package locales) cannot make one";
    }

  private:
    static bool tryNames() {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "de-DE", "German_Germany.1252"})
            if (std::setlocale(LC_ALL, name) && std::localeconv()->decimal_point == std::string(","))
                return true;
        std::setlocale(LC_ALL, "C");
        return false;
    }
    bool active_ = false;
};

}  // namespace corvane::test
