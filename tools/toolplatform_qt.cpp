// The script tools' platform on Qt.
#include "toolplatform.h"

#include "qtplatform/qtsettingsstore.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>

#include <filesystem>
#include <ostream>

namespace {

QString fromBytes(const std::string& bytes) {
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

constexpr int TimeLimitMs = 60000;

} // namespace

std::string ToolPlatform::programFolder() {
    // Needs no application object, so the command line is read before anything starts.
    return std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
}

std::string ToolPlatform::currentFolder() {
    return QDir::currentPath().toStdString();
}

std::unique_ptr<SettingsStore> ToolPlatform::iniSettingsStore(const std::string& directory) {
    QDir().mkpath(fromBytes(directory));
    return std::make_unique<QtSettingsStore>(directory);
}

bool ToolPlatform::runToEnd(const std::string& program, const std::vector<std::string>& args,
                            const std::string& workingDirectory, std::ostream& err) {
    QProcess process;
    QStringList words;
    for (const std::string& arg : args)
        words << fromBytes(arg);
    process.setWorkingDirectory(fromBytes(workingDirectory));
    process.start(fromBytes(program), words);
    if (!process.waitForStarted())
        return false;
    if (!process.waitForFinished(TimeLimitMs)) {
        process.kill();
        process.waitForFinished();
        err << "cuescript: " << program << " did not end within " << TimeLimitMs / 1000
            << " seconds and was stopped\n";
    } else if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        err << process.readAllStandardError().toStdString() << "cuescript: " << program
            << " ended with status " << process.exitCode() << '\n';
    }
    return true;
}
