#include "modeltext.h"

#include "common/eightbittext.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

#include <cmath>

#include <dirent.h>
#include <sys/stat.h>

QString ModelText::toQt(const std::string& bytes) {
    return QString::fromStdString(EightBitText::toUtf8(bytes));
}

QString ModelText::lines(const std::string& bytes) {
    return toQt(bytes).replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

std::string ModelText::fromQt(const QString& text, const std::string& previous) {
    return EightBitText::encodeEdit(text.toStdString(), previous);
}

QString ModelText::pathToQt(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string ModelText::pathFromQt(const QString& path) {
    QByteArray bytes = QFile::encodeName(path);
    // A name on disk that is no text in the locale's encoding reaches the dialog with its
    // bytes replaced; the entry of its folder that decodes to the chosen name is the file
    // the operator picked, and its own bytes are what the core must open.
    struct stat st {};
    const QFileInfo info(path);
    if (!info.isAbsolute() || info.fileName().isEmpty() || ::lstat(bytes.constData(), &st) == 0)
        return bytes.toStdString();
    const std::string folder = pathFromQt(info.path());
    std::string found;
    int matches = 0;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            if (QFile::decodeName(entry->d_name) == info.fileName()) {
                found = entry->d_name;
                ++matches;
            }
        }
        ::closedir(dir);
    }
    const std::string name =
        matches == 1 ? found : QFile::encodeName(info.fileName()).toStdString();
    return folder == "/" ? "/" + name : folder + "/" + name;
}

QString ModelText::caption(const std::string& bytes) {
    return toQt(bytes).replace(QLatin1Char('&'), QLatin1String("&&"));
}

namespace {
// 96 dots per inch, the common desktop default, when no screen is known.
double dotsPerInch(bool horizontal) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return 96.0;
    const double dpi = horizontal ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY();
    return dpi > 0 ? dpi : 96.0;
}
} // namespace

double Twips::perPixelX() {
    return 1440.0 / dotsPerInch(true);
}

double Twips::perPixelY() {
    return 1440.0 / dotsPerInch(false);
}

int Twips::toPixelsX(int twips) {
    return static_cast<int>(std::lround(twips / perPixelX()));
}

int Twips::toPixelsY(int twips) {
    return static_cast<int>(std::lround(twips / perPixelY()));
}

int Twips::fromPixelsX(int pixels) {
    return static_cast<int>(std::lround(pixels * perPixelX()));
}

int Twips::fromPixelsY(int pixels) {
    return static_cast<int>(std::lround(pixels * perPixelY()));
}
