#include "textfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <memory>

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

struct AtomicFileWriter::Impl {
    explicit Impl(const QString& name) : file(name) {}
    QSaveFile file;
};

AtomicFileWriter::AtomicFileWriter(const std::string& path)
    : m_path(path), m_impl(std::make_unique<Impl>(nameOf(path))) {
    if (path.empty() || !m_impl->file.open(QIODevice::WriteOnly))
        throw FileError(path.empty() ? std::string("Bad file name")
                                     : m_impl->file.errorString().toStdString());
}

AtomicFileWriter::~AtomicFileWriter() = default;

void AtomicFileWriter::write(std::string_view bytes) {
    if (m_impl->file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
        static_cast<qint64>(bytes.size()))
        throw FileError(m_impl->file.errorString().toStdString());
}

void AtomicFileWriter::commit() {
    if (!m_impl->file.commit())
        throw FileError(m_impl->file.errorString().toStdString());
}

struct LineFile::Impl {
    explicit Impl(const QString& name) : file(name) {}
    QFile file;
};

LineFile::LineFile(const std::string& path)
    : m_path(path), m_impl(std::make_unique<Impl>(nameOf(path))) {
    if (path.empty() || !m_impl->file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw FileError(path.empty() ? std::string("Bad file name")
                                     : m_impl->file.errorString().toStdString());
}

LineFile::~LineFile() = default;

void LineFile::writeLine(std::string_view bytes) {
    if (!m_impl->file.isOpen())
        throw FileError("File not open");
    if (m_impl->file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
            static_cast<qint64>(bytes.size()) ||
        !m_impl->file.flush())
        throw FileError(m_impl->file.errorString().toStdString());
}

void LineFile::close() {
    if (!m_impl->file.isOpen())
        return;
    const bool flushed = m_impl->file.flush();
    m_impl->file.close();
    if (!flushed)
        throw FileError(m_impl->file.errorString().toStdString());
}

bool LineFile::isOpen() const {
    return m_impl->file.isOpen();
}
