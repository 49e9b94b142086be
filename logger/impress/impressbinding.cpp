#include "impressbinding.h"

#include "common/text.h"
#include "officesession.h"

#include <com/sun/star/awt/XTopWindow2.hpp>
#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/drawing/XDrawPage.hpp>
#include <com/sun/star/drawing/XDrawPagesSupplier.hpp>
#include <com/sun/star/drawing/XShapeDescriptor.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/text/XTextRange.hpp>

#include <unistd.h>

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

namespace {

using Session = std::shared_ptr<OfficeSession>;
using Args = std::vector<AutomationValue>;

bool is(const std::string& member, const char* name) {
    return Text::equalsNoCase(member, name);
}

[[noreturn]] void unsupported() {
    throw AutomationError("Object doesn't support this property or method");
}

// The members the loggers call, translated; everything else is refused as automation
// refuses an unknown member.
class OfficeObject : public AutomationObject {
  public:
    explicit OfficeObject(Session session) : m_session(std::move(session)) {}
    AutomationValue get(const std::string&, const Args&) override { unsupported(); }
    void put(const std::string&, const AutomationValue&) override { unsupported(); }
    AutomationValue call(const std::string&, const Args&) override { unsupported(); }

  protected:
    Session m_session;
};

int16_t soleIndex(const Args& args) {
    if (args.size() != 1)
        throw AutomationError("Wrong number of arguments");
    return asInt16(args[0]);
}

// The office's front window: "Visible" shows it, "WindowState" 1, 2, 3 restores,
// minimises and maximises it as the PowerPoint constants do.
class OfficeWindow : public OfficeObject {
  public:
    using OfficeObject::OfficeObject;

    void put(const std::string& member, const AutomationValue& value) override {
        if (is(member, "Visible")) {
            const bool visible = asInt32(value) != 0;
            apply([visible](const Reference<css::awt::XWindow>& w) { w->setVisible(visible); });
        } else if (is(member, "WindowState")) {
            const auto state = asInt32(value);
            if (state < 1 || state > 3)
                throw AutomationError("Invalid procedure call or argument");
            apply([state](const Reference<css::awt::XWindow>& w) {
                Reference<css::awt::XTopWindow2> top(w, UNO_QUERY);
                if (!top.is())
                    return;
                if (state == 2) {
                    top->setIsMinimized(true);
                } else {
                    top->setIsMinimized(false);
                    top->setIsMaximized(state == 3);
                }
            });
        } else {
            unsupported();
        }
    }

  private:
    template <typename Change> void apply(Change change) {
        m_session->run([change](OfficeView& view) -> AutomationValue {
            // An office with no window yet has nothing to show or size.
            auto frame = view.desktop()->getCurrentFrame();
            if (frame.is())
                if (auto window = frame->getContainerWindow(); window.is())
                    change(window);
            return {};
        });
    }
};

class ShowSlide : public OfficeObject {
  public:
    ShowSlide(Session session, int generation)
        : OfficeObject(std::move(session)), m_generation(generation) {}

    AutomationValue get(const std::string& member, const Args&) override {
        const int generation = m_generation;
        if (is(member, "SlideIndex"))
            return m_session->run([generation](OfficeView& view) -> AutomationValue {
                const sal_Int32 index = view.controller(generation)->getCurrentSlideIndex();
                if (index < 0)
                    throw AutomationError("No slide is shown");
                return std::int32_t(index + 1);
            });
        if (is(member, "SlideNumber"))
            return m_session->run([generation](OfficeView& view) -> AutomationValue {
                return std::int32_t(view.shownSlideNumber(generation));
            });
        unsupported();
    }

  private:
    int m_generation;
};

// A slide-show window and its view: both lead to the shown slide of one show.
class ShowWindow : public OfficeObject {
  public:
    ShowWindow(Session session, int generation, bool isView)
        : OfficeObject(std::move(session)), m_generation(generation), m_isView(isView) {}

