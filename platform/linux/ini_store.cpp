#include "platform/linux/ini_store.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <system_error>

#include "platform/linux/interrupted.h"
#include "platform/linux/path_text.h"
#include "platform/text.h"

namespace corvane {

namespace {

constexpr std::uintmax_t kMaxFileBytes = 1 << 20;   // a settings file is a few hundred bytes
const std::string kByteOrderMark = "\xEF\xBB\xBF";  // some editors start every UTF-8 file with it

std::string trim(const std::string& s) {
    const auto b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

bool sameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && strncasecmp(a.c_str(), b.c_str(), a.size()) == 0;
}

// Plain values are written as they are; only a value a line cannot hold as it is (a line break or
// NUL in it, or a quote first, which would read as quoted) is quoted, with "\\", "\"" and "\xHH"
// as the only escapes.
bool needsQuoting(const std::string& v) {
    return v.find_first_of(std::string("\r\n\0", 3)) != std::string::npos || (!v.empty() && v.front() == '"');
}

std::string encode(const std::string& v) {
    if (!needsQuoting(v)) return v;
    static const char kHex[] = "0123456789ABCDEF";
    std::string out = "\"";
    for (char c : v) {
        if (c == '\\' || c == '"') {
            out += '\\';
            out += c;
        } else if (c == '\n' || c == '\r' || c == '\0') {
            const auto b = static_cast<unsigned char>(c);
            out += {'\\', 'x', kHex[b >> 4], kHex[b & 15]};
        } else {
            out += c;
        }
    }
    return out + '"';
}

// A quoted value is read as the program's escaped form only when every backslash in it starts one of
// those escapes and every quote inside is escaped, which is all the program ever writes. Anything
// else between quotes was written by hand, like "C:\new\tone.wav", and is taken as it stands there.
std::string decode(const std::string& v) {
    if (v.size() < 2 || v.front() != '"' || v.back() != '"') return v;
    const std::string inner = v.substr(1, v.size() - 2);
    std::string out;
    for (std::size_t i = 0; i < inner.size(); ++i) {
        const char c = inner[i];
        const char next = inner[i + 1];  // '\0' past the end
        if (c == '"') return inner;
        if (c != '\\') {
            out += c;
        } else if (next == '\\' || next == '"') {
            out += next;
            ++i;
        } else if (next == 'x' && hexDigit(inner[i + 2]) >= 0 && hexDigit(inner[i + 3]) >= 0) {
            out += static_cast<char>(hexDigit(inner[i + 2]) * 16 + hexDigit(inner[i + 3]));
            i += 3;
        } else {
            return inner;
        }
    }
    return out;
}

std::string errnoText() { return std::strerror(errno); }

// The whole file, read with the system's calls rather than a file stream, for the reason parse() gives;
// false with errno set when it could not be read. Not blocking, for a FIFO put in its place after the
// check.
bool readWhole(const std::string& path, std::string& text) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    char buf[4096];
    ssize_t n;
    while ((n = retryInterrupted([&] { return ::read(fd, buf, sizeof buf); })) != 0) {
        if (n < 0 || text.size() + static_cast<std::size_t>(n) > kMaxFileBytes) break;
        text.append(buf, static_cast<std::size_t>(n));
    }
    const int readError = n < 0 ? errno : n > 0 ? EFBIG : 0;
    ::close(fd);
    errno = readError;
    return readError == 0;
}

// The file a path finally names: a settings file kept elsewhere and linked in (as dotfile managers
// do) is updated where it lives, and the link stays. A relative link is read from its own folder.
std::optional<std::string> resolveLinks(std::string p, std::error_code& ec) {
    for (int hop = 0; hop <= 40; ++hop) {  // forty links, the kernel's own limit, and the file
        struct stat st {};
        if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            ec.clear();
            return p;
        }
        // No path the system follows is longer than PATH_MAX: a target that fills the buffer is not one.
        // A failed call says why in errno; a target that fills the buffer leaves this there.
        std::string to(PATH_MAX, '\0');
        errno = ENAMETOOLONG;
        const ssize_t n = ::readlink(p.c_str(), to.data(), to.size());
        if (static_cast<std::size_t>(n) >= to.size()) {  // -1 (gone), or too long to follow
            ec = std::error_code(errno, std::generic_category());
            return std::nullopt;
        }
        to.resize(static_cast<std::size_t>(n));
        p = to.front() == '/' ? to : joinPath(parentPath(p), to);
    }
    ec = std::make_error_code(std::errc::too_many_symbolic_link_levels);
    return std::nullopt;
}

// Our temporary files: ".Corvane.ini.saving-" and mkstemp's six letters and digits, hidden and named
// so that no file of the user's (a "Corvane.ini.backup") can be mistaken for one.
std::string temporaryPrefix(const std::string& target) {
    return std::string(".").append(fileName(target)).append(".saving-");
}

