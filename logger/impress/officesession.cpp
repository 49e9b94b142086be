#include "officesession.h"

#include "common/processstart.h"

#include <com/sun/star/bridge/BridgeFactory.hpp>
#include <com/sun/star/bridge/XBridge.hpp>
#include <com/sun/star/connection/Connector.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/connection/XConnection.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/lang/XEventListener.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/presentation/XPresentationSupplier.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <cppuhelper/implbase1.hxx>
#include <osl/file.hxx>
#include <osl/thread.h>
#include <rtl/ustrbuf.hxx>
#include <rtl/ustring.hxx>


#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <mutex>
#include <thread>

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using rtl::OUString;
using rtl::OUStringBuffer;

namespace {

constexpr std::chrono::milliseconds connectTimeout{5000};
constexpr std::chrono::milliseconds retryPause{250};
constexpr std::chrono::milliseconds shutdownWait{2000};

const char* const noAnswer = "The presentation program does not answer";
const char* const officeClosed = "The presentation program has closed";

std::string toUtf8(const OUString& text) {
    const rtl::OString bytes = rtl::OUStringToOString(text, RTL_TEXTENCODING_UTF8);
    return std::string(bytes.getStr(), bytes.getLength());
}

OUString fromUtf8(const std::string& text) {
    return OUString(text.data(), static_cast<sal_Int32>(text.size()), RTL_TEXTENCODING_UTF8);
}

} // namespace

// Made once; it stays alive to the end of the process, since bridges may still be winding
// down while static objects are destroyed.
Reference<css::uno::XComponentContext> localUnoContext() {
    static Reference<css::uno::XComponentContext>* context = [] {
        // A pipe the office closed must fail the write, not end the program.
        signal(SIGPIPE, SIG_IGN);
        // Without it the runtime finds no type registries and the first call fails.
        setenv("URE_BOOTSTRAP", "vnd.sun.star.pathname:" CUE_OFFICE_PROGRAM_DIR "/fundamentalrc",
               0);
        return new Reference<css::uno::XComponentContext>(
            cppu::defaultBootstrap_InitialComponentContext());
    }();
    return *context;
}

struct OfficeSession::Shared {
    std::atomic<bool> alive{false};
    std::atomic<bool> bound{false};
    std::atomic<std::uint64_t> reads{0};
    std::mutex bridgeMutex;
    Reference<css::lang::XComponent> bridge;
    std::unique_ptr<OfficeView> view;

    void disposeBridge() {
        Reference<css::lang::XComponent> b;
        {
            std::lock_guard lock(bridgeMutex);
            b = bridge;
            bridge.clear();
        }
        alive = false;
        if (b.is()) {
            try {
                b->dispose();
            } catch (const css::uno::Exception&) {
                // The bridge is being dropped because the office went away; a bridge that
                // cannot even be disposed has nothing left to release.
            }
        }
    }
};

namespace {

// Counts what the bridge reads: each message arrives as a header and a body, so two reads
// make one reply, one round trip.
class CountingConnection : public cppu::WeakImplHelper1<css::connection::XConnection> {
  public:
    CountingConnection(Reference<css::connection::XConnection> inner,
                       std::shared_ptr<OfficeSession::Shared> shared)
        : m_inner(std::move(inner)), m_shared(std::move(shared)) {}

    sal_Int32 SAL_CALL read(css::uno::Sequence<sal_Int8>& data, sal_Int32 length) override {
        const sal_Int32 n = m_inner->read(data, length);
        ++m_shared->reads;
        return n;
    }
    void SAL_CALL write(const css::uno::Sequence<sal_Int8>& data) override { m_inner->write(data); }
    void SAL_CALL flush() override { m_inner->flush(); }
    void SAL_CALL close() override { m_inner->close(); }
    OUString SAL_CALL getDescription() override { return m_inner->getDescription(); }

  private:
    Reference<css::connection::XConnection> m_inner;
    std::shared_ptr<OfficeSession::Shared> m_shared;
};

// Marks the session dead when the bridge goes: the office quit or the pipe broke.
class BridgeWatch : public cppu::WeakImplHelper1<css::lang::XEventListener> {
  public:
    explicit BridgeWatch(std::weak_ptr<OfficeSession::Shared> shared)
        : m_shared(std::move(shared)) {}
    void SAL_CALL disposing(const css::lang::EventObject&) override {
        if (auto shared = m_shared.lock())
            shared->alive = false;
    }

