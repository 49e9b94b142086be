// pptserver.exe: the substitute presentation program as an out-of-process COM automation
// server, so that the loggers' COM binding, and cueslides' export through it, can be driven
// end to end where PowerPoint is not installed (a wine prefix, a build machine).
//
//   pptserver /RegServer 7|8|both|free SHOWFILE   registers the class under
//       "PowerPoint.Application.7", ".8", both, or the version-free "PowerPoint.Application"
//       alone, in the user's classes; COM then starts it with SHOWFILE
//   pptserver /UnregServer                       removes what /RegServer wrote
//   pptserver SHOWFILE -Embedding                how COM starts it
//
// The show file (8-bit text, one command a line, "#" starts a comment):
//   version 16.0            what the application's "Version" answers (8.0 otherwise)
//   presentation C:\a.ppt   the presentation's path
//   slide TITLE             the next slide and its title (empty after "slide" is empty)
//   untitled                the next slide, without a title placeholder
//   text TEXT               a text box on that slide, after its title
//   notes TEXT              a note of that slide: the first fills its notes page's body,
//                           each later one is a text box of its own there; in a text or
//                           a note a written \r ends a paragraph, \v breaks a line
//   idle                    the program holds no presentation until a client opens one
//                           ("Presentations.Open" opens any deck that exists as the deck
//                           above); the slides' "Export" writes a white GIF or PNG
//   step N start|goto S     after N more polls (reads of "Count"), start the show at slide
//   step N end              S, move it to S, or end it; the steps run in order
//   step N busy MS          after N more polls, turn every later call away for MS
//                           milliseconds, as a program showing a modal dialog does
//   report FILE             where the server writes how often it was bound, how many
//                           calls it turned away, how many presentations clients opened
//                           and left open, and how often it was told to quit (beside the
//                           show file unless absolute)
// Steps are paced by the logger's polls rather than by the clock, so a busy machine
// cannot make a poll miss one. A busy spell is the one thing timed: the calls it turns
// away are no polls, so nothing else can be paced by it.
#include "common/text.h"
#include "common/textfile.h"
#include "common/win32text.h"
#include "logger/comvalue.h"
#include "testing/substitutepowerpoint.h"
#include "testing/win/showscript.h"

#include <windows.h>

#include <ole2.h>
#include <oleauto.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// {6C1E7D42-3B9A-4F0E-9A51-2D8C4E7B1F30}
const CLSID ServerClassId = {
    0x6c1e7d42, 0x3b9a, 0x4f0e, {0x9a, 0x51, 0x2d, 0x8c, 0x4e, 0x7b, 0x1f, 0x30}};
const char* const ServerClassText = "{6C1E7D42-3B9A-4F0E-9A51-2D8C4E7B1F30}";
const char* const ClassNames[] = {"PowerPoint.Application.7", "PowerPoint.Application.8",
                                  "PowerPoint.Application"};

// The members the loggers and cueslides call, and what a scripting client may call besides;
// any other name is unknown to GetIDsOfNames, as to a real server. A member's DISPID is its
// place + 1.
const char* const Members[] = {"Visible",
                               "WindowState",
                               "AppWindow",
                               "SlideShowWindows",
                               "Count",
                               "Item",
                               "View",
                               "Slide",
                               "SlideIndex",
                               "SlideNumber",
                               "ActivePresentation",
                               "PathName",
                               "FullName",
                               "Slides",
                               "Objects",
                               "Shapes",
                               "Title",
                               "TextFrame",
                               "TextRange",
                               "Text",
                               "Version",
                               "Quit",
                               "Presentations",
                               "Open",
                               "Close",
                               "PageSetup",
                               "SlideWidth",
                               "SlideHeight",
                               "Export",
                               "NotesPage",
                               "HasTextFrame",
                               "Type",
                               "PlaceholderFormat"};
constexpr DISPID CountId = 5;

SubstitutePowerPoint g_program;
ShowScript g_script;
DWORD g_mainThread = 0;
LONG g_objects = 0;
LONG g_locks = 0;
ULONGLONG g_busyUntil = 0;
int g_bindings = 0;
int g_rejected = 0;

void report() {
    if (g_script.reportPath().empty())
        return;
    try {
        TextFile::writeAtomically(g_script.reportPath(),
                                  "bindings " + std::to_string(g_bindings) + "\r\nrejected " +
                                      std::to_string(g_rejected) + "\r\nopen " +
                                      std::to_string(g_program.openedPresentations()) +
                                      "\r\nquit " + std::to_string(g_program.callsOf("Quit")) +
                                      "\r\n");
    } catch (const FileError& e) {
        std::fprintf(stderr, "pptserver: %s\n", e.what());
    }
}

