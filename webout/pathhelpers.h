#pragma once

#include <optional>
#include <string>
#include <string_view>

// String surgery on paths and file names, shared by the log import and every writer of
// the web presentation. Searches ignore letter case; none of these touches a file.

struct PathParts {
    std::string fileName;  // after the last "/" or "\"
    std::string directory; // up to and including that separator
};

struct FileNameParts {
    std::string baseName;  // before the first "."
    std::string extension; // after it, without the dot
};

struct ImageNameParts {
    std::string prefix;    // before the first "0"
    std::string extension; // after the first "."; the whole name when it has no dot
};

// Both "/" and "\" separate, as in every path a log or grid file carries; the other
// helpers know no separators.
PathParts GetFname(std::string_view path);
// The same for a path of this machine (a log's own path, the presentation's folder): only
// the system's separators count, so "talk\v2.txt" is one name on Linux.
PathParts splitLocalPath(std::string_view path);
FileNameParts SplitFileName(std::string_view fileName);
// A name without any "0" has no place for the slide number: nullopt, which the caller
// must report instead of building image names from it.
std::optional<ImageNameParts> SplitIMGFileName(std::string_view imageName);
// The pattern with its first "{PF}" (any case) replaced by the base name of the
// PowerPoint file; only the file-name part of the path counts.
std::string ExpandIMGPath(std::string_view pattern, std::string_view powerPointPath);

// The number of a produced file: zero-padded to three digits, longer numbers in full.
std::string threeDigits(int number);