  private:
    std::weak_ptr<OfficeSession::Shared> m_shared;
};

} // namespace

OfficeSession::OfficeSession(const ImpressOptions& options)
    : m_options(options), m_shared(std::make_shared<Shared>()) {}

OfficeSession::~OfficeSession() {
    shutdown(shutdownWait);
}

bool OfficeSession::shutdown(std::chrono::milliseconds wait) {
    // Disposing the bridge releases a call stuck in a stalled office, but may itself wait
    // on the office: it runs on a thread of its own, which a stuck office may keep.
    struct Done {
        std::mutex mutex;
        std::condition_variable changed;
        bool done = false;
    };
    auto done = std::make_shared<Done>();
    std::thread([shared = m_shared, done] {
        shared->disposeBridge();
        std::lock_guard lock(done->mutex);
        done->done = true;
        done->changed.notify_all();
    }).detach();
    std::unique_lock lock(done->mutex);
    return done->changed.wait_for(lock, wait, [&] { return done->done; });
}

bool OfficeSession::alive() const {
    return m_shared->alive;
}

bool OfficeSession::bound() const {
    return m_shared->bound;
}

std::uint64_t OfficeSession::roundTrips() const {
    return m_shared->reads / 2;
}

std::shared_ptr<OfficeSession> OfficeSession::unbound(const ImpressOptions& options) {
    localUnoContext();
    return std::shared_ptr<OfficeSession>(new OfficeSession(options));
}

bool OfficeSession::tryBind(std::chrono::milliseconds timeout) {
    try {
        return connect(timeout) == Reach::Bound && answers(timeout);
    } catch (const AutomationError&) {
        return false;
    }
}

void OfficeSession::launch(const ImpressOptions& options) {
    std::vector<std::string> arguments{
        "--accept=pipe,name=" + options.pipeName + ";urp;StarOffice.ComponentContext",
        "--norestore", "--nologo"};
    arguments.insert(arguments.end(), options.officeArguments.begin(),
                     options.officeArguments.end());
    const StartResult started = startDetachedProcess(options.officeProgram, arguments, "");
    if (!started)
        throw AutomationError("Cannot start the presentation program " + options.officeProgram +
                              (started.reason.empty() ? "" : ": " + started.reason));
}