// A save killed between creating its temporary file and renaming it leaves the file behind. A save in
// progress holds a lock on its temporary, so another running copy's file is left alone.
void removeStaleTemporaries(const std::string& target) {
    const std::string prefix = temporaryPrefix(target);
    auto isAlnum = [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    };
    const std::string folder = parentPath(target);
    DIR* dir = folder.empty() ? nullptr : ::opendir(folder.c_str());
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0 ||
            !std::all_of(name.end() - 6, name.end(), isAlnum))
            continue;
        const std::string path = joinPath(folder, name);
        const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(path.c_str());
        ::close(fd);
    }
    ::closedir(dir);
}

// The folder and every folder above it that is missing; a place taken by something else than a folder
// is an error.
std::error_code makeFolders(const std::string& folder) {
    for (std::size_t at = folder.find('/', 1); !folder.empty(); at = folder.find('/', at + 1)) {
        const std::string part = folder.substr(0, at);
        if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return {errno, std::generic_category()};
        if (at == std::string::npos) break;
    }
    struct stat st {};
    if (!folder.empty() && (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)))
        return std::make_error_code(std::errc::not_a_directory);
    return {};
}

// A file its owner took the write permission from, or one we may not write, is not replaced behind
// their back; a read-only file system is left to fail the save with its own reason.
bool isReadOnly(const std::string& target, const struct stat& st) {
    return !(st.st_mode & S_IWUSR) || (::access(target.c_str(), W_OK) != 0 && errno == EACCES);
}

}  // namespace

// ---- IniDocument ------------------------------------------------------------------------------

bool IniDocument::isBlankLine(const Line& l) { return l.key.empty() && trim(l.raw).empty(); }

IniDocument IniDocument::parse(const std::string& text) {
    IniDocument doc;
    doc.byteOrderMark_ = text.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0;
    // Split by hand, not through a string stream: the streams' locale machinery would stay resident
    // for the program's whole life for a file of a few lines. A last line without its line break
    // counts; nothing after the last line break does.
    const std::size_t start = doc.byteOrderMark_ ? kByteOrderMark.size() : 0;
    for (std::size_t at = start; at < text.size();) {
        const std::size_t eol = std::min(text.find('\n', at), text.size());
        std::string line = text.substr(at, eol - at);
        at = eol + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::string t = trim(line);
        if (t.starts_with('[') && t.find(']') != std::string::npos) {
            doc.sections_.push_back({trim(t.substr(1, t.find(']') - 1)), line, {}});
            continue;
        }
        const auto eq = line.find('=');
        const std::string key = eq == std::string::npos ? std::string() : trim(line.substr(0, eq));
        if (key.empty() || key.front() == ';' || key.front() == '#')
            doc.sections_.back().lines.push_back({{}, {}, line});
        else
            doc.sections_.back().lines.push_back({key, decode(line.substr(eq + 1)), line});
    }
    return doc;
}

std::string IniDocument::serialize() const {
    std::string out = byteOrderMark_ ? kByteOrderMark : "";
    for (const Section& s : sections_) {
        if (!s.header.empty()) out += s.header + '\n';
        for (const Line& l : s.lines)
            out += (l.key.empty() || !l.raw.empty() ? l.raw : l.key + '=' + encode(l.value)) + '\n';
    }
    return out;
}

IniDocument::Section* IniDocument::find(const std::string& name) {
    for (Section& s : sections_)
        if (!s.header.empty() && sameName(s.name, name)) return &s;
    return nullptr;
}

const IniDocument::Section* IniDocument::find(const std::string& name) const {
    return const_cast<IniDocument*>(this)->find(name);
}

std::optional<std::string> IniDocument::get(const std::string& section, const std::string& key) const {
    if (const Section* s = find(section))
        for (const Line& l : s->lines)
            if (!l.key.empty() && sameName(l.key, key)) return l.value;
    return std::nullopt;
}

void IniDocument::set(const std::string& section, const std::string& key, const std::string& value) {
    Section* s = find(section);
    if (!s) {
        // Keep a blank line between sections, as a person editing the file would.
        Section& last = sections_.back();
        const bool hasContent = !last.header.empty() || !last.lines.empty();
        if (hasContent && (last.lines.empty() || !isBlankLine(last.lines.back()))) last.lines.push_back({});
        sections_.push_back({section, "[" + section + "]", {}});
        s = &sections_.back();
    }
    for (Line& l : s->lines)
        if (!l.key.empty() && sameName(l.key, key)) {
            if (l.value == value) return;  // unchanged: the line stays as it was written
            l.value = value;
            l.raw.clear();  // rewritten in the program's own form; untouched entries keep theirs
            return;
        }
    // A new key goes after the section's last entry, before any blank lines that end the section.
    auto at = s->lines.end();
    while (at != s->lines.begin() && isBlankLine(*std::prev(at))) --at;
    s->lines.insert(at, {key, value, {}});
}

// ---- IniSettingsStore -------------------------------------------------------------------------

IniSettingsStore::IniSettingsStore(std::string configRoot, Reporter report)
    : root_(std::move(configRoot)), report_(std::move(report)) {}

