#include "modalview.h"

#include "windowbinder.h"

ModalView::ModalView(Window& window, QWidget* parent)
    : QDialog(parent), m_binder(new WindowBinder(window, this)) {
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

void ModalView::finish() {
    m_binder->bindTimers();
    m_binder->onClosed = [this] { done(QDialog::Accepted); };
    m_binder->sync();
    m_binder->applyGeometry();
}

void ModalView::reject() {
    if (m_binder->requestClose())
        QDialog::reject();
}
