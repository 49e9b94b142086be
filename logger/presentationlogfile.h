#pragma once

#include <cstdint>
#include <memory>
#include <string>

class LineFile;
class LoggerClock;

// The PresentationLog being written: open from its choice until its closing line, one
// line at a time, each carrying the interval since the line written before it.
class PresentationLogFile {
  public:
    // What became of one line.
    struct Written {
        bool ok = false;
        bool reopened = false; // the file had gone from its path and was made again there
        std::string failure;   // why the line did not reach the disk
        double time = 0;       // the clock reading the line carries
        double interval = 0;   // the day count it begins with
    };

    explicit PresentationLogFile(LoggerClock& clock);
    ~PresentationLogFile();

    // Creates the file, or truncates the one of that name; throws FileError, and then no
    // log is open and path() is empty.
    void open(const std::string& path);
    // Closes the file, whatever happens to the closing; throws FileError when that failed.
    void close();
    bool isOpen() const { return m_file != nullptr; }
    // The log chosen last, kept once it is closed; empty before one was opened.
    const std::string& path() const { return m_path; }
    // No line has reached the log yet in this run.
    bool firstLine() const { return m_firstLine; }

    Written writeSlide(const std::string& presentationPath, std::int16_t slide,
                       const std::string& title);
    Written writeEvent(const std::string& text);

  private:
    template <typename MakeLine> Written write(const MakeLine& makeLine);

    LoggerClock& m_clock;
    std::unique_ptr<LineFile> m_file;
    std::string m_path;
    bool m_firstLine = true;
    double m_lastLineTime = 0;
};
