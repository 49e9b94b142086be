#include "qtloggerenvironment.h"

#include "common/clocktime.h"

#include <QApplication>
#include <QLocale>
#include <QRegularExpression>
#include <QTime>

#include <utility>

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

QtLoggerEnvironment::QtLoggerEnvironment(DesktopAutomation automation)
    : m_automation(std::move(automation)) {}

QtLoggerEnvironment::~QtLoggerEnvironment() {
    if (m_automation.shutdown && !m_automation.shutdown())
        stuckOffice = true;
}

bool QtLoggerEnvironment::officeLeftStuck() {
    return stuckOffice;
}

void QtLoggerEnvironment::beep() {
    QApplication::beep();
}