// A busy program's message filter: COM turns the calls on its objects away before they
// reach them, and the client sees RPC_E_CALL_REJECTED. Releases and activations go on.
class BusyFilter : public IMessageFilter {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (!object)
            return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IMessageFilter)) {
            *object = static_cast<IMessageFilter*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // Lives as long as the process.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO call) override {
        if (GetTickCount64() >= g_busyUntil || !call || !IsEqualIID(call->iid, IID_IDispatch))
            return SERVERCALL_ISHANDLED;
        ++g_rejected;
        report();
        return SERVERCALL_REJECTED;
    }
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD, DWORD) override {
        return static_cast<DWORD>(-1);
    }
    DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override {
        return PENDINGMSG_WAITDEFPROCESS;
    }
};

// The server ends once no client holds an object or a lock.
void released() {
    if (g_objects == 0 && g_locks == 0)
        PostThreadMessageW(g_mainThread, WM_QUIT, 0, 0);
}

class ServedObject : public IDispatch {
  public:
    explicit ServedObject(AutomationRef target) : m_target(std::move(target)) {
        InterlockedIncrement(&g_objects);
    }
    virtual ~ServedObject() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (!object)
            return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
            *object = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&m_references); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&m_references);
        if (left == 0) {
            delete this;
            InterlockedDecrement(&g_objects);
            released();
        }
        return left;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count)
            *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info)
            *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        HRESULT result = S_OK;
        for (UINT i = 0; i < count; ++i) {
            ids[i] = DISPID_UNKNOWN;
            const std::string name = Win32Text::narrow(names[i]);
            for (DISPID at = 0; at < static_cast<DISPID>(std::size(Members)); ++at)
                if (Text::equalsNoCase(name, Members[at]))
                    ids[i] = at + 1;
            if (ids[i] == DISPID_UNKNOWN)
                result = DISP_E_UNKNOWNNAME;
        }
        return result;
    }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception,
                                     UINT* badArgument) override {
        if (id != DISPID_VALUE && (id < 1 || id > static_cast<DISPID>(std::size(Members))))
            return DISP_E_MEMBERNOTFOUND;
        const std::string member = id == DISPID_VALUE ? std::string() : Members[id - 1];
        try {
            // The positional arguments, first first; a put's value is the named one.
            std::vector<AutomationValue> args;
            const UINT positional = params ? params->cArgs - params->cNamedArgs : 0;
            for (UINT i = 0; i < positional; ++i)
                args.push_back(ComValue::fromVariant(params->rgvarg[params->cArgs - 1 - i], adopt));
            int busyMs = 0;
            if (id == CountId)
                busyMs = g_script.poll(g_program);
            AutomationValue answer;
            if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
                if (!params || params->cNamedArgs != 1 ||
                    params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
                    return DISP_E_PARAMNOTOPTIONAL;
                m_target->put(member, ComValue::fromVariant(params->rgvarg[0], adopt));
            } else if (flags & DISPATCH_PROPERTYGET) {
                answer = m_target->get(member, args);
            } else {
                answer = m_target->call(member, args);
            }
            if (result)
                ComValue::toVariant(answer, *result, serve);
            if (member == "Open" || member == "Close" || member == "Quit")
                report();
            // The poll that brings the spell has its count; its later calls are turned away.
            if (busyMs > 0)
                g_busyUntil = GetTickCount64() + static_cast<ULONGLONG>(busyMs);
            return S_OK;
        } catch (const std::exception& e) {
            if (exception) {
                *exception = EXCEPINFO{};
                exception->scode = E_FAIL;
                exception->bstrSource = SysAllocString(L"PowerPoint");
                const std::wstring text = Win32Text::widen(e.what());
                exception->bstrDescription =
                    SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
            }
            (void)badArgument;
            return DISP_E_EXCEPTION;
        }
    }

    static IDispatch* serve(const AutomationRef& object) { return new ServedObject(object); }
    // Objects of other servers are never passed in by the loggers.
    static AutomationRef adopt(IDispatch*) { throw AutomationError("Type mismatch"); }

  private:
    AutomationRef m_target;
    LONG m_references = 1;
};

class ApplicationFactory : public IClassFactory {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (!object)
            return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
            *object = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // Lives as long as the process.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        try {
            // Every client gets an application object of the one running program.
            ServedObject* application = new ServedObject(g_program.factory()(ClassNames[1]));
            ++g_bindings;
            report();
            const HRESULT hr = application->QueryInterface(riid, object);
            application->Release();
            return hr;
        } catch (const std::exception&) {
            return E_FAIL;
        }
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock) {
            InterlockedIncrement(&g_locks);
        } else {
            InterlockedDecrement(&g_locks);
            released();
        }
        return S_OK;
    }
};

// The machine's classes, which wine's COM reads (it passes over the user's); where they
// cannot be written, as for a user without rights on Windows, the user's classes.
const std::string ClassesKey = "Software\\Classes\\";
const HKEY Roots[] = {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER};

