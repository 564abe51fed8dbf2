#pragma once
// File names joined and split as text. The settings, the guard and the battery reader are the whole
// program's dealings with file names, and std::filesystem would bring some 200 KB of the C++ library
// into its memory for these few joins.

#include <string>

namespace corvane {

// name inside folder; name alone when there is no folder.
inline std::string joinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    return folder.back() == '/' ? folder + name : folder + '/' + name;
}

// The folder part of a path: empty when it has none, "/" for a name in the root.
inline std::string parentPath(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return {};
    const auto end = path.find_last_not_of('/', slash);
    return end == std::string::npos ? "/" : path.substr(0, end + 1);
}

// The last part of a path.
inline std::string fileName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace corvane
