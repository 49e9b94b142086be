// cuescript: drives a program's windows from a script and prints what the operator sees.
#include "scriptrunner.h"

#include "common/commandline.h"
#include "common/textfile.h"
#include "forms/programregistry.h"
#include "schedule/cuebuildprogram.h"
#include "testing/scriptedloggers.h"
#include "toolplatform.h"

#include <iostream>
#include <sstream>
#include <string>

int main(int argc, char** argv) {
    const CommandLine line = readCommandLine(
        argc, argv,
        {"cuescript",
         "Runs a program of the Cuemark System on a scripted desktop and prints what the "
         "operator would see.",
         {{"FILE", "The script to run; - reads it from standard input."}}});
    if (line.answered)
        return *line.answered;
    if (!line.error.empty() || line.arguments.size() != 1) {
        if (!line.error.empty())
            std::cerr << "cuescript: " << line.error << '\n';
        std::cerr << "usage: cuescript FILE | cuescript -\n";
        return ScriptRunner::ScriptFault;
    }
    ProgramRegistry programs;
    registerCuebuild(programs);
    registerScriptedLoggers(programs);

    const std::string source = line.arguments.front();
    ScriptRunner runner(programs, std::cout, std::cerr, ToolPlatform::programFolder(),
                        ToolPlatform::currentFolder());
    if (source == "-")
        return runner.run(std::cin);

    // The script's name and its lines are bytes, used as given.
    std::string bytes;
    try {
        bytes = TextFile::readAll(source);
    } catch (const FileError& e) {
        std::cerr << "cuescript: cannot read " << source << ": " << e.what() << '\n';
        return ScriptRunner::ScriptFault;
    }
    std::istringstream script(bytes);
    return runner.run(script);
}
