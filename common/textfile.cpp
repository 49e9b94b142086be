#include "textfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {
QString nameOf(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}
} // namespace

std::string TextFile::readAll(const std::string& path) {
    QFile file(nameOf(path));
    if (path.empty() || !file.open(QIODevice::ReadOnly))
        throw FileError(path.empty() ? std::string("Bad file name")
                                     : file.errorString().toStdString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw FileError(file.errorString().toStdString());
    return bytes.toStdString();
}

bool TextFile::exists(const std::string& path) {
    return !path.empty() && QFileInfo(nameOf(path)).isFile();
}

void TextFile::writeAtomically(const std::string& path, const std::string& bytes) {
    QSaveFile file(nameOf(path));
    if (path.empty() || !file.open(QIODevice::WriteOnly))
        throw FileError(path.empty() ? std::string("Bad file name")
                                     : file.errorString().toStdString());
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
            static_cast<qint64>(bytes.size()) ||
        !file.commit())
        throw FileError(file.errorString().toStdString());
}
