#include "configview.h"

#include "viewparts.h"
#include "windowbinder.h"

#include "config/frmconfig.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

ConfigView::ConfigView(FrmConfig& config, QWidget* parent)
    : QDialog(parent), m_config(config), m_binder(new WindowBinder(config, this)) {
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(8);
    fields->setVerticalSpacing(10);
    fields->setColumnStretch(1, 1);
    const auto addField = [&](int row, Label& label, TextField& field) {
        auto* caption = new QLabel(this);
        auto* edit = new QLineEdit(this);
        edit->setMinimumWidth(edit->fontMetrics().averageCharWidth() * 48);
        caption->setBuddy(edit);
        fields->addWidget(caption, row, 0);
        fields->addWidget(edit, row, 1);
        m_binder->bind(caption, label);
        m_binder->bind(edit, field);
    };
    addField(0, config.lblAudioURL, config.txtAudioURL);
    addField(1, config.lblHTMURL, config.txtHTMURL);
    addField(2, config.lblIMG, config.txtIMGPath);
    addField(3, config.lblCevents, config.txtCevents);

    auto* note = new QLabel(this);
    ViewParts::styleAsNote(note);
    fields->addWidget(note, 1, 2);
    m_binder->bind(note, config.lblHTMNote);
    auto* browse = new QPushButton(this);
    browse->setAutoDefault(false);
    fields->addWidget(browse, 3, 2);
    m_binder->bind(browse, config.cmdCevents);

    auto* whatsThis = ViewParts::whatsThisButton(this);
    auto* whatsThisLabel = new QLabel(this);
    auto* current = new QPushButton(this);
    auto* save = new QPushButton(this);
    auto* cancel = new QPushButton(this);
    // Enter in a field does not press a button: Save asks its own questions.
    for (QPushButton* button : {current, save, cancel})
        button->setAutoDefault(false);
    m_binder->bind(whatsThis, config.Picture1);
    m_binder->bind(whatsThisLabel, config.lblWhatsThis);
    m_binder->bind(current, config.cmdCurrent);
    m_binder->bind(save, config.cmdSave);
    m_binder->bind(cancel, config.cmdCancel);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(whatsThis);
    buttons->addWidget(whatsThisLabel);
    buttons->addStretch();
    buttons->addWidget(current);
    buttons->addSpacing(12);
    buttons->addWidget(save);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 14, 14, 12);
    layout->addLayout(fields);
    layout->addStretch();
    layout->addSpacing(10);
    layout->addLayout(buttons);

    m_binder->bindTimers();
    m_binder->onClosed = [this] { done(QDialog::Accepted); };
    m_binder->sync();
    m_binder->applyGeometry();
    // The fields sit at the top; extra height would only be empty space.
    resize(width(), sizeHint().height());
}

void ConfigView::reject() {
    if (m_binder->requestClose())
        QDialog::reject();
}
