// The start of the event compiler on Windows: each name reaches the started program as one
// argument, byte for byte in the ANSI code page, and cevents.exe writes the event file.
//     processstart_test CEVENTS_EXE ARGECHO_EXE WORK_FOLDER
#include "common/processstart.h"
#include "common/textfile.h"
#include "common/win32text.h"
#include "webout/eventlist.h"

#include <windows.h>

#include <iostream>
#include <string>
#include <utility>
#include <vector>

namespace {

int failures = 0;

void check(bool ok, const std::string& what) {
    if (!ok) {
        ++failures;
        std::cerr << "FAILED: " << what << '\n';
    }
}

// The started program is not waited for: its file is awaited here, 30 s at most.
bool awaitFile(const std::string& path) {
    for (int i = 0; i < 300; ++i) {
        if (TextFile::exists(path))
            return true;
        ::Sleep(100);
    }
    return false;
}

void makeFolder(const std::string& path) {
    ::CreateDirectoryW(Win32Text::widen(path).c_str(), nullptr);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: processstart_test CEVENTS_EXE ARGECHO_EXE WORK_FOLDER\n";
        return 2;
    }
    const std::string work = argv[3];
    makeFolder(work);
    // The programs from a folder whose name has a blank and an 8-bit letter too.
    const std::string tools = work + "\\my tools caf\xE9";
    makeFolder(tools);
    const std::string cevents = tools + "\\cevents.exe", argecho = tools + "\\argecho.exe";
    for (const auto& [from, to] : {std::pair{argv[1], cevents}, std::pair{argv[2], argecho}})
        check(::CopyFileW(Win32Text::widen(from).c_str(), Win32Text::widen(to).c_str(), FALSE),
              "copy " + to);
    // 0xE9 is a letter (e acute) in the single-byte ANSI code pages this system is run with.
    check(::GetACP() != CP_UTF8,
          "the ANSI code page is single-byte (" + std::to_string(::GetACP()) + ")");

    struct Case {
        const char* what;
        std::string folder;    // in WORK_FOLDER
        std::string eventFile; // the event file's name
        bool writable;         // a name Windows allows, so cevents.exe can write it
    };
    const std::vector<Case> cases = {
        {"plain names", "plain", "talk.rae", true},
        {"blanks", "with  two blanks", "my talk.rae", true},
        {"8-bit name", "caf\xE9 folder", "caf\xE9.rae", true},
        {"a trailing backslash", "slash", "talk\\", false},
        {"double quotes", "quote", "say \"hi\" \\\"twice\\\".rae", false},
    };
    // Relative names, made absolute as "Write RAE File" makes them, against this folder.
    check(::SetCurrentDirectoryW(Win32Text::widen(work).c_str()), "enter " + work);
    const std::string line = "u 00:00:00:00.0 00:00:00:29.9 http://h/sld001.htm\r\n";
    for (const Case& c : cases) {
        makeFolder(c.folder);
        TextFile::writeAtomically(c.folder + "\\cevents.txt", line);
        const ToolStart tool = ceventsStart("my tools caf\xE9\\cevents.exe",
                                            c.folder + "\\cevents.txt", c.eventFile, c.folder);
        check(TextFile::exists(tool.program) && TextFile::exists(tool.args[0]) &&
                  TextFile::readAll(tool.args[0]) == line,
              std::string(c.what) + ": the absolute names keep their bytes: " + tool.args[0]);

        // The arguments as the started program's runtime reads them.
        const std::string echoed = tool.workingDirectory + "\\args.txt";
        const std::string eventFile = c.folder + "\\" + c.eventFile;
        for (const std::string& earlier : {echoed, eventFile})
            ::DeleteFileW(Win32Text::widen(earlier).c_str());
        check(bool(startDetachedProcess(argecho, {echoed, tool.args[0], tool.args[1]},
                                        tool.workingDirectory)),
              std::string(c.what) + ": the echo program starts");
        check(awaitFile(echoed) &&
                  TextFile::readAll(echoed) == tool.args[0] + '\n' + c.eventFile + '\n',
              std::string(c.what) + ": the arguments arrive unchanged, one each");

        if (!c.writable)
            continue;
        const StartResult started =
            startDetachedProcess(tool.program, tool.args, tool.workingDirectory);
        check(bool(started), std::string(c.what) + ": cevents.exe starts: " + started.reason);
        check(awaitFile(eventFile) && TextFile::readAll(eventFile).rfind("WEBVTT", 0) == 0,
              std::string(c.what) + ": cevents.exe writes " + eventFile);
    }

    // A start that fails says which part failed.
    const StartResult noFolder = startDetachedProcess(cevents, {}, work + "\\no such folder");
    check(!noFolder && noFolder.folderFailed, "a missing working folder is named");
    const StartResult noProgram = startDetachedProcess(work + "\\no such program", {}, work);
    check(!noProgram && !noProgram.folderFailed && !noProgram.reason.empty(),
          "a missing program is reported with the system's reason");

    std::cout << (failures ? "failed\n" : "passed\n");
    return failures ? 1 : 0;
}
