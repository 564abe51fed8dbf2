#include "shell/paths.h"

namespace corvane::paths {

std::string withTrailingSeparator(const std::string& folder, char sep) {
    if (!folder.empty() && folder.back() == sep) return folder;
    return folder + sep;
}

std::string dirPart(const std::string& path, char sep, const std::string& appPath) {
    const auto at = path.rfind(sep);
    if (at == std::string::npos) return appPath;
    return path.substr(0, at + 1);
}

std::string fileNamePart(const std::string& path, char sep) {
    const auto at = path.rfind(sep);
    if (at == std::string::npos) return path;
    return path.substr(at + 1);
}

}  // namespace corvane::paths
