// The 8-bit text rule on Qt's codecs.
#include "common/eightbittext.h"

#include <QStringDecoder>
#include <QStringEncoder>

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

QString decode(const std::string& bytes) {
    if (std::optional<QString> text = decodeUtf8(bytes))
        return *text;
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

bool EightBitText::isUtf8(const std::string& bytes) {
    return decodeUtf8(bytes).has_value();
}

std::string EightBitText::toUtf8(const std::string& bytes) {
    return decode(bytes).toUtf8().toStdString();
}

std::string EightBitText::encodeEdit(const std::string& editUtf8, const std::string& previous) {
    const QString text = QString::fromUtf8(editUtf8);
    if (!decodeUtf8(previous)) {
        if (std::optional<std::string> bytes = encode8Bit(text))
            return *bytes;
    }
    return editUtf8;
}
