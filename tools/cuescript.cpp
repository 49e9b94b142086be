// cuescript: drives a program's windows from a script and prints what the operator sees.
#include "scriptrunner.h"

#include "common/programregistry.h"
#include "common/textfile.h"
#include "schedule/cuebuildprogram.h"
#include "testing/scriptedloggers.h"

#include <QCoreApplication>
#include <QDir>

#include <iostream>
#include <sstream>
#include <string>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::cerr << "usage: cuescript FILE | cuescript -\n";
        return ScriptRunner::ScriptFault;
    }
    ProgramRegistry programs;
    registerCuebuild(programs);
    registerScriptedLoggers(programs);

    const std::string source = argv[1];
    ScriptRunner runner(programs, std::cout, std::cerr,
                        QCoreApplication::applicationDirPath().toStdString(),
                        QDir::currentPath().toStdString());
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
