#include "qtsettingsstore.h"

#include <QByteArray>
#include <QSettings>
#include <QString>

#include <memory>

namespace {

std::unique_ptr<QSettings> open(const std::string& directory, const std::string& application) {
    const QString app = QString::fromUtf8(application);
    if (directory.empty())
        return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                           QStringLiteral("Cuemark"), app);
    return std::make_unique<QSettings>(QString::fromUtf8(directory) + '/' + app + ".ini",
                                       QSettings::IniFormat);
}

QString keyOf(const std::string& section, const std::string& key) {
    return QString::fromUtf8(section) + '/' + QString::fromUtf8(key);
}

} // namespace

QtSettingsStore::QtSettingsStore(std::string directory) : m_directory(std::move(directory)) {}

std::string QtSettingsStore::GetSetting(const std::string& application, const std::string& section,
                                        const std::string& key,
                                        const std::string& defaultValue) const {
    auto settings = open(m_directory, application);
    const QVariant value = settings->value(keyOf(section, key));
    if (!value.isValid())
        return defaultValue;
    if (value.typeId() == QMetaType::QByteArray)
        return value.toByteArray().toStdString();
    return value.toString().toUtf8().toStdString();
}

void QtSettingsStore::SaveSetting(const std::string& application, const std::string& section,
                                  const std::string& key, const std::string& value) {
    auto settings = open(m_directory, application);
    const QByteArray bytes = QByteArray::fromStdString(value);
    // Text that is not UTF-8 (an 8-bit code page) is kept as bytes so it comes back unchanged.
    const QString asText = QString::fromUtf8(bytes);
    if (asText.toUtf8() == bytes)
        settings->setValue(keyOf(section, key), asText);
    else
        settings->setValue(keyOf(section, key), bytes);
    settings->sync();
}