std::shared_ptr<OfficeSession> OfficeSession::open(const ImpressOptions& options) {
    localUnoContext();
    std::shared_ptr<OfficeSession> session(new OfficeSession(options));
    const auto deadline = std::chrono::steady_clock::now() + options.startTimeout;
    bool launched = false;
    // An office on its first start (a fresh profile) may take its pipe and then answer
    // nothing for many seconds: a call that timed out means "still starting".
    for (;;) {
        bool listener = true;
        try {
            if (session->connect(connectTimeout) == Reach::Bound) {
                if (session->answers(connectTimeout))
                    return session;
            } else {
                listener = false;
            }
        } catch (const AutomationError&) {
            // Timed out: someone listens but does not answer yet.
        }
        if (session->bound() && !session->alive())
            throw AutomationError(officeClosed, AutomationError::Kind::Gone);
        if (!listener && !launched) {
            launch(options);
            launched = true;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            break;
        std::this_thread::sleep_for(retryPause);
    }
    throw AutomationError(launched ? "The presentation program did not start listening on pipe " +
                                         options.pipeName
                                   : std::string(noAnswer));
}

bool OfficeSession::answers(std::chrono::milliseconds timeout) {
    try {
        runFor(
            [](const std::shared_ptr<Shared>& s) -> AutomationValue {
                if (!s->view)
                    throw AutomationError(officeClosed, AutomationError::Kind::Gone);
                s->view->desktop()->getCurrentComponent();
                return {};
            },
            timeout);
        return true;
    } catch (const AutomationError&) {
        return false;
    }
}

OfficeSession::Reach OfficeSession::connect(std::chrono::milliseconds timeout) {
    // A connection that outlived an earlier wait may have bound since.
    if (m_shared->bound)
        return Reach::Bound;
    auto reach = std::make_shared<Reach>(Reach::NoListener);
    const auto pipe = fromUtf8("pipe,name=" + m_options.pipeName);
    runFor(
        [reach, pipe](const std::shared_ptr<Shared>& s) -> AutomationValue {
            if (s->bound) {
                *reach = Reach::Bound;
                return {};
            }
            auto context = localUnoContext();
            Reference<css::connection::XConnection> raw;
            try {
                raw = css::connection::Connector::create(context)->connect(pipe);
            } catch (const css::connection::NoConnectException&) {
                return {};
            }
            Reference<css::connection::XConnection> counted(new CountingConnection(raw, s));
            auto bridge = css::bridge::BridgeFactory::create(context)->createBridge(
                "", "urp", counted, nullptr);
            Reference<css::lang::XComponent> bridgeComponent(bridge, UNO_QUERY_THROW);
            {
                std::lock_guard lock(s->bridgeMutex);
                s->bridge = bridgeComponent;
            }
            s->alive = true;
            bridgeComponent->addEventListener(new BridgeWatch(s));
            Reference<css::uno::XComponentContext> remote(
                bridge->getInstance("StarOffice.ComponentContext"), UNO_QUERY_THROW);
            s->view = std::make_unique<OfficeView>(
                Reference<css::frame::XDesktop>(css::frame::Desktop::create(remote),
                                                UNO_QUERY_THROW),
                remote);
            s->bound = true;
            *reach = Reach::Bound;
            return {};
        },
        timeout);
    return *reach;
}

AutomationValue OfficeSession::run(Job job) {
    return runFor(
        [job = std::move(job)](const std::shared_ptr<Shared>& s) -> AutomationValue {
            if (!s->view)
                throw AutomationError(officeClosed, AutomationError::Kind::Gone);
            return job(*s->view);
        },
        m_options.callTimeout);
}

AutomationValue OfficeSession::runFor(SessionJob job, std::chrono::milliseconds timeout) {
    if (m_shared->bound && !m_shared->alive)
        throw AutomationError(officeClosed, AutomationError::Kind::Gone);
    struct Result {
        AutomationValue value;
        std::string error;
        AutomationError::Kind kind = AutomationError::Kind::Refused;
        bool failed = false;
    };
    auto result = std::make_shared<Result>();
    const auto outcome = m_worker.run(
        [result, shared = m_shared, job = std::move(job)] {
            try {
                result->value = job(shared);
            } catch (const AutomationError& e) {
                result->failed = true;
                result->error = e.what();
                result->kind = e.kind();
            } catch (const css::lang::DisposedException&) {
                // An ended show's objects say the same as a broken bridge; the bridge's
                // own watch tells them apart.
                result->failed = true;
                result->error = shared->alive ? "The object is gone" : officeClosed;
                result->kind = AutomationError::Kind::Gone;
            } catch (const css::uno::Exception& e) {
                result->failed = true;
                result->error = "The presentation program refused the call: " + toUtf8(e.Message);
            } catch (const std::exception& e) {
                result->failed = true;
                result->error = e.what();
            }
        },
        timeout);
    // An office that is still there but slow is asked again by the next poll.
    if (outcome != CallWorker::Outcome::Done)
        throw AutomationError(noAnswer, AutomationError::Kind::Busy);
    if (result->failed)
        throw AutomationError(result->error, result->kind);
    return result->value;
}

std::string systemPath(const OUString& url) {
    if (url.isEmpty())
        return {};
    OUString path;
    if (osl::FileBase::getSystemPathFromFileURL(url, path) != osl::FileBase::E_None)
        return toUtf8(url);
    const rtl::OString bytes = rtl::OUStringToOString(path, osl_getThreadTextEncoding());
    return std::string(bytes.getStr(), bytes.getLength());
}

std::string titleText(const OUString& text) {
    OUStringBuffer joined(text.getLength());
    for (sal_Int32 i = 0; i < text.getLength(); ++i) {
        const sal_Unicode c = text[i];
        const bool lineBreak = c == '\r' || c == '\n' || c == '\v' || c == 0x2028 || c == 0x2029;
        if (!lineBreak)
            joined.append(c);
        else if (!(c == '\n' && i > 0 && text[i - 1] == '\r'))
            joined.appendAscii(" ");
    }
    return toUtf8(joined.makeStringAndClear());
}
