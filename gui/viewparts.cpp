#include "viewparts.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

QPushButton* ViewParts::whatsThisButton(QWidget* parent) {
    auto* button = new QPushButton(parent);
    QFont font = button->font();
    font.setBold(true);
    button->setFont(font);
    button->setAutoDefault(false);
    const int side = button->fontMetrics().height() + 12;
    button->setFixedSize(side, side);
    return button;
}

void ViewParts::styleAsNote(QLabel* label) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::Disabled, QPalette::WindowText));
    label->setPalette(palette);
}

void ViewParts::fitToClockTime(QLineEdit* edit) {
    const int text = edit->fontMetrics().horizontalAdvance(QStringLiteral("00:00:00"));
    edit->setFixedWidth(text + 16);
}

void ViewParts::keepPlaceWhenHidden(QWidget* widget) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}
