#include "qtloggerenvironment.h"

#include "common/clocktime.h"

#ifdef CUE_IMPRESS_BINDING
#include "logger/impress/impressbinding.h"
#endif

#include <QApplication>
#include <QLocale>
#include <QRegularExpression>
#include <QTime>

std::string QtLoggerClock::timeText(double timeOfDay) const {
    const QLocale locale = QLocale::system();
    // The long format without its time zone, which the desktop's time of day never shows.
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(QRegularExpression(QStringLiteral("\\s*t+\\s*")));
    const QTime time =
        QTime(0, 0).addSecs(static_cast<int>(ClockTime::toSeconds(timeOfDay) % 86400));
    const QString text = locale.toString(time, format.trimmed());
    // A comma would shift the fields of the log line.
    if (text.isEmpty() || text.contains(QLatin1Char(',')))
        return LoggerClock::timeText(timeOfDay);
    return text.toLocal8Bit().toStdString();
}

namespace {
bool stuckOffice = false;
}

#ifdef CUE_IMPRESS_BINDING
QtLoggerEnvironment::QtLoggerEnvironment() : m_impress(std::make_shared<ImpressBinding>()) {}

QtLoggerEnvironment::~QtLoggerEnvironment() {
    using namespace std::chrono_literals;
    if (!m_impress->shutdown(3s))
        stuckOffice = true;
}

AutomationFactory QtLoggerEnvironment::automation() {
    return m_impress->factory();
}

AutomationFactory QtLoggerEnvironment::attachment() {
    return m_impress->attachFactory();
}
#else
QtLoggerEnvironment::QtLoggerEnvironment() = default;
QtLoggerEnvironment::~QtLoggerEnvironment() = default;

AutomationFactory QtLoggerEnvironment::automation() {
    return platformAutomationFactory();
}

// COM creates a server that runs already, and starts one otherwise.
AutomationFactory QtLoggerEnvironment::attachment() {
    return platformAutomationFactory();
}
#endif

bool QtLoggerEnvironment::officeLeftStuck() {
    return stuckOffice;
}

void QtLoggerEnvironment::beep() {
    QApplication::beep();
}
