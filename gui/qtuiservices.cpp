#include "qtuiservices.h"

#include "modalview.h"
#include "modeltext.h"
#include "viewregistry.h"

#include "forms/window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <QWhatsThis>

#include <utility>
#include <vector>

namespace {

QMessageBox::Icon iconOf(int style) {
    switch (style & 0x70) {
    case 16:
        return QMessageBox::Critical;
    case 32:
        return QMessageBox::Question;
    case Mb::Exclamation:
        return QMessageBox::Warning;
    case 64:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// Each result of the model's boxes with the Qt button that gives it.
constexpr std::pair<int, QMessageBox::StandardButton> Buttons[] = {
    {Mb::OK, QMessageBox::Ok},
    {Mb::Cancel, QMessageBox::Cancel},
    {Mb::Yes, QMessageBox::Yes},
    {Mb::No, QMessageBox::No},
};

QMessageBox::StandardButton buttonOf(int answer) {
    for (const auto& [result, button] : Buttons) {
        if (result == answer)
            return button;
    }
    return QMessageBox::Ok;
}

std::vector<QMessageBox::StandardButton> buttonsOf(int style) {
    std::vector<QMessageBox::StandardButton> buttons;
    for (int answer : Mb::answersOf(style))
        buttons.push_back(buttonOf(answer));
    return buttons;
}

// Boxes and dialogs belong to the window the operator is working in.
QWidget* activeParent() {
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

} // namespace

std::unique_ptr<QMessageBox> makeMessageBox(const QString& text, int style, const QString& title,
                                            QWidget* parent) {
    auto box = std::make_unique<QMessageBox>(parent);
    box->setWindowTitle(title);
    box->setTextFormat(Qt::PlainText);
    box->setText(text);
    box->setIcon(iconOf(style));

    const auto buttons = buttonsOf(style);
    for (QMessageBox::StandardButton button : buttons)
        box->addButton(button);
    box->setDefaultButton(buttonOf(Mb::defaultAnswer(style)));

    QMessageBox::StandardButton escape = buttons.size() == 1 ? QMessageBox::Ok : QMessageBox::No;
    for (QMessageBox::StandardButton button : buttons) {
        if (button == QMessageBox::Cancel)
            escape = button;
    }
    box->setEscapeButton(escape);
    return box;
}

int resultOf(const QMessageBox& box, QAbstractButton* clicked) {
    if (!clicked)
        clicked = box.escapeButton();
    const QMessageBox::StandardButton pressed = box.standardButton(clicked);
    for (const auto& [result, button] : Buttons) {
        if (button == pressed)
            return result;
    }
    return Mb::Cancel;
}

QStringList nameFiltersOf(const std::string& filter) {
    const QStringList parts = ModelText::toQt(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        // Qt reads the patterns from the description's parentheses, so the pair's own
        // pattern goes there, replacing any the description shows.
        if (description.endsWith(QLatin1Char(')'))) {
            const qsizetype open = description.lastIndexOf(QLatin1Char('('));
            if (open >= 0)
                description = description.left(open).trimmed();
        }
        QString patterns = parts[i + 1].trimmed();
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << QStringLiteral("%1 (%2)").arg(description, patterns);
    }
    return filters;
}

std::unique_ptr<QFileDialog> makeFileDialog(const CommonDialog& dialog, FileDialogKind kind,
                                            QWidget* parent) {
    auto box = std::make_unique<QFileDialog>(parent, ModelText::toQt(dialog.DialogTitle));
    // A name may be typed without its extension, which the program adds; it reports a
    // file it cannot read itself.
    box->setFileMode(QFileDialog::AnyFile);
    box->setAcceptMode(kind == FileDialogKind::Open ? QFileDialog::AcceptOpen
                                                    : QFileDialog::AcceptSave);
    // Save asks before replacing a file, so a log is not overwritten by accident.
    box->setOption(QFileDialog::DontConfirmOverwrite, false);
    const QStringList filters = nameFiltersOf(dialog.Filter);
    if (!filters.isEmpty()) {
        box->setNameFilters(filters);
        const int index = dialog.FilterIndex >= 1 && dialog.FilterIndex <= filters.size()
                              ? dialog.FilterIndex - 1
                              : 0;
        box->selectNameFilter(filters[index]);
    }
    if (!dialog.FileName.empty()) {
        const QFileInfo start(ModelText::pathToQt(dialog.FileName));
        box->setDirectory(start.absolutePath());
        box->selectFile(start.fileName());
    }
    return box;
}

QtUiServices::QtUiServices(std::string programTitle, const ViewRegistry& views)
    : DesktopServices(std::move(programTitle)), m_views(views) {}

QtUiServices::~QtUiServices() {
    delete m_helpWindow.data();
    SetBusy(false);
}

std::unique_ptr<QMessageBox> QtUiServices::messageBox(const std::string& text, int style,
                                                      const std::string& title) const {
    return makeMessageBox(ModelText::lines(text), style, ModelText::toQt(titleOr(title)),
                          activeParent());
}

int QtUiServices::showBox(const std::string& text, int style, const std::string& title) {
    const auto box = messageBox(text, style, title);
    box->exec();
    return resultOf(*box, box->clickedButton());
}

bool QtUiServices::ShowFileDialog(CommonDialog& dialog, FileDialogKind kind) {
    const auto box = makeFileDialog(dialog, kind, activeParent());
    if (box->exec() != QDialog::Accepted || box->selectedFiles().isEmpty())
        return false;
    dialog.FileName = ModelText::pathFromQt(box->selectedFiles().constFirst());
    const qsizetype filter = nameFiltersOf(dialog.Filter).indexOf(box->selectedNameFilter());
    if (filter >= 0)
        dialog.FilterIndex = static_cast<int>(filter) + 1;
    return true;
}

void QtUiServices::ShowHelp(const CommonDialog& dialog) {
    QString path = ModelText::pathToQt(dialog.HelpFile);
    // The help path is formed with the Windows separator.
    if (!QFileInfo::exists(path) && path.contains(QLatin1Char('\\')))
        path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        const auto box = makeMessageBox(
            QStringLiteral("The help file %1 cannot be opened: %2")
                .arg(QDir::toNativeSeparators(path), file.errorString()),
            Mb::OKOnly + Mb::Exclamation, ModelText::toQt(programTitle()), activeParent());
        box->exec();
        return;
    }
    if (!m_helpWindow) {
        // Its own window, beside the program's: the operator reads while working.
        m_helpWindow = new QWidget(nullptr, Qt::Window);
        m_helpWindow->setAttribute(Qt::WA_DeleteOnClose);
        m_helpWindow->setWindowTitle(ModelText::toQt(programTitle()) + QStringLiteral(" Help"));
        m_helpWindow->resize(640, 600);
        auto* layout = new QVBoxLayout(m_helpWindow);
        layout->setContentsMargins(0, 0, 0, 0);
        m_helpBrowser = new QTextBrowser(m_helpWindow);
        m_helpBrowser->setObjectName(QStringLiteral("helpBrowser"));
        m_helpBrowser->setOpenExternalLinks(true);
        layout->addWidget(m_helpBrowser);
    }
    m_helpBrowser->setSearchPaths({QFileInfo(path).absolutePath()});
    m_helpBrowser->setHtml(QString::fromUtf8(file.readAll()));
    m_helpBrowser->moveCursor(QTextCursor::Start);
    m_helpBrowser->ensureCursorVisible();
    m_helpWindow->show();
    m_helpWindow->raise();
    m_helpWindow->activateWindow();
}

QTextBrowser* QtUiServices::helpViewer() const {
    return m_helpBrowser.data();
}

void QtUiServices::EnterWhatsThisMode(Window& window) {
    QWhatsThis::enterWhatsThisMode();
}

void QtUiServices::showBusy(bool busy) {
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

DesktopServices::Screen QtUiServices::screen() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {15360, 11520, {0, 0, 15360, 11520}};
    const QRect free = screen->availableGeometry();
    return {Twips::fromPixelsX(screen->geometry().width()),
            Twips::fromPixelsY(screen->geometry().height()),
            {Twips::fromPixelsX(free.left()), Twips::fromPixelsY(free.top()),
             Twips::fromPixelsX(free.width()), Twips::fromPixelsY(free.height())}};
}

std::unique_ptr<WindowView> QtUiServices::modalView(Window& window) {
    std::unique_ptr<QWidget> view = m_views.make(window, activeParent());
    auto* modal = qobject_cast<ModalView*>(view.get());
    if (!modal)
        return nullptr;
    view.release();
    return std::unique_ptr<WindowView>(modal);
}
