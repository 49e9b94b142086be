#include "substitutepowerpoint.h"

#include "common/text.h"

#include <stdexcept>

struct SubstitutePowerPoint::State {
    std::string path;
    std::vector<Title> titles;
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

// What COM says of a call rejected by a busy program.
constexpr const char* BusyText = "Call was rejected by callee.";

[[noreturn]] void unknownMember(const std::string& member) {
    throw AutomationError("Object doesn't support this property or method: " + member);
}

class SubstituteObject : public AutomationObject {
  public:
    SubstituteObject(std::shared_ptr<State> state, Kind kind, int number = 0)
        : m_state(std::move(state)), m_instance(m_state->instance), m_kind(kind), m_number(number) {
    }

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
            if (is(member, "ActivePresentation")) {
                if (m_state->titles.empty() && m_state->path.empty())
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
        case Kind::Presentation:
            if (is(member, "PathName") || is(member, "FullName"))
                return m_state->path;
            if (is(member, "Slides")) {
                const int n = args.size() == 1 ? asInt32(args[0]) : 0;
                if (!m_state->inDeck(n))
                    throw AutomationError("Slides : Integer out of range");
                return make(Kind::Slide, n);
            }
            break;
        case Kind::Slide:
            if (is(member, "SlideIndex"))
                return static_cast<std::int32_t>(m_number);
            if (is(member, "SlideNumber"))
                return static_cast<std::int32_t>(m_number + m_state->firstSlideNumber - 1);
            if (is(member, "Objects") || is(member, "Shapes"))
                return make(Kind::Shapes, m_number);
            break;
        case Kind::Shapes:
            if (is(member, "Title")) {
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
        case Kind::TextFrame:
            if (is(member, "TextRange"))
                return make(Kind::TextRange, m_number);
            break;
        case Kind::TextRange:
            if (is(member, "Text"))
                return title();
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
        if (m_kind == Kind::ShowWindows && (member.empty() || is(member, "Item")))
            return get(member, args);
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

    AutomationValue make(Kind kind, int number = 0) const {
        return AutomationRef(std::make_shared<SubstituteObject>(m_state, kind, number));
    }

    std::shared_ptr<State> m_state;
    int m_instance;
    Kind m_kind;
    int m_number; // the show of a window or view, the slide of a slide and its parts
};

} // namespace

SubstitutePowerPoint::SubstitutePowerPoint() : m_state(std::make_shared<State>()) {}

void SubstitutePowerPoint::setDeck(std::string path, std::vector<Title> titles,
                                   int firstSlideNumber) {
    m_state->path = std::move(path);
    m_state->titles = std::move(titles);
    m_state->firstSlideNumber = firstSlideNumber;
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