    AutomationValue get(const std::string& member, const Args&) override {
        if (!m_isView && is(member, "View"))
            return AutomationRef(std::make_shared<ShowWindow>(m_session, m_generation, true));
        if (m_isView && is(member, "Slide"))
            return AutomationRef(std::make_shared<ShowSlide>(m_session, m_generation));
        unsupported();
    }

  private:
    int m_generation;
    bool m_isView;
};

class ShowWindows : public OfficeObject {
  public:
    using OfficeObject::OfficeObject;

    AutomationValue get(const std::string& member, const Args& args) override {
        if (is(member, "Count") && args.empty())
            return m_session->run(
                [](OfficeView& view) -> AutomationValue { return std::int32_t(view.showCount()); });
        if (member.empty() || is(member, "Item")) {
            if (soleIndex(args) != 1)
                throw AutomationError("Subscript out of range");
            auto session = m_session;
            return m_session->run([session](OfficeView& view) -> AutomationValue {
                if (!view.showing())
                    throw AutomationError("Subscript out of range");
                return AutomationRef(
                    std::make_shared<ShowWindow>(session, view.generation(), false));
            });
        }
        unsupported();
    }
    AutomationValue call(const std::string& member, const Args& args) override {
        return get(member, args);
    }
};

// "Slides"(n) and the title chain of either version down to its "Text": the text of the
// slide's title placeholder; a slide without one has no title.
class TitleChain : public OfficeObject {
  public:
    TitleChain(Session session, int document, int slide, std::vector<const char*> rest)
        : OfficeObject(std::move(session)), m_document(document), m_slide(slide),
          m_rest(std::move(rest)) {}

    AutomationValue get(const std::string& member, const Args& args) override {
        if (m_rest.empty() || !args.empty() || !is(member, m_rest.front()))
            unsupported();
        if (m_rest.size() > 1)
            return AutomationRef(std::make_shared<TitleChain>(
                m_session, m_document, m_slide,
                std::vector<const char*>(m_rest.begin() + 1, m_rest.end())));
        const int document = m_document;
        const int slide = m_slide;
        return m_session->run([document, slide](OfficeView& view) -> AutomationValue {
            Reference<css::drawing::XDrawPagesSupplier> pages(view.document(document),
                                                              UNO_QUERY_THROW);
            auto all = pages->getDrawPages();
            if (slide < 1 || slide > all->getCount())
                throw AutomationError("Subscript out of range");
            Reference<css::container::XIndexAccess> shapes(all->getByIndex(slide - 1),
                                                           UNO_QUERY_THROW);
            for (sal_Int32 i = 0, n = shapes->getCount(); i < n; ++i) {
                Reference<css::drawing::XShapeDescriptor> shape(shapes->getByIndex(i), UNO_QUERY);
                // The shape type is one call; asking the shape's services would be two.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
                const bool title = shape.is() && shape->getShapeType() ==
                                                     "com.sun.star.presentation.TitleTextShape";
#pragma GCC diagnostic pop
                if (title)
                    return titleText(
                        Reference<css::text::XTextRange>(shape, UNO_QUERY_THROW)->getString());
            }
            throw AutomationError("The slide has no title");
        });
    }

  private:
    int m_document;
    int m_slide;
    std::vector<const char*> m_rest;
};

// Slide n of a presentation: "Objects" leads into the PowerPoint 7 title chain, "Shapes"
// into the PowerPoint 8 one.
class Slide : public OfficeObject {
  public:
    Slide(Session session, int document, int slide)
        : OfficeObject(std::move(session)), m_document(document), m_slide(slide) {}

    AutomationValue get(const std::string& member, const Args& args) override {
        if (!args.empty())
            unsupported();
        if (is(member, "Objects"))
            return chain({"Title", "Text"});
        if (is(member, "Shapes"))
            return chain({"Title", "TextFrame", "TextRange", "Text"});
        unsupported();
    }

