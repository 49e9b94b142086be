#include "modalview.h"

#include "viewparts.h"
#include "windowbinder.h"

#include "forms/window.h"

#include <QScrollArea>
#include <QVBoxLayout>

ModalView::ModalView(Window& window, QWidget* parent)
    : QDialog(parent), m_binder(new WindowBinder(window, this)), m_content(new QWidget) {
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(ViewParts::scrolling(m_content, this));
}

void ModalView::finish() {
    m_binder->bindTimers();
    m_binder->onClosed = [this] { done(QDialog::Accepted); };
    m_binder->takeViewSize();
    m_binder->sync();
    m_binder->applyGeometry();
}

void ModalView::showModel() {
    m_binder->sync();
    m_binder->applyGeometry();
}

void ModalView::runModal() {
    while (!m_binder->window().isClosed())
        exec();
}

void ModalView::reject() {
    // A closed model has ended the dialog already.
    if (m_binder->requestClose() && isVisible())
        QDialog::reject();
}