bool setValue(HKEY root, const std::string& key, const std::string& value) {
    HKEY handle = nullptr;
    if (RegCreateKeyExW(root, Win32Text::widen(ClassesKey + key).c_str(), 0, nullptr, 0, KEY_WRITE,
                        nullptr, &handle, nullptr) != ERROR_SUCCESS)
        return false;
    const std::wstring text = Win32Text::widen(value);
    const LONG rc =
        RegSetValueExW(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
    return rc == ERROR_SUCCESS;
}

std::string valueOf(HKEY root, const std::string& key) {
    wchar_t text[256] = {};
    DWORD size = sizeof text - sizeof(wchar_t);
    if (RegGetValueW(root, Win32Text::widen(ClassesKey + key).c_str(), nullptr, RRF_RT_REG_SZ,
                     nullptr, text, &size) != ERROR_SUCCESS)
        return {};
    return Win32Text::narrow(text);
}

void removeKey(HKEY root, const std::string& key) {
    RegDeleteTreeW(root, Win32Text::widen(ClassesKey + key).c_str());
    RegDeleteKeyW(root, Win32Text::widen(ClassesKey + key).c_str());
}

// Removes the names that lead to this server, and only those: a real program's
// registration under the same names stays.
void unregister() {
    for (HKEY root : Roots) {
        for (const char* name : ClassNames)
            if (Text::equalsNoCase(valueOf(root, std::string(name) + "\\CLSID"), ServerClassText))
                removeKey(root, name);
        removeKey(root, std::string("CLSID\\") + ServerClassText);
    }
}

bool registerIn(HKEY root, const std::vector<const char*>& names, const std::string& command) {
    bool written =
        setValue(root, std::string("CLSID\\") + ServerClassText,
                 "Substitute presentation program") &&
        setValue(root, std::string("CLSID\\") + ServerClassText + "\\LocalServer32", command);
    for (const char* name : names)
        written = written && setValue(root, name, "Substitute presentation program") &&
                  setValue(root, std::string(name) + "\\CLSID", ServerClassText);
    return written;
}

int registerServer(const std::string& which, const std::string& showFile) {
    std::vector<const char*> names;
    if (which == "7" || which == "both")
        names.push_back(ClassNames[0]);
    if (which == "8" || which == "both")
        names.push_back(ClassNames[1]);
    if (which == "free")
        names.push_back(ClassNames[2]);
    if (names.empty()) {
        std::fprintf(stderr, "pptserver: /RegServer takes 7, 8, both or free, not \"%s\"\n",
                     which.c_str());
        return 2;
    }
    ShowScript checked;
    std::string error;
    if (!checked.load(showFile, error)) {
        std::fprintf(stderr, "pptserver: %s\n", error.c_str());
        return 2;
    }
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    wchar_t full[MAX_PATH] = {};
    GetFullPathNameW(Win32Text::widen(showFile).c_str(), MAX_PATH, full, nullptr);
    const std::string command = Win32Text::quotedArgument(Win32Text::narrow(self)) + " " +
                                Win32Text::quotedArgument(Win32Text::narrow(full));
    unregister();
    bool written = false;
    for (HKEY root : Roots)
        if (!written) {
            written = registerIn(root, names, command);
            if (!written)
                unregister();
        }
    if (!written) {
        std::fprintf(stderr, "pptserver: the registry refused the registration\n");
        return 1;
    }
    return 0;
}

int serve(const std::string& showFile) {
    std::string error;
    if (!g_script.load(showFile, error)) {
        std::fprintf(stderr, "pptserver: %s\n", error.c_str());
        return 2;
    }
    g_script.prepare(g_program);
    g_mainThread = GetCurrentThreadId();
    if (FAILED(CoInitialize(nullptr)))
        return 1;
    static BusyFilter filter;
    CoRegisterMessageFilter(&filter, nullptr);
    report();
    static ApplicationFactory factory;
    DWORD cookie = 0;
    if (FAILED(CoRegisterClassObject(ServerClassId, &factory, CLSCTX_LOCAL_SERVER,
                                     REGCLS_MULTIPLEUSE, &cookie))) {
        CoUninitialize();
        return 1;
    }
    // A server nobody connects to does not linger.
    const UINT_PTR unused = SetTimer(nullptr, 0, 60000, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER && message.wParam == unused) {
            KillTimer(nullptr, unused);
            if (g_objects == 0 && g_locks == 0)
                break;
            continue;
        }
        DispatchMessageW(&message);
    }
    CoRevokeClassObject(cookie);
    CoUninitialize();
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && Text::equalsNoCase(args[0], "/RegServer") && args.size() == 3)
        return registerServer(args[1], args[2]);
    if (!args.empty() && Text::equalsNoCase(args[0], "/UnregServer")) {
        unregister();
        return 0;
    }
    std::string showFile;
    for (const std::string& arg : args)
        if (!Text::equalsNoCase(arg, "-Embedding") && !Text::equalsNoCase(arg, "/Embedding"))
            showFile = arg;
    if (showFile.empty()) {
        std::fprintf(stderr, "usage: pptserver /RegServer 7|8|both|free SHOWFILE | "
                             "/UnregServer | SHOWFILE -Embedding\n");
        return 2;
    }
    return serve(showFile);
}
