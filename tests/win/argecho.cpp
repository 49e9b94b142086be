// Writes each argument after the first into the file the first names, one a line, so a
// test sees the arguments exactly as a started program's C runtime hands them over.
#include "common/textfile.h"

#include <string>

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    std::string lines;
    for (int i = 2; i < argc; ++i)
        lines += std::string(argv[i]) + '\n';
    try {
        TextFile::writeAtomically(argv[1], lines);
    } catch (const FileError&) {
        return 2;
    }
    return 0;
}