  private:
    AutomationValue chain(std::vector<const char*> rest) {
        return AutomationRef(
            std::make_shared<TitleChain>(m_session, m_document, m_slide, std::move(rest)));
    }

    int m_document;
    int m_slide;
};

class Presentation : public OfficeObject {
  public:
    Presentation(Session session, int document)
        : OfficeObject(std::move(session)), m_document(document) {}

    AutomationValue get(const std::string& member, const Args& args) override {
        if ((is(member, "FullName") || is(member, "PathName")) && args.empty()) {
            const int document = m_document;
            return m_session->run([document](OfficeView& view) -> AutomationValue {
                return view.location(document);
            });
        }
        if (is(member, "Slides"))
            return AutomationRef(std::make_shared<Slide>(m_session, m_document, soleIndex(args)));
        unsupported();
    }

  private:
    int m_document;
};

class Application : public OfficeWindow {
  public:
    using OfficeWindow::OfficeWindow;

    AutomationValue get(const std::string& member, const Args& args) override {
        if (!args.empty())
            unsupported();
        if (is(member, "SlideShowWindows"))
            return AutomationRef(std::make_shared<ShowWindows>(m_session));
        if (is(member, "AppWindow"))
            return AutomationRef(std::make_shared<OfficeWindow>(m_session));
        if (is(member, "ActivePresentation")) {
            auto session = m_session;
            return m_session->run([session](OfficeView& view) -> AutomationValue {
                return AutomationRef(
                    std::make_shared<Presentation>(session, view.activeDocument()));
            });
        }
        unsupported();
    }
};

} // namespace

ImpressOptions ImpressOptions::defaults() {
    ImpressOptions options;
    options.pipeName = "cuemark-" + std::to_string(getuid());
    options.officeProgram = CUE_OFFICE_PROGRAM_DIR "/soffice";
    return options;
}

ImpressBinding::ImpressBinding(ImpressOptions options) : m_options(std::move(options)) {}

ImpressBinding::~ImpressBinding() = default;

AutomationRef ImpressBinding::create(const std::string& className) {
    if (!is(className, "PowerPoint.Application.7") && !is(className, "PowerPoint.Application.8"))
        throw AutomationError("ActiveX component can't create object");
    if (!m_session || !m_session->alive())
        m_session = OfficeSession::open(m_options);
    return std::make_shared<Application>(m_session);
}

AutomationFactory ImpressBinding::factory() {
    return [this](const std::string& className) { return create(className); };
}

AutomationRef ImpressBinding::attach(const std::string& className) {
    if (!is(className, "PowerPoint.Application.7") && !is(className, "PowerPoint.Application.8"))
        throw AutomationError("ActiveX component can't create object");
    if (!m_session || !m_session->alive()) {
        if (!m_pending || (m_pending->bound() && !m_pending->alive()))
            m_pending = OfficeSession::unbound(m_options);
        // Within a poll: the bind goes on between polls when the office is slow.
        if (!m_pending->tryBind(m_options.callTimeout)) {
            if (!m_launchedSinceLoss && !m_pending->bound()) {
                m_launchedSinceLoss = true;
                OfficeSession::launch(m_options);
            }
            throw AutomationError("The presentation program is not running");
        }
        m_session = std::move(m_pending);
    }
    m_launchedSinceLoss = false;
    return std::make_shared<Application>(m_session);
}

AutomationFactory ImpressBinding::attachFactory() {
    return [this](const std::string& className) { return attach(className); };
}

bool ImpressBinding::shutdown(std::chrono::milliseconds wait) {
    bool clean = true;
    for (auto* session : {&m_session, &m_pending}) {
        if (*session)
            clean = (*session)->shutdown(wait) && clean;
        session->reset();
    }
    return clean;
}

std::uint64_t ImpressBinding::roundTrips() const {
    return m_session ? m_session->roundTrips() : 0;
}
