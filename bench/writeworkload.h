#pragma once

#include "common/writebatch.h"
#include "webout/presentation.h"

#include <cstdint>
#include <string>
#include <vector>

// "Write HTM, RAM, RAE" for a full talk, and the baselines it is measured against: the
// one workload the benchmarks measure on every platform. Each timed step that writes
// finds the output folder without the files it writes (clearOutput, not timed), except
// writeAllAgain, which finds the files of the same talk.
class WriteWorkload {
  public:
    static constexpr int Rows = 99;

    // shippedFolder holds the templates and images as they ship; the other three are empty
    // folders of the caller's, named without a trailing separator. Writes the program's
    // templates and, through the writers, the reference files.
    WriteWorkload(const std::string& shippedFolder, const std::string& programFolder,
                  const std::string& outputFolder, const std::string& referenceFolder);

    // Removes the files the writers write from the output folder.
    void clearOutput();
    // The three writers into the output folder, in one batch as Write All runs them.
    void writeAll();
    // The same with the files already there: nothing changed, nothing is written.
    void writeAllAgain() { writeAll(); }

    // The baselines: the files writeAll writes, their bytes read from the reference
    // folder. A plain copy (created, written, closed: no sync, as cp does).
    void plainCopy();
    // All of them in one crash-safe batch, made durable the given way.
    void batchedCopy(WriteBatch::Durability durability);
    // Each through an atomic write of its own, synced with its folder one at a time: how
    // the writers wrote before the batch.
    void copyOneSyncPerFile();
    // Reading what the writers read, once: each page's template, the preload and index
    // templates and the images.
    void readTemplates();
    // The same and every file written, once: what a second Write All must read at least.
    void readTemplatesAndOutput();

    // Whether the output folder holds exactly the reference files' bytes.
    bool outputMatchesReference() const;
    int fileCount() const { return static_cast<int>(m_producedNames.size()); }
    std::int64_t bytesWritten() const { return m_bytesWritten; }

  private:
    void writeAllInto(const std::string& outputFolder);

    std::string m_programFolder;
    std::string m_outputFolder;
    std::string m_referenceFolder;
    PresentationOutput m_out;
    std::vector<std::string> m_images;
    std::vector<std::string> m_producedNames;
    std::vector<std::string> m_readPaths;
    std::int64_t m_bytesWritten = 0;
};
