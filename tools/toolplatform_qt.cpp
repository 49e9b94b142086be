// The script tools' platform on Qt.
#include "toolplatform.h"

#include "qtplatform/qtsettingsstore.h"

#include <QDir>
#include <QFile>
#include <QString>

#include <filesystem>

namespace {

QString fromBytes(const std::string& bytes) {
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

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
