#include "substitutepowerpoint.h"

#include "common/text.h"
#include "common/textfile.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>

struct SubstitutePowerPoint::State {
    std::string path;
    std::vector<Title> titles;
    std::vector<Words> words;
    bool holds = true;
    int opened = 0;
    int firstSlideNumber = 1;
    bool unavailable = false;
    std::vector<std::string> classNames{"PowerPoint.Application.7", "PowerPoint.Application.8"};
    std::string version = "8.0";
    bool closed = false;
    // Objects of an instance that was closed stay dead when the program starts again.
    int instance = 0;
    bool running = false;
    int slide = 0;
    // A new show makes the windows of an earlier one stale.
    int show = 0;
    bool visible = false;
    int windowState = 0;
    int calls = 0;
    std::map<std::string, int> callsByMember;
    int answersBeforeBusy = -1; // 0: busy; below 0: not about to be
    int rejected = 0;
    int bindings = 0;

    bool inDeck(int n) const { return n >= 1 && n <= static_cast<int>(titles.size()); }
};

namespace {

using State = SubstitutePowerPoint::State;

enum class Kind {
    Application,
    Presentations,
    SlideList,
    PageSetup,
    NotesPage,
    Shape,
    PlaceholderFormat,
    AppWindow,
    ShowWindows,
    ShowWindow,
    View,
    Presentation,
    Slide,
    Shapes,
    TitleShape,
    TextFrame,
    TextRange,
};

// A page of the deck in points, 4:3 as PowerPoint's own default.
constexpr double PageWidth = 720;
constexpr double PageHeight = 540;

// MsoShapeType, PpPlaceholderType and MsoTriState, as a client reads them.
constexpr std::int32_t msoPlaceholder = 14;
constexpr std::int32_t msoTextBox = 17;
constexpr std::int32_t ppPlaceholderTitle = 1;
constexpr std::int32_t ppPlaceholderBody = 2;
constexpr std::int32_t ppPlaceholderSlideNumber = 13;
constexpr std::int32_t msoTrue = -1;

struct ShapeModel {
    std::int32_t type;
    std::int32_t placeholder; // 0: not a placeholder
    bool textFrame;
    std::string text;
};

// A slide's shapes: its title placeholder (unless it is untitled), then a text box per
// text. Its notes page's: the picture of the slide, which holds no text, the body with the
// first note, a text box per later note, and the page's number, which is no note.
std::vector<ShapeModel> shapesOf(const State& state, int slide, bool notesPage) {
    std::vector<ShapeModel> shapes;
    if (!state.inDeck(slide))
        return shapes;
    const SubstitutePowerPoint::Words none;
    const auto& words =
        slide <= static_cast<int>(state.words.size()) ? state.words[slide - 1] : none;
    if (!notesPage) {
        if (state.titles[slide - 1])
            shapes.push_back({msoPlaceholder, ppPlaceholderTitle, true, *state.titles[slide - 1]});
        for (const std::string& text : words.texts)
            shapes.push_back({msoTextBox, 0, true, text});
        return shapes;
    }
    shapes.push_back({msoPlaceholder, ppPlaceholderTitle, false, ""});
    shapes.push_back(
        {msoPlaceholder, ppPlaceholderBody, true, words.notes.empty() ? "" : words.notes[0]});
    for (size_t i = 1; i < words.notes.size(); ++i)
        shapes.push_back({msoTextBox, 0, true, words.notes[i]});
    shapes.push_back({msoPlaceholder, ppPlaceholderSlideNumber, true, std::to_string(slide)});
    return shapes;
}

void putLittle16(std::string& out, int value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void putBig32(std::string& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}

// A white GIF of the size. Its LZW codes stay 3 bits wide: a clear code before every
// two pixels keeps the table from growing.
std::string gifImage(int width, int height) {
    std::string out = "GIF89a";
    putLittle16(out, width);
    putLittle16(out, height);
    out += std::string("\x80\x00\x00\xFF\xFF\xFF\x00\x00\x00", 9);
    out += ',';
    putLittle16(out, 0);
    putLittle16(out, 0);
    putLittle16(out, width);
    putLittle16(out, height);
    out += '\0';
    out += '\x02';
    std::string codes;
    unsigned bits = 0, filled = 0;
    const auto put = [&](unsigned code) {
        bits |= code << filled;
        filled += 3;
        while (filled >= 8) {
            codes += static_cast<char>(bits & 0xFF);
            bits >>= 8;
            filled -= 8;
        }
    };
    const long pixels = static_cast<long>(width) * height;
    for (long i = 0; i < pixels; ++i) {
        if (i % 2 == 0)
            put(4);
        put(0);
    }
    put(5);
    if (filled > 0)
        codes += static_cast<char>(bits & 0xFF);
    for (size_t at = 0; at < codes.size(); at += 255) {
        const size_t length = std::min<size_t>(255, codes.size() - at);
        out += static_cast<char>(length);
        out.append(codes, at, length);
    }
    out += '\0';
    out += ';';
    return out;
}

std::uint32_t crc32(const std::string& bytes) {
    std::uint32_t crc = 0xFFFFFFFF;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    return ~crc;
}

void putChunk(std::string& out, const std::string& type, const std::string& data) {
    putBig32(out, static_cast<std::uint32_t>(data.size()));
    out += type + data;
    putBig32(out, crc32(type + data));
}

// A white grey-scale PNG of the size, its pixels in stored (uncompressed) deflate blocks.
std::string pngImage(int width, int height) {
    std::string raw;
    for (int row = 0; row < height; ++row)
        raw += '\0' + std::string(static_cast<size_t>(width), '\xFF');
    std::string zlib = "\x78\x01";
    for (size_t at = 0; at == 0 || at < raw.size(); at += 65535) {
        const size_t length = std::min<size_t>(65535, raw.size() - at);
        zlib += static_cast<char>(at + length >= raw.size() ? 1 : 0);
        putLittle16(zlib, static_cast<int>(length));
        putLittle16(zlib, static_cast<int>(~length & 0xFFFF));
        zlib.append(raw, at, length);
    }
    std::uint32_t a = 1, b = 0;
    for (unsigned char byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    putBig32(zlib, (b << 16) | a);
    std::string header;
    putBig32(header, static_cast<std::uint32_t>(width));
    putBig32(header, static_cast<std::uint32_t>(height));
    header += std::string("\x08\x00\x00\x00\x00", 5);
    std::string out = "\x89PNG\r\n\x1A\n";
    putChunk(out, "IHDR", header);
    putChunk(out, "IDAT", zlib);
    putChunk(out, "IEND", "");
    return out;
}

// What COM says of a call rejected by a busy program.
constexpr const char* BusyText = "Call was rejected by callee.";

[[noreturn]] void unknownMember(const std::string& member) {
    throw AutomationError("Object doesn't support this property or method: " + member);
}

class SubstituteObject : public AutomationObject {
  public:
    SubstituteObject(std::shared_ptr<State> state, Kind kind, int number = 0, int shape = 0,
                     bool notesPage = false)
        : m_state(std::move(state)), m_instance(m_state->instance), m_kind(kind), m_number(number),
          m_shape(shape), m_notesPage(notesPage) {}

    AutomationValue get(const std::string& member,
                        const std::vector<AutomationValue>& args) override {
        answer(member);
        switch (m_kind) {
        case Kind::Application:
            if (is(member, "AppWindow"))
                return make(Kind::AppWindow);
            if (is(member, "SlideShowWindows"))
                return make(Kind::ShowWindows);
            if (is(member, "Version"))
                return m_state->version;
            if (is(member, "Presentations"))
                return make(Kind::Presentations);
            if (is(member, "ActivePresentation")) {
                if ((m_state->titles.empty() && m_state->path.empty()) ||
                    (!m_state->holds && m_state->opened == 0))
                    throw AutomationError("No presentation is open");
                return make(Kind::Presentation);
            }
            [[fallthrough]];
        case Kind::AppWindow:
            if (is(member, "Visible"))
                return m_state->visible;
            if (is(member, "WindowState"))
                return static_cast<std::int32_t>(m_state->windowState);
            break;
        case Kind::ShowWindows:
            if (is(member, "Count"))
                return static_cast<std::int32_t>(m_state->running ? 1 : 0);
            if (member.empty() || is(member, "Item")) {
                if (args.size() != 1 || asInt32(args[0]) != 1 || !m_state->running)
                    throw AutomationError("Integer out of range");
                return make(Kind::ShowWindow, m_state->show);
            }
            break;
        case Kind::ShowWindow:
            requireShow();
            if (is(member, "View"))
                return make(Kind::View, m_number);
            break;
        case Kind::View:
            requireShow();
            if (is(member, "Slide"))
                return make(Kind::Slide, m_state->slide);
            break;
        case Kind::Presentations:
            if (is(member, "Count"))
                return static_cast<std::int32_t>((m_state->holds ? 1 : 0) + m_state->opened);
            break;
        case Kind::Presentation:
            if (is(member, "PathName") || is(member, "FullName"))
                return m_state->path;
            if (is(member, "PageSetup"))
                return make(Kind::PageSetup);
            if (is(member, "Slides") && args.empty())
                return make(Kind::SlideList);
            if (is(member, "Slides")) {
                const int n = args.size() == 1 ? asInt32(args[0]) : 0;
                if (!m_state->inDeck(n))
                    throw AutomationError("Slides : Integer out of range");
                return make(Kind::Slide, n);
            }
            break;
        case Kind::SlideList:
            if (is(member, "Count"))
                return static_cast<std::int32_t>(m_state->titles.size());
            if (member.empty() || is(member, "Item")) {
                const int n = args.size() == 1 ? asInt32(args[0]) : 0;
                if (!m_state->inDeck(n))
                    throw AutomationError("Slides.Item : Integer out of range");
                return make(Kind::Slide, n);
            }
            break;
        case Kind::PageSetup:
            if (is(member, "SlideWidth"))
                return PageWidth;
            if (is(member, "SlideHeight"))
                return PageHeight;
            break;
        case Kind::NotesPage:
            if (is(member, "Shapes"))
                return make(Kind::Shapes, m_number, 0, true);
            break;
        case Kind::Slide:
            if (is(member, "NotesPage"))
                return make(Kind::NotesPage, m_number);
            if (is(member, "SlideIndex"))
                return static_cast<std::int32_t>(m_number);
            if (is(member, "SlideNumber"))
                return static_cast<std::int32_t>(m_number + m_state->firstSlideNumber - 1);
            if (is(member, "Objects") || is(member, "Shapes"))
                return make(Kind::Shapes, m_number);
            break;
        case Kind::Shapes:
            if (is(member, "Count"))
                return static_cast<std::int32_t>(shapes().size());
            if (member.empty() || is(member, "Item")) {
                const int n = args.size() == 1 ? asInt32(args[0]) : 0;
                if (n < 1 || n > static_cast<int>(shapes().size()))
                    throw AutomationError("Shapes.Item : Integer out of range");
                return make(Kind::Shape, m_number, n, m_notesPage);
            }
            if (is(member, "Title") && !m_notesPage) {
                if (!m_state->inDeck(m_number) || !m_state->titles[m_number - 1])
                    throw AutomationError("This slide has no title placeholder");
                return make(Kind::TitleShape, m_number);
            }
            break;
        case Kind::TitleShape:
            if (is(member, "Text"))
                return title();
            if (is(member, "TextFrame"))
                return make(Kind::TextFrame, m_number);
            break;
        case Kind::Shape:
            if (is(member, "HasTextFrame"))
                return static_cast<std::int32_t>(shape().textFrame ? msoTrue : 0);
            if (is(member, "Type"))
                return shape().type;
            if (is(member, "PlaceholderFormat")) {
                if (shape().placeholder == 0)
                    throw AutomationError("This shape is not a placeholder.");
                return make(Kind::PlaceholderFormat, m_number, m_shape, m_notesPage);
            }
            if (is(member, "TextFrame")) {
                if (!shape().textFrame)
                    throw AutomationError("This type of shape cannot have a text frame.");
                return make(Kind::TextFrame, m_number, m_shape, m_notesPage);
            }
            break;
        case Kind::PlaceholderFormat:
            if (is(member, "Type"))
                return shape().placeholder;
            break;
        case Kind::TextFrame:
            if (is(member, "TextRange"))
                return make(Kind::TextRange, m_number, m_shape, m_notesPage);
            break;
        case Kind::TextRange:
            // The title's text, or that of the shape it was reached through.
            if (is(member, "Text"))
                return m_shape == 0 ? title() : AutomationValue(shape().text);
            break;
        }
        unknownMember(member);
    }

    void put(const std::string& member, const AutomationValue& value) override {
        answer(member);
        if (m_kind == Kind::Application || m_kind == Kind::AppWindow) {
            if (is(member, "Visible")) {
                m_state->visible = asInt16(value) != 0;
                return;
            }
            if (is(member, "WindowState")) {
                m_state->windowState = asInt32(value);
                return;
            }
        }
        unknownMember(member);
    }

    AutomationValue call(const std::string& member,
                         const std::vector<AutomationValue>& args) override {
        answer(member);
        if (m_kind == Kind::Application && is(member, "Quit")) {
            m_state->running = false;
            m_state->closed = true;
            return {};
        }
        if ((m_kind == Kind::ShowWindows || m_kind == Kind::SlideList || m_kind == Kind::Shapes) &&
            (member.empty() || is(member, "Item")))
            return get(member, args);
        if (m_kind == Kind::Presentations && is(member, "Open")) {
            // Open(FileName, ReadOnly, Untitled, WithWindow): any deck that exists opens
            // as this one.
            if (args.empty() || !TextFile::exists(asText(args[0])))
                throw AutomationError("PowerPoint could not open the file.");
            ++m_state->opened;
            return make(Kind::Presentation, 1);
        }
        if (m_kind == Kind::Presentation && is(member, "Close")) {
            if (m_number == 1 && !m_closed)
                --m_state->opened;
            else if (m_number == 0)
                m_state->holds = false;
            m_closed = true;
            return {};
        }
        if (m_kind == Kind::Slide && is(member, "Export"))
            return exportSlide(args);
        unknownMember(member);
    }

  private:
    static bool is(const std::string& member, const char* name) {
        return Text::equalsNoCase(member, name);
    }

    // A closed program answers nothing, a busy one turns calls away; every other call is
    // counted.
    void answer(const std::string& member) {
        if (m_state->closed || m_instance != m_state->instance)
            throw AutomationError("The remote procedure call failed.", AutomationError::Kind::Gone);
        if (m_state->answersBeforeBusy == 0) {
            ++m_state->rejected;
            throw AutomationError(BusyText, AutomationError::Kind::Busy);
        }
        if (m_state->answersBeforeBusy > 0)
            --m_state->answersBeforeBusy;
        ++m_state->calls;
        ++m_state->callsByMember[member];
    }

    void requireShow() const {
        if (!m_state->running || m_state->show != m_number)
            throw AutomationError("The object invoked has disconnected from its clients.",
                                  AutomationError::Kind::Gone);
    }

    AutomationValue title() const {
        if (!m_state->inDeck(m_number) || !m_state->titles[m_number - 1])
            throw AutomationError("This slide has no title placeholder");
        return *m_state->titles[m_number - 1];
    }

    AutomationValue make(Kind kind, int number = 0, int shape = 0, bool notesPage = false) const {
        return AutomationRef(
            std::make_shared<SubstituteObject>(m_state, kind, number, shape, notesPage));
    }

    std::vector<ShapeModel> shapes() const { return shapesOf(*m_state, m_number, m_notesPage); }
    ShapeModel shape() const {
        const auto all = shapes();
        if (m_shape < 1 || m_shape > static_cast<int>(all.size()))
            throw AutomationError("The object does not exist.");
        return all[m_shape - 1];
    }

    // Export(FileName, FilterName, ScaleWidth, ScaleHeight): a plain image of the size.
    AutomationValue exportSlide(const std::vector<AutomationValue>& args) const {
        if (args.size() != 4)
            throw AutomationError("Slide.Export : Invalid request.");
        const std::string filter = asText(args[1]);
        const int width = asInt32(args[2]);
        const int height = asInt32(args[3]);
        if (width < 1 || height < 1 || width > 0xFFFF || height > 0xFFFF)
            throw AutomationError("Slide.Export : Integer out of range.");
        std::string image;
        if (is(filter, "GIF"))
            image = gifImage(width, height);
        else if (is(filter, "PNG"))
            image = pngImage(width, height);
        else
            throw AutomationError("Slide.Export : The specified filter was not found.");
        try {
            TextFile::writeAtomically(asText(args[0]), image);
        } catch (const FileError& e) {
            throw AutomationError(std::string("Slide.Export : Failed. ") + e.what());
        }
        return {};
    }

    std::shared_ptr<State> m_state;
    int m_instance;
    Kind m_kind;
    int m_number;     // the show of a window or view, the slide of a slide and its parts
    int m_shape;      // a shape's place on its page from 1; 0 for the title reached by name
    bool m_notesPage; // the shape is on the slide's notes page
    bool m_closed = false;
};

} // namespace

SubstitutePowerPoint::SubstitutePowerPoint() : m_state(std::make_shared<State>()) {}

void SubstitutePowerPoint::setDeck(std::string path, std::vector<Title> titles,
                                   int firstSlideNumber) {
    m_state->path = std::move(path);
    m_state->titles = std::move(titles);
    m_state->firstSlideNumber = firstSlideNumber;
}

void SubstitutePowerPoint::setWords(std::vector<Words> words) {
    m_state->words = std::move(words);
}

void SubstitutePowerPoint::setHoldsPresentation(bool holds) {
    m_state->holds = holds;
}

int SubstitutePowerPoint::openedPresentations() const {
    return m_state->opened;
}

void SubstitutePowerPoint::setUnavailable(bool unavailable) {
    m_state->unavailable = unavailable;
}

void SubstitutePowerPoint::setClassNames(std::vector<std::string> classNames) {
    m_state->classNames = std::move(classNames);
}

void SubstitutePowerPoint::setVersion(std::string version) {
    m_state->version = std::move(version);
}

void SubstitutePowerPoint::startShow(int slide) {
    if (m_state->closed)
        throw std::logic_error("the presentation program was closed");
    if (!m_state->inDeck(slide))
        throw std::invalid_argument("no slide " + std::to_string(slide) + " in the presentation");
    m_state->running = true;
    m_state->slide = slide;
    ++m_state->show;
}

void SubstitutePowerPoint::gotoSlide(int slide) {
    if (m_state->closed)
        throw std::logic_error("the presentation program was closed");
    if (!m_state->running)
        throw std::invalid_argument("no slide show is running");
    if (!m_state->inDeck(slide))
        throw std::invalid_argument("no slide " + std::to_string(slide) + " in the presentation");
    m_state->slide = slide;
}

void SubstitutePowerPoint::endShow() {
    if (m_state->closed)
        throw std::logic_error("the presentation program was closed");
    if (!m_state->running)
        throw std::invalid_argument("no slide show is running");
    m_state->running = false;
}

void SubstitutePowerPoint::quit() {
    m_state->running = false;
    m_state->closed = true;
}

void SubstitutePowerPoint::launch() {
    if (m_state->closed) {
        m_state->closed = false;
        ++m_state->instance;
    }
}

void SubstitutePowerPoint::beBusy(int answered) {
    m_state->answersBeforeBusy = answered < 0 ? 0 : answered;
}

void SubstitutePowerPoint::beReady() {
    m_state->answersBeforeBusy = -1;
}

int SubstitutePowerPoint::rejectedCalls() const {
    return m_state->rejected;
}

int SubstitutePowerPoint::bindings() const {
    return m_state->bindings;
}

bool SubstitutePowerPoint::showRunning() const {
    return m_state->running;
}

int SubstitutePowerPoint::shownSlide() const {
    return m_state->running ? m_state->slide : 0;
}

bool SubstitutePowerPoint::isClosed() const {
    return m_state->closed;
}

bool SubstitutePowerPoint::isVisible() const {
    return m_state->visible;
}

int SubstitutePowerPoint::windowState() const {
    return m_state->windowState;
}

int SubstitutePowerPoint::calls() const {
    return m_state->calls;
}

int SubstitutePowerPoint::callsOf(const std::string& member) const {
    auto it = m_state->callsByMember.find(member);
    return it == m_state->callsByMember.end() ? 0 : it->second;
}

void SubstitutePowerPoint::resetCalls() {
    m_state->calls = 0;
    m_state->callsByMember.clear();
}

AutomationFactory SubstitutePowerPoint::factory() {
    return [state = m_state](const std::string& className) -> AutomationRef {
        bool known = false;
        for (const std::string& name : state->classNames)
            known = known || Text::equalsNoCase(className, name);
        if (!known || state->unavailable)
            throw AutomationClassMissing("ActiveX component can't create object");
        // A closed program starts afresh when it is created again.
        if (state->closed) {
            state->closed = false;
            ++state->instance;
        }
        ++state->bindings;
        return std::make_shared<SubstituteObject>(state, Kind::Application);
    };
}

AutomationFactory SubstitutePowerPoint::attachFactory() {
    return [state = m_state, create = factory()](const std::string& className) {
        if (state->closed)
            throw AutomationError("Operation unavailable");
        return create(className);
    };
}
