#include "viewparts.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>

namespace {

class FittingScrollArea : public QScrollArea {
  public:
    using QScrollArea::QScrollArea;
    // QScrollArea caps its hint at a few dozen lines; the window wants its content whole.
    QSize sizeHint() const override {
        return widget() ? widget()->sizeHint().expandedTo(widget()->minimumSizeHint())
                        : QScrollArea::sizeHint();
    }
};

} // namespace

QScrollArea* ViewParts::scrolling(QWidget* content, QWidget* parent) {
    auto* area = new FittingScrollArea(parent);
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setWidget(content);
    return area;
}

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
