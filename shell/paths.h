#pragma once
// Splitting paths with one separator character; everything else in a path is an ordinary character.

#include <string>

namespace corvane::paths {

std::string withTrailingSeparator(const std::string& folder, char sep);
// The folder part up to and including the last separator; appPath when there is none.
std::string dirPart(const std::string& path, char sep, const std::string& appPath);
// Everything after the last separator; the whole path when there is none.
std::string fileNamePart(const std::string& path, char sep);

}  // namespace corvane::paths
