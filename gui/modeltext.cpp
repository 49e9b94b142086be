#include "modeltext.h"

#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cmath>
#include <optional>

namespace {

const char* const CodePage = "windows-1252";

QByteArrayView viewOf(const std::string& bytes) {
    return QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::optional<QString> decodeUtf8(const std::string& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(viewOf(bytes));
    if (utf8.hasError())
        return std::nullopt;
    return text;
}

// Only a converter that gives every one of the 256 bytes back unchanged will do; Qt has
// it when built with ICU.
bool haveCodePage() {
    static const bool usable = [] {
        QByteArray all(256, '\0');
        for (int b = 0; b < 256; ++b)
            all[b] = static_cast<char>(b);
        QStringDecoder decoder(CodePage);
        QStringEncoder encoder(CodePage);
        if (!decoder.isValid() || !encoder.isValid())
            return false;
        const QString text = decoder.decode(all);
        const QByteArray back = encoder.encode(text);
        return !decoder.hasError() && !encoder.hasError() && back == all;
    }();
    return usable;
}

QString decode8Bit(const std::string& bytes) {
    if (!haveCodePage())
        return QString::fromLatin1(viewOf(bytes));
    QStringDecoder decoder(CodePage);
    return decoder.decode(viewOf(bytes));
}

std::optional<std::string> encode8Bit(const QString& text) {
    if (!haveCodePage()) {
        for (QChar c : text) {
            if (c.unicode() > 0xFF)
                return std::nullopt;
        }
        return text.toLatin1().toStdString();
    }
    QStringEncoder encoder(CodePage);
    const QByteArray bytes = encoder.encode(text);
    if (encoder.hasError())
        return std::nullopt;
    return bytes.toStdString();
}

} // namespace

QString ModelText::toQt(const std::string& bytes) {
    if (std::optional<QString> text = decodeUtf8(bytes))
        return *text;
    return decode8Bit(bytes);
}

QString ModelText::lines(const std::string& bytes) {
    return toQt(bytes).replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

std::string ModelText::fromQt(const QString& text, const std::string& previous) {
    if (!decodeUtf8(previous)) {
        if (std::optional<std::string> bytes = encode8Bit(text))
            return *bytes;
    }
    return text.toUtf8().toStdString();
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
