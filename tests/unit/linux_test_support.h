#pragma once
// What the tests of the Linux backend share: a scratch folder, the count of open descriptors,
// environment variables put back as they were.

#include <stdlib.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

namespace corvane::test {

// Every descriptor the process has open, to show that none is left behind.
inline long openFiles() {
    namespace fs = std::filesystem;
    return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator{});
}

// A file's whole text, and a file written with exactly the text given (its folders made).
inline std::string slurp(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();  // a folder or a failing read gives what was read, without throwing
    return text.str();
}
inline void spit(const std::filesystem::path& p, const std::string& text) {
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
}

// A new empty folder in /tmp itself, whatever TMPDIR says (a socket's path must stay within about 100
// characters), removed with everything in it at the end.
class ScratchFolder {
  public:
    ScratchFolder() {
        char name[] = "/tmp/corvane-test-XXXXXX";
        if (!::mkdtemp(name)) throw std::system_error(errno, std::generic_category(), "mkdtemp");
        path_ = name;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// Environment variables changed for a while and put back as they were, the time zone read again.
class ScopedEnv {
  public:
    ScopedEnv(std::initializer_list<const char*> names) {
        for (const char* name : names) {
            const char* value = std::getenv(name);
            saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
    }
    ~ScopedEnv() {
        for (const auto& [name, value] : saved_) set(name, value ? value->c_str() : nullptr);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;
    // Sets the variable, or removes it for nullptr.
    static void set(const char* name, const char* value) {
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
        ::tzset();
    }

  private:
    std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

}  // namespace corvane::test
