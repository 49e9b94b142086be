#pragma once

class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QWidget;

// Small pieces the views share.
namespace ViewParts {

// A frameless scroll area around a window's content: it asks for the content's whole
// size, and scrolls only when the screen leaves the window less.
QScrollArea* scrolling(QWidget* content, QWidget* parent);

// The picture button that starts What's This mode.
QPushButton* whatsThisButton(QWidget* parent);
// A fixed note beside a field, in a quieter colour.
void styleAsNote(QLabel* label);
// A field sized for a clock time "hh:nn:ss".
void fitToClockTime(QLineEdit* edit);
// A widget that keeps its place in the layout while hidden, so the shown and hidden
// states of optional controls do not shift their neighbours.
void keepPlaceWhenHidden(QWidget* widget);

} // namespace ViewParts
