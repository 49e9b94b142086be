#include "win32views.h"

#include "win32parts.h"
#include "win32view.h"

#include "config/frmconfig.h"
#include "forms/about.h"
#include "logger/form1.h"
#include "schedule/mainwindow.h"

#include <algorithm>
#include <memory>
#include <string>

namespace {

// Heights of one line of each kind of control, in twips.
constexpr int LabelHeight = 255;
constexpr int FieldHeight = 315;
constexpr int ButtonHeight = 375;
// A label sits this much lower than the field beside it, so their texts line up.
constexpr int LabelDrop = 45;

Placement at(Control& control, int left, int top, int width, int height, Look look = Look::Plain) {
    return {&control, left, top, width, height, look};
}

Placement frame(const std::string& caption, int left, int top, int width, int height) {
    return {nullptr, left, top, width, height, Look::Plain, caption};
}

ViewLayout aboutLayout(About& about) {
    ViewLayout layout;
    layout.width = 5400;
    layout.height = 3240;
    layout.greyBackground = true;
    layout.places = {
        frame("", 120, 60, 5160, 2520),
        at(about.Label1, 300, 420, 4560, 480, Look::SystemName),
        at(about.Label2, 4860, 420, 300, 240, Look::Trademark),
        at(about.Label4, 300, 1000, 4800, 420, Look::Heading),
        at(about.Label3, 300, 1440, 4800, LabelHeight, Look::Centered),
        at(about.lblNotice, 900, 1860, 4200, 600, Look::Notice),
        at(about.Command1, 2100, 2700, 1200, ButtonHeight),
    };
    // The maker's mark beside the notice.
    layout.paint = [](HDC dc, int dpi) {
        using Win32Parts::toPixels;
        HPEN pen = ::CreatePen(PS_SOLID, std::max(1, toPixels(30, dpi)), RGB(0x20, 0x40, 0x80));
        HBRUSH brush = ::CreateSolidBrush(RGB(0x60, 0x90, 0xD0));
        HGDIOBJ oldPen = ::SelectObject(dc, pen);
        HGDIOBJ oldBrush = ::SelectObject(dc, brush);
        ::Ellipse(dc, toPixels(400, dpi), toPixels(1920, dpi), toPixels(730, dpi),
                  toPixels(2250, dpi));
        ::SelectObject(dc, oldPen);
        ::SelectObject(dc, oldBrush);
        ::DeleteObject(pen);
        ::DeleteObject(brush);
    };
    return layout;
}

ViewLayout configLayout(FrmConfig& config) {
    ViewLayout layout;
    layout.width = 6840;
    layout.height = 2820;
    const int labelLeft = 240;
    const int fieldLeft = 1620;
    const int fieldWidth = 3900;
    const int besideLeft = fieldLeft + fieldWidth + 90;
    const std::pair<Label*, TextField*> rows[] = {{&config.lblAudioURL, &config.txtAudioURL},
                                                  {&config.lblHTMURL, &config.txtHTMURL},
                                                  {&config.lblIMG, &config.txtIMGPath},
                                                  {&config.lblCevents, &config.txtCevents}};
    int top = 240;
    for (auto [label, field] : rows) {
        layout.places.push_back(at(*label, labelLeft, top + LabelDrop, 1320, LabelHeight));
        layout.places.push_back(at(*field, fieldLeft, top, fieldWidth, FieldHeight));
        top += 420;
    }
    layout.places.push_back(
        at(config.lblHTMNote, besideLeft, 660 + LabelDrop, 1080, LabelHeight, Look::Note));
    layout.places.push_back(at(config.cmdCevents, besideLeft, 1500, 600, FieldHeight));
    const int buttons = 2220;
    layout.places.push_back(at(config.Picture1, labelLeft, buttons, ButtonHeight, ButtonHeight));
    layout.places.push_back(
        at(config.lblWhatsThis, labelLeft + 480, buttons + 60, 1500, LabelHeight));
    layout.places.push_back(at(config.cmdCurrent, 2700, buttons, 1400, ButtonHeight));
    layout.places.push_back(at(config.cmdSave, 4320, buttons, 1100, ButtonHeight));
    layout.places.push_back(at(config.cmdCancel, 5520, buttons, 1100, ButtonHeight));
    return layout;
}

ViewLayout loggerLayout(Form1& form) {
    ViewLayout layout;
    layout.width = 6240;
    layout.height = 1980 + LabelHeight;
    Label* values[] = {&form.lblLogFIle, &form.lblPPTFile, &form.lblSlideNum};
    for (int i = 0; i < 3; ++i) {
        const int top = 120 + i * 300;
        layout.places.push_back(at(form.Label1[i], 120, top, 1140, LabelHeight));
        layout.places.push_back(at(*values[i], 1320, top, 4800, LabelHeight));
    }
    // The status line holds a message of two lines.
    layout.places.push_back(at(form.lblStatus, 120, 1020, 6000, 2 * LabelHeight, Look::Status));
    const int buttons = 1440 + LabelHeight;
    layout.places.push_back(at(form.cmdOpenLog, 120, buttons, 1300, ButtonHeight));
    layout.places.push_back(at(form.cmdEnd, 1540, buttons, 1300, ButtonHeight));
    layout.places.push_back(at(form.Picture1, 3780, buttons, ButtonHeight, ButtonHeight));
    layout.places.push_back(at(form.Label2, 4260, buttons + 60, 1860, LabelHeight));
    return layout;
}

ViewLayout mainLayout(Main& main) {
    ViewLayout layout;
    layout.width = 9480;
    layout.height = 7140;
    auto& p = layout.places;
    p.push_back(at(main.Grid1, 120, 120, 9240, 3300));

    // The row editor: one row of the schedule at a time.
    p.push_back(frame("Row Editor", 120, 3480, 9240, 1560));
    int top = 3780;
    p.push_back(at(main.lblLineNum, 240, top + LabelDrop, 1140, LabelHeight));
    p.push_back(at(main.txtLineNum, 1380, top, 540, FieldHeight));
    p.push_back(at(main.lblSlideLength, 2100, top + LabelDrop, 1080, LabelHeight));
    p.push_back(at(main.txtSlideLength, 3180, top, 1020, FieldHeight));
    // The first-row alternatives appear beside the length only for row 1.
    p.push_back(at(main.cmd1LogTIme, 4320, top, 330, FieldHeight));
    p.push_back(at(main.txt1LogTIme, 4680, top, 1020, FieldHeight));
    p.push_back(at(main.cmd1SaveTIme, 5820, top, 330, FieldHeight));
    p.push_back(at(main.txt1SaveTime, 6180, top, 1020, FieldHeight));
    // Hidden for good, but every control of the window has its window.
    p.push_back(at(main.txtSlideStart, 7320, top, 900, FieldHeight));
    p.push_back(at(main.txtSlideStop, 8280, top, 900, FieldHeight));
    top += 390;
    p.push_back(at(main.lblTapeEarly, 240, top + LabelDrop, 1140, LabelHeight));
    p.push_back(at(main.txtTapeEarly, 1380, top, 1020, FieldHeight));
    p.push_back(at(main.lblTapeLate, 2580, top + LabelDrop, 960, LabelHeight));
    p.push_back(at(main.txtTapeLate, 3540, top, 1020, FieldHeight));
    p.push_back(at(main.cmdUpdate, 7980, top, 1260, FieldHeight + 60));
    top += 390;
    p.push_back(at(main.lblIMGURL, 240, top + LabelDrop, 1140, LabelHeight));
    p.push_back(at(main.txtIMGURL, 1380, top, 3240, FieldHeight));
    p.push_back(at(main.lblSlideTitle, 4740, top + LabelDrop, 600, LabelHeight));
    p.push_back(at(main.txtSlideTitle, 5340, top, 3900, FieldHeight));

    // Where the presentation comes from and where it will live.
    p.push_back(frame("Presentation", 120, 5100, 5280, 1440));
    top = 5400;
    const std::pair<Label*, TextField*> urls[] = {{&main.lblLogFile, &main.txtLogFile},
                                                  {&main.lblAudioURL, &main.txtAudioURL},
                                                  {&main.lblHTMURL, &main.txtHTMURL}};
    for (auto [label, field] : urls) {
        p.push_back(at(*label, 240, top + LabelDrop, 1260, LabelHeight));
        const bool noted = field == &main.txtHTMURL;
        p.push_back(at(*field, 1500, top, noted ? 2820 : 3780, FieldHeight));
        top += 360;
    }
    p.push_back(at(main.lblHTMNote, 4380, 5400 + 720 + LabelDrop, 960, LabelHeight, Look::Note));

    // Texts the three fill-in buttons copy into the fields of the editor and above.
    p.push_back(frame("Fill-in Texts", 5520, 5100, 3840, 1440));
    top = 5400;
    p.push_back(at(main.txtAudioURLM, 5640, top, 1560, FieldHeight));
    p.push_back(at(main.txtLectPath, 7260, top, 1200, FieldHeight));
    p.push_back(at(main.cmdAudioURL, 8520, top, 720, FieldHeight));
    p.push_back(at(main.txtRAMFileM, 5640, top + 360, 2820, FieldHeight));
    p.push_back(at(main.cmdRAM, 8520, top + 360, 720, FieldHeight));
    p.push_back(at(main.txtSlideURLM, 5640, top + 720, 2820, FieldHeight));
    p.push_back(at(main.cmdSlide, 8520, top + 720, 720, FieldHeight));

    p.push_back(at(main.Picture1, 120, 6660, ButtonHeight, ButtonHeight));
    p.push_back(at(main.lblWhatsThis, 600, 6720, 2400, LabelHeight));
    return layout;
}

// A view with a model's layout.
template <class Model, ViewLayout (*layout)(Model&)>
std::unique_ptr<Win32View> laidOut(Model& model, HWND owner) {
    return std::make_unique<Win32View>(model, layout(model), owner);
}

} // namespace

const Win32ViewRegistry& win32Views() {
    static const Win32ViewRegistry views = [] {
        Win32ViewRegistry r;
        r.add<About>(&laidOut<About, &aboutLayout>);
        r.add<FrmConfig>(&laidOut<FrmConfig, &configLayout>);
        r.add<Main>(&laidOut<Main, &mainLayout>);
        r.add<Form1>([](Form1& form, HWND owner) {
            std::unique_ptr<Win32View> view = laidOut<Form1, &loggerLayout>(form, owner);
            // The logger's window shows during its load, before the log dialog comes up
            // over it.
            Win32View* shown = view.get();
            form.Show = [shown] { shown->showModel(); };
            return view;
        });
        return r;
    }();
    return views;
}
