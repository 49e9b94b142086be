#include "modeltext.h"

#include "common/eightbittext.h"

#include <QFile>
#include <QGuiApplication>
#include <QScreen>

#include <cmath>

QString ModelText::toQt(const std::string& bytes) {
    return EightBitText::decode(bytes);
}

QString ModelText::lines(const std::string& bytes) {
    return toQt(bytes).replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

std::string ModelText::fromQt(const QString& text, const std::string& previous) {
    return EightBitText::encodeEdit(text, previous);
}

QString ModelText::pathToQt(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string ModelText::pathFromQt(const QString& path) {
    return QFile::encodeName(path).toStdString();
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
