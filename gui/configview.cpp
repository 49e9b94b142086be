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

ConfigView::ConfigView(FrmConfig& config, QWidget* parent) : ModalView(config, parent) {
    WindowBinder& b = binder();

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
        b.bind(caption, label);
        b.bind(edit, field);
    };
    addField(0, config.lblAudioURL, config.txtAudioURL);
    addField(1, config.lblHTMURL, config.txtHTMURL);
    addField(2, config.lblIMG, config.txtIMGPath);
    addField(3, config.lblCevents, config.txtCevents);

    auto* note = new QLabel(this);
    ViewParts::styleAsNote(note);
    fields->addWidget(note, 1, 2);
    b.bind(note, config.lblHTMNote);
    auto* browse = new QPushButton(this);
    browse->setAutoDefault(false);
    fields->addWidget(browse, 3, 2);
    b.bind(browse, config.cmdCevents);

    auto* whatsThis = ViewParts::whatsThisButton(this);
    auto* whatsThisLabel = new QLabel(this);
    auto* current = new QPushButton(this);
    auto* save = new QPushButton(this);
    auto* cancel = new QPushButton(this);
    // Enter in a field does not press a button: Save asks its own questions.
    for (QPushButton* button : {current, save, cancel})
        button->setAutoDefault(false);
    b.bind(whatsThis, config.Picture1);
    b.bind(whatsThisLabel, config.lblWhatsThis);
    b.bind(current, config.cmdCurrent);
    b.bind(save, config.cmdSave);
    b.bind(cancel, config.cmdCancel);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(whatsThis);
    buttons->addWidget(whatsThisLabel);
    buttons->addStretch();
    buttons->addWidget(current);
    buttons->addSpacing(12);
    buttons->addWidget(save);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(content());
    layout->setContentsMargins(14, 14, 14, 12);
    layout->addLayout(fields);
    layout->addStretch();
    layout->addSpacing(10);
    layout->addLayout(buttons);

    finish();
    // The fields sit at the top; extra height would only be empty space.
    resize(width(), sizeHint().height());
}
