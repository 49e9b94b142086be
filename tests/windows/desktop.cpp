#include "desktop.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

// A real display brings the session bus library, which keeps a buffer for the life of the
// process; the leak checker of the sanitized build must not take it for ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\n";
}

Desktop::Desktop() {
    QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
    m_timer.start(30);
}

void Desktop::expectModal(std::function<void(QWidget*)> answer) {
    m_expected.push_back({std::move(answer), false});
}

void Desktop::expectFileDialog(const QString& path) {
    expectModal([path](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr)
            << "expected a file dialog, got " << w->windowTitle().toStdString();
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        // The completer's popup would take the Enter meant for the dialog.
        name->setCompleter(nullptr);
        name->clear();
        Desktop::keys(name, path);
        QTest::keyClick(name, Qt::Key_Return);
        // On a busy machine the dialog may still be reading the folder when Enter comes,
        // and takes it for the list; an operator would type the name and press Enter again.
        for (int retry = 0; retry < 10 && dialog->isVisible(); ++retry) {
            QTest::qWait(500);
            if (!dialog->isVisible())
                break;
            name->setText(path);
            QTest::keyClick(name, Qt::Key_Return);
        }
    });
}

void Desktop::expectBox(int standardButton) {
    expectModal([this, standardButton](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr) << "expected a message box, got " << w->windowTitle().toStdString();
        m_boxes << box->text();
        QAbstractButton* button = box->button(QMessageBox::StandardButton(standardButton));
        ASSERT_NE(button, nullptr) << "no such button on " << box->text().toStdString();
        QTest::mouseClick(button, Qt::LeftButton);
    });
}

void Desktop::expectSelfClosing() {
    m_expected.push_back({[](QWidget*) {}, true});
}

void Desktop::poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal == m_handled && m_since.elapsed() > StuckMs) {
        // An answer that did not close its window fails the test instead of hanging it.
        ADD_FAILURE() << "modal window \"" << modal->windowTitle().toStdString()
                      << "\" still open after its answer";
        modal->close();
        return;
    }
    if (!modal || modal == m_handled || !modal->isVisible())
        return;
    if (!QTest::qWaitForWindowExposed(modal, 2000))
        return;
    m_handled = modal;
    m_since.start();
    if (m_expected.empty()) {
        ADD_FAILURE() << "unexpected modal window \"" << modal->windowTitle().toStdString() << "\""
                      << (qobject_cast<QMessageBox*>(modal)
                              ? ": " + qobject_cast<QMessageBox*>(modal)->text().toStdString()
                              : std::string());
        ++m_unexpected;
        modal->close();
        return;
    }
    const bool answerable = qobject_cast<QMessageBox*>(modal) || qobject_cast<QFileDialog*>(modal);
    while (answerable && m_expected.size() > 1 && m_expected.front().selfClosing)
        m_expected.pop_front();
    auto answer = std::move(m_expected.front().answer);
    m_expected.pop_front();
    answer(modal);
}

bool Desktop::settle(int timeoutMs) {
    return QTest::qWaitFor(
        [this] {
            if (QApplication::activeModalWidget())
                return false;
            // A window that closed itself between two looks has come and gone.
            while (!m_expected.empty() && m_expected.front().selfClosing)
                m_expected.pop_front();
            return m_expected.empty();
        },
        timeoutMs);
}

void Desktop::chooseMenu(QMenuBar* bar, const QString& menuName, const QString& itemName) {
    auto* menu = bar->findChild<QMenu*>(menuName);
    ASSERT_NE(menu, nullptr) << menuName.toStdString();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
    ASSERT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }, 3000));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
    QAction* item = bar->window()->findChild<QAction*>(itemName);
    ASSERT_NE(item, nullptr) << itemName.toStdString();
    ASSERT_TRUE(item->isEnabled()) << itemName.toStdString() << " is off";
    // The item's own handler may open modal windows, answered from within this click.
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
}

void Desktop::clickCell(QTableWidget* table, int row, int col) {
    table->scrollToItem(table->item(row, col));
    const QPoint at = table->visualItemRect(table->item(row, col)).center();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
}

void Desktop::typeInto(QWidget* field, const QString& text) {
    QTest::mouseClick(field, Qt::LeftButton);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    keys(field, text);
}

void Desktop::keys(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(widget, c.toLatin1());
            continue;
        }
        // A letter without a key of its own arrives as the keyboard layout sends it: text.
        QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}
