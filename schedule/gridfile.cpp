#include "gridfile.h"

// TODO(gridfile)
bool GridFile::isHeader(const std::string& firstField) { return false; }
std::string GridFile::resumeFileText(const std::string&, const std::string&, const std::string&,
                                     const std::string&)
{
    return {};
}
