#pragma once

#include "webout/presentation.h"

#include <string>
#include <vector>

// "Write HTM, RAM, RAE" for a full talk, and a plain copy of the same files: the one
// workload the benchmarks measure on every platform.
class WriteWorkload {
  public:
    static constexpr int Rows = 99;

    // shippedFolder holds the templates and images as they ship; the other three are empty
    // folders of the caller's, named without a trailing separator. Writes the program's
    // templates and, through the writers, the copy's source files.
    WriteWorkload(const std::string& shippedFolder, const std::string& programFolder,
                  const std::string& outputFolder, const std::string& referenceFolder);

    // The three writers into the output folder.
    void writeAll();
    // The baseline: the files writeAll writes, with the same bytes, each copied whole
    // through the same atomic writer into the output folder.
    void copySameFiles();
    // Whether the output folder holds exactly the reference files' bytes.
    bool outputMatchesReference() const;

  private:
    void writeAllInto(const std::string& outputFolder);

    std::string m_programFolder;
    std::string m_outputFolder;
    std::string m_referenceFolder;
    PresentationOutput m_out;
    std::vector<std::string> m_images;
    std::vector<std::string> m_producedNames;
};
