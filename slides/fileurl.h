#pragma once

#include <string>

// The file URL of an absolute path, made from its bytes: each byte but the unreserved
// ones and "/" percent-encoded, so a name in any 8-bit code page, not only in UTF-8,
// names that very file. An empty string for a relative path.
std::string fileUrlOf(const std::string& absolutePath);
