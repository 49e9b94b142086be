// cuescript: drives a program's windows from a script and prints what the operator sees.
#include "scriptrunner.h"

#include "common/programregistry.h"
#include "schedule/cuebuildprogram.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

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

    const std::string source = argv[1];
    ScriptRunner runner(programs, std::cout, std::cerr,
                        QCoreApplication::applicationDirPath().toStdString(),
                        QDir::currentPath().toStdString());
    if (source == "-")
        return runner.run(std::cin);

    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::ReadOnly)) {
        std::cerr << "cuescript: cannot read " << source << ": "
                  << file.errorString().toLocal8Bit().toStdString() << '\n';
        return ScriptRunner::ScriptFault;
    }
    std::istringstream script(file.readAll().toStdString());
    return runner.run(script);
}
