#pragma once

#include "logger/automation.h"
#include "logger/impress/callworker.h"
#include "logger/impress/impressbinding.h"

#include <com/sun/star/frame/XDesktop.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/presentation/XPresentation2.hpp>
#include <com/sun/star/presentation/XSlideShowController.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/drawing/XDrawPage.hpp>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

// The office as the loggers' members see it. Lives on the bridge's thread: only jobs
// run by OfficeSession touch it.
class OfficeView {
  public:
    explicit OfficeView(css::uno::Reference<css::frame::XDesktop> desktop);

    // 1 while the watched document's presentation runs, else 0. Looks for another
    // document only when the watched one shows nothing, so a followed show costs one
    // round trip.
    int showCount();
    // The document a detected show belongs to (else the current presentation); its id
    // names it to later calls.
    int activeDocument();
    css::uno::Reference<css::frame::XModel> document(int id) const;
    // The watched document's location as read during the last polls without a show.
    std::string location(int id);

    // The controller of show number generation; throws when that show has ended.
    css::uno::Reference<css::presentation::XSlideShowController> controller(int generation) const;
    // The "Number" of the slide shown by show number generation. The slide fetched by the
    // count just before serves, so a poll of a followed show costs two or three round
    // trips.
    int shownSlideNumber(int generation);
    int generation() const { return m_generation; }
    bool showing() const { return m_controller.is(); }

    const css::uno::Reference<css::frame::XDesktop>& desktop() const { return m_desktop; }

  private:
    bool watch(const css::uno::Reference<css::lang::XComponent>& component);
    bool takeController();
    bool stillShowing();
    std::string readLocation(const css::uno::Reference<css::frame::XModel>& model);

    css::uno::Reference<css::frame::XDesktop> m_desktop;
    // Every document watched in this session; ids index it.
    std::vector<css::uno::Reference<css::frame::XModel>> m_documents;
    css::uno::Reference<css::lang::XComponent> m_watchedComponent;
    int m_watched = -1;
    css::uno::Reference<css::presentation::XPresentation2> m_presentation;
    css::uno::Reference<css::presentation::XSlideShowController> m_controller;
    // An ended show's controller is handed out again by some versions; it never restarts.
    css::uno::Reference<css::presentation::XSlideShowController> m_ended;
    std::string m_location;
    int m_generation = 0;
    css::uno::Reference<css::drawing::XDrawPage> m_shownPage;
    // Each slide's property set, asked for once: the query is a round trip of its own.
    std::map<css::drawing::XDrawPage*, std::pair<css::uno::Reference<css::drawing::XDrawPage>,
                                                 css::uno::Reference<css::beans::XPropertySet>>>
        m_pageProperties;
};

// One bridge to a running office and the thread that owns it. Every member call is a job
// on that thread, waited for with the call timeout; UNO failures come back as
// AutomationError.
class OfficeSession {
  public:
    // Connects to the office on the pipe, starting it when nobody listens there, and
    // waits (up to the start timeout) until it answers: a first start takes a while.
    static std::shared_ptr<OfficeSession> open(const ImpressOptions& options);
    // A session not yet bound: tryBind binds it to an office that listens already.
    static std::shared_ptr<OfficeSession> unbound(const ImpressOptions& options);
    // Binds within about the timeout, never starting an office; a bind that takes longer
    // goes on alone and a later try finds it done. False while not bound and answering.
    bool tryBind(std::chrono::milliseconds timeout);
    // Starts the office with its acceptor on the pipe and returns at once.
    static void launch(const ImpressOptions& options);
    // Takes the bridge down within the wait; false when it did not let go in time.
    bool shutdown(std::chrono::milliseconds wait);
    ~OfficeSession();

    // False once the office has quit or the bridge broke.
    bool alive() const;
    bool bound() const;
    std::uint64_t roundTrips() const;

    using Job = std::function<AutomationValue(OfficeView&)>;
    AutomationValue run(Job job);

    struct Shared;

  private:
    explicit OfficeSession(const ImpressOptions& options);
    enum class Reach { Bound, NoListener };
    Reach connect(std::chrono::milliseconds timeout);
    // Whether the bound office answers a call within the timeout.
    bool answers(std::chrono::milliseconds timeout);
    using SessionJob = std::function<AutomationValue(const std::shared_ptr<Shared>&)>;
    AutomationValue runFor(SessionJob job, std::chrono::milliseconds timeout);

    ImpressOptions m_options;
    std::shared_ptr<Shared> m_shared;
    CallWorker m_worker;
};

// The process's UNO runtime, bootstrapped from the installed office on first use.
css::uno::Reference<css::uno::XComponentContext> localUnoContext();

// The system path of a file URL, as the file system spells it; empty for an unsaved
// document.
std::string systemPath(const rtl::OUString& url);
// Title text in 8-bit form, each line break a blank: a break inside a log line would end
// the line there and make the whole log unreadable to the import.
std::string titleText(const rtl::OUString& text);