std::string IniSettingsStore::defaultConfigRoot() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && *xdg == '/') return xdg;
    const char* home = std::getenv("HOME");
    return joinPath(home && *home ? home : "/", ".config");
}

std::string IniSettingsStore::fileFor(const std::string& app) const {
    return joinPath(joinPath(root_, app), app + ".ini");
}

void IniSettingsStore::ensureLoaded(const std::string& app) {
    if (loaded_ && loadedApp_ == app) return;
    loaded_ = true;
    loadedApp_ = app;
    readFailed_ = false;
    doc_ = {};
    const auto path = fileFor(app);
    std::error_code ec;
    if (const auto target = resolveLinks(path, ec)) removeStaleTemporaries(*target);
    struct stat st {};
    const int statError = ::stat(path.c_str(), &st) == 0 ? 0 : errno;
    if (statError == ENOENT || statError == ENOTDIR) return;  // first start: defaults
    auto fail = [&](const std::string& why) {
        readFailed_ = true;
        report_("cannot read settings file " + path + " (" + why +
                "); starting with default settings and leaving the file as it is");
    };
    if (statError != 0) return fail(std::strerror(statError));
    if (!S_ISREG(st.st_mode)) return fail("not a regular file");
    if (static_cast<std::uintmax_t>(st.st_size) > kMaxFileBytes)
        return fail("larger than " + std::to_string(kMaxFileBytes) + " bytes");
    std::string text;
    if (!readWhole(path, text)) return fail(errnoText());
    doc_ = IniDocument::parse(text);
}

std::optional<std::string> IniSettingsStore::readStored(const std::string& app, const std::string& section,
                                                        const std::string& key) {
    ensureLoaded(app);
    return doc_.get(section, key);
}

void IniSettingsStore::writeAll(const std::vector<SettingWrite>& writes) {
    // Writes come for one application; group them by it anyway, a file each.
    std::vector<std::string> apps;
    for (const auto& w : writes)
        if (std::find(apps.begin(), apps.end(), w.app) == apps.end()) apps.push_back(w.app);
    for (const std::string& app : apps) {
        ensureLoaded(app);
        const auto path = fileFor(app);
        if (readFailed_) {
            report_("settings not saved: " + path + " could not be read at start, so it was not replaced");
            continue;
        }
        IniDocument next = doc_;
        for (const auto& w : writes)
            if (w.app == app) next.set(w.section, w.key, w.text);
        const std::string text = next.serialize();

        auto fail = [&](const std::string& why) {
            report_("cannot save settings to " + path + " (" + why + "); the previous file is unchanged");
        };
        std::error_code ec = makeFolders(parentPath(path));
        std::optional<std::string> target;
        if (!ec) target = resolveLinks(path, ec);
        if (!target) {
            fail(ec.message());
            continue;
        }
        struct stat old {};
        if (::stat(target->c_str(), &old) == 0 && S_ISREG(old.st_mode) && isReadOnly(*target, old)) {
            if (!readOnlyReported_)
                report_("settings not saved: " + path + " is read-only, so it was left as it is");
            readOnlyReported_ = true;
            continue;
        }
        removeStaleTemporaries(*target);
        std::string why;
        if (!replaceFile(*target, text, why)) {
            fail(why);
            continue;
        }
        doc_ = std::move(next);
    }
}

bool IniSettingsStore::replaceFile(const std::string& target, const std::string& text, std::string& why) {
    std::string tmp = joinPath(parentPath(target), temporaryPrefix(target) + "XXXXXX");
    const int fd = ::mkostemp(tmp.data(), O_CLOEXEC);
    if (fd < 0) {
        why = errnoText();
        return false;
    }
    // Locked until it has its final name, so that no other running copy takes it for a stale one.
    ::flock(fd, LOCK_EX);
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        // The new file takes the old one's permissions (a new file keeps mkstemp's private 0600), and
        // its owner and group where we may give them; where we may not, it stays ours.
        ::fchmod(fd, old.st_mode & 0777);
        const int given = ::fchown(fd, old.st_uid, old.st_gid);
        (void)given;
    }
    // Write the whole new file beside the old one and swap it in, so a crash or a full disk leaves
    // either the old file or the new one, never a mix.
    bool ok = true;
    for (std::string_view rest = text; ok && !rest.empty();) {
        const ssize_t n = retryInterrupted([&] { return ::write(fd, rest.data(), rest.size()); });
        ok = n > 0;
        if (ok) rest.remove_prefix(static_cast<std::size_t>(n));
    }
    ok = ok && ::fsync(fd) == 0 && ::rename(tmp.c_str(), target.c_str()) == 0;
    if (!ok) why = errnoText();  // of the step that failed
    if (!ok) ::unlink(tmp.c_str());
    ::close(fd);
    if (!ok) return false;
    // The new name survives a power cut only once the folder's entry is on disk as well.
    const int dir = ::open(parentPath(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

}  // namespace corvane
