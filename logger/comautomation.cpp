#include "comautomation.h"

#ifndef _WIN32
#error "comautomation.cpp is built on Windows only"
#endif

#include "common/win32text.h"
#include "logger/comvalue.h"

#include <windows.h>

#include <ole2.h>
#include <oleauto.h>

#include <string>
#include <vector>

namespace {

// The text a scripting client shows when no server answers to the class name.
constexpr const char* CannotCreate = "ActiveX component can't create object";

// A call a busy program turns away is asked again within half a poll; one still turned
// away then fails as busy, and the poll that made it is left for the next one.
constexpr ULONGLONG BusyPatienceMs = 250;
constexpr DWORD BusyRetryMs = 25;

// No message filter does this: the desktop's own window loops stay out of the retries,
// and the wait is the same where the runtime asks no client filter (wine).
template <typename Call> HRESULT patiently(const Call& call) {
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        const HRESULT hr = call();
        if (!ComValue::isBusy(hr) || GetTickCount64() - start >= BusyPatienceMs)
            return hr;
        Sleep(BusyRetryMs);
    }
}

AutomationError failure(HRESULT hr) {
    return AutomationError(ComValue::describe(hr), ComValue::kindOf(hr));
}

class ComObject : public AutomationObject {
  public:
    // Takes over one reference.
    explicit ComObject(IDispatch* dispatch) : m_dispatch(dispatch) {}
    ~ComObject() override {
        if (m_dispatch)
            m_dispatch->Release();
    }
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    IDispatch* dispatch() const { return m_dispatch; }

    AutomationValue get(const std::string& member,
                        const std::vector<AutomationValue>& args) override {
        // An indexed property may be a method to the server ("Slides"(n), "Item"(1)).
        const WORD flags = args.empty() ? DISPATCH_PROPERTYGET
                                        : static_cast<WORD>(DISPATCH_PROPERTYGET | DISPATCH_METHOD);
        return invoke(member, flags, args);
    }

    void put(const std::string& member, const AutomationValue& value) override {
        invoke(member, DISPATCH_PROPERTYPUT, {value});
    }

    AutomationValue call(const std::string& member,
                         const std::vector<AutomationValue>& args) override {
        return invoke(member, DISPATCH_METHOD, args);
    }

  private:
    DISPID idOf(const std::string& member) {
        if (member.empty())
            return DISPID_VALUE;
        std::wstring name = Win32Text::widen(member);
        LPOLESTR names[] = {name.data()};
        DISPID id = DISPID_UNKNOWN;
        const HRESULT hr = patiently([&] {
            return m_dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
        });
        if (hr == DISP_E_UNKNOWNNAME || hr == DISP_E_MEMBERNOTFOUND)
            throw AutomationError("Object doesn't support this property or method: " + member);
        if (FAILED(hr))
            throw failure(hr);
        return id;
    }

    AutomationValue invoke(const std::string& member, WORD flags,
                           const std::vector<AutomationValue>& args);

    IDispatch* m_dispatch;
};

IDispatch* dispatchOf(const AutomationRef& object) {
    auto* com = dynamic_cast<ComObject*>(object.get());
    if (!com)
        return nullptr;
    com->dispatch()->AddRef();
    return com->dispatch();
}

AutomationRef wrapDispatch(IDispatch* dispatch) {
    dispatch->AddRef();
    return std::make_shared<ComObject>(dispatch);
}

AutomationValue ComObject::invoke(const std::string& member, WORD flags,
                                  const std::vector<AutomationValue>& args) {
    const DISPID id = idOf(member);
    // Arguments go to the server last first.
    std::vector<VARIANT> params(args.size());
    for (VARIANT& v : params)
        VariantInit(&v);
    struct ClearParams {
        std::vector<VARIANT>& p;
        ~ClearParams() {
            for (VARIANT& v : p)
                VariantClear(&v);
        }
    } clear{params};
    for (size_t i = 0; i < args.size(); ++i)
        ComValue::toVariant(args[i], params[args.size() - 1 - i], dispatchOf);

    DISPPARAMS dispParams{};
    dispParams.rgvarg = params.empty() ? nullptr : params.data();
    dispParams.cArgs = static_cast<UINT>(params.size());
    DISPID named = DISPID_PROPERTYPUT;
    if (flags == DISPATCH_PROPERTYPUT) {
        dispParams.rgdispidNamedArgs = &named;
        dispParams.cNamedArgs = 1;
    }

    VARIANT result;
    VariantInit(&result);
    struct ClearResult {
        VARIANT& v;
        ~ClearResult() { VariantClear(&v); }
    } clearResult{result};
    EXCEPINFO exception{};
    UINT badArgument = 0;
    const HRESULT hr = patiently([&] {
        return m_dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &dispParams,
                                  flags == DISPATCH_PROPERTYPUT ? nullptr : &result, &exception,
                                  &badArgument);
    });
    if (hr == DISP_E_EXCEPTION) {
        if (exception.pfnDeferredFillIn)
            exception.pfnDeferredFillIn(&exception);
        std::string description;
        if (exception.bstrDescription)
            description = Win32Text::narrow(
                std::wstring(exception.bstrDescription, SysStringLen(exception.bstrDescription)));
        const HRESULT code = exception.scode ? exception.scode : hr;
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrHelpFile);
        throw AutomationError(description.empty() ? ComValue::describe(code) : description,
                              ComValue::kindOf(code));
    }
    if (FAILED(hr))
        throw failure(hr);
    return ComValue::fromVariant(result, wrapDispatch);
}

} // namespace

AutomationFactory comAutomationFactory() {
    return [](const std::string& className) -> AutomationRef {
        // Joins the thread's apartment; a second call or a toolkit's earlier one is harmless.
        const HRESULT init = CoInitialize(nullptr);
        (void)init;
        const std::wstring progId = Win32Text::widen(className);
        CLSID clsid;
        if (FAILED(CLSIDFromProgID(progId.c_str(), &clsid)))
            throw AutomationClassMissing(CannotCreate);
        IDispatch* dispatch = nullptr;
        const HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                            reinterpret_cast<void**>(&dispatch));
        if (hr == REGDB_E_CLASSNOTREG)
            throw AutomationClassMissing(CannotCreate);
        if (FAILED(hr) || !dispatch)
            throw failure(hr);
        return std::make_shared<ComObject>(dispatch);
    };
}
