#include "aboutview.h"

#include "viewparts.h"
#include "windowbinder.h"

#include "forms/about.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The maker's mark beside the notice.
class CircleMark : public QWidget {
  public:
    explicit CircleMark(QWidget* parent) : QWidget(parent) { setFixedSize(22, 22); }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(0x20, 0x40, 0x80), 2));
        painter.setBrush(QColor(0x60, 0x90, 0xD0));
        painter.drawEllipse(rect().adjusted(2, 2, -2, -2));
    }
};

QFont faceOf(const QFont& base, QFont::StyleHint hint, const char* family, int points, bool bold) {
    QFont font = base;
    font.setFamilies({QString::fromLatin1(family)});
    font.setStyleHint(hint);
    font.setPointSize(points);
    font.setBold(bold);
    return font;
}

} // namespace

AboutView::AboutView(About& about, QWidget* parent) : ModalView(about, parent) {
    WindowBinder& b = binder();
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(0xD6, 0xD6, 0xD6));
    setPalette(palette);
    setAutoFillBackground(true);

    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::Box);
    frame->setFrameShadow(QFrame::Sunken);

    auto* system = new QLabel(frame);
    system->setFont(faceOf(font(), QFont::Serif, "Serif", 18, true));
    auto* trademark = new QLabel(frame);
    trademark->setFont(faceOf(font(), QFont::SansSerif, "Sans Serif", 6, false));
    trademark->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* nameRow = new QHBoxLayout;
    nameRow->setSpacing(2);
    nameRow->addStretch();
    nameRow->addWidget(system, 0, Qt::AlignBottom);
    nameRow->addWidget(trademark, 0, Qt::AlignTop);
    nameRow->addStretch();

    auto* title = new QLabel(frame);
    title->setFont(faceOf(font(), QFont::SansSerif, "Sans Serif", 13, true));
    title->setAlignment(Qt::AlignCenter);
    auto* version = new QLabel(frame);
    version->setAlignment(Qt::AlignCenter);

    auto* notice = new QLabel(frame);
    notice->setWordWrap(true);
    notice->setFont(faceOf(font(), QFont::SansSerif, "Sans Serif", 8, false));
    auto* noticeRow = new QHBoxLayout;
    noticeRow->addWidget(new CircleMark(frame), 0, Qt::AlignVCenter);
    noticeRow->addWidget(notice, 1);

    auto* inner = new QVBoxLayout(frame);
    inner->setContentsMargins(24, 18, 24, 14);
    inner->setSpacing(6);
    inner->addStretch(1);
    inner->addLayout(nameRow);
    inner->addSpacing(8);
    inner->addWidget(title);
    inner->addWidget(version);
    inner->addSpacing(14);
    inner->addLayout(noticeRow);
    inner->addStretch(1);

    auto* ok = new QPushButton(this);
    ok->setAutoDefault(true);
    ok->setMinimumWidth(90);
    ViewParts::keepPlaceWhenHidden(ok);

    auto* layout = new QVBoxLayout(content());
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(frame);
    layout->addWidget(ok, 0, Qt::AlignHCenter);

    b.bind(system, about.Label1);
    b.bind(trademark, about.Label2);
    b.bind(title, about.Label4);
    b.bind(version, about.Label3);
    b.bind(notice, about.lblNotice);
    b.bind(ok, about.Command1);
    finish();
}
