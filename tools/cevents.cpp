// Stand-in for the RealAudio event compiler: checks an event list and writes the event
// file beside it as WebVTT, one cue per line, so a current web player can turn the pages.
//
//     cevents EVENT_LIST EVENT_FILE_NAME
//
// Exit status 0 when the file is written; 1 when a line of the list is bad (each is
// reported with its line number, and nothing is written); 2 for wrong arguments or a file
// that cannot be read or written.

#include "common/commandline.h"
#include "common/textfile.h"
#include "tools/eventlistreader.h"
#include "webout/pathhelpers.h"

#include <iostream>
#include <string>

int main(int argc, char** argv) {
    const CommandLine line = readCommandLine(
        argc, argv,
        {"cevents",
         "Checks an event list and writes the event file beside it as WebVTT.",
         {{"EVENT_LIST", "The event list written by cuebuild (cevents.txt)."},
          {"EVENT_FILE_NAME", "The event file's name, written in the list's folder."}}});
    if (line.answered)
        return *line.answered;
    if (!line.error.empty() || line.arguments.size() != 2) {
        if (!line.error.empty())
            std::cerr << "cevents: " << line.error << '\n';
        std::cerr << "usage: cevents EVENT_LIST EVENT_FILE_NAME\n";
        return 2;
    }
    const std::string listPath = line.arguments[0];
    const std::string eventFileName = line.arguments[1];
    // The event file goes beside the list and nowhere else.
    if (eventFileName.empty() || eventFileName.find_first_of("/\\") != std::string::npos ||
        eventFileName == "." || eventFileName == "..") {
        std::cerr << "cevents: the event file name must be a plain file name: \"" << eventFileName
                  << "\"\n";
        return 2;
    }
    std::string current = listPath;
    try {
        const EventListReading reading = readEventList(TextFile::readAll(listPath));
        for (const EventListProblem& problem : reading.problems)
            std::cerr << listPath << ":" << problem.line << ": " << problem.reason << "\n";
        if (reading.stoppedEarly)
            std::cerr << listPath << ": too many bad lines; reading stopped at line "
                      << reading.problems.back().line << "\n";
        if (!reading.problems.empty())
            return 1;
        current = splitLocalPath(listPath).directory + eventFileName;
        AtomicFileWriter file(current, AtomicFileWriter::Link::Replace);
        file.write(webVttOf(reading.events));
        file.commit();
    } catch (const FileError& e) {
        std::cerr << "cevents: " << current << ": " << e.what() << "\n";
        return 2;
    }
    return 0;
}
