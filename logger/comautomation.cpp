#include "comautomation.h"

#ifndef _WIN32
#error "comautomation.cpp is built on Windows only"
#endif

#include <windows.h>

#include <ole2.h>
#include <oleauto.h>

#include <string>
#include <vector>

namespace {

std::wstring wide(const std::string& text) {
    if (text.empty())
        return {};
    const int n =
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

// Texts stay in the system's 8-bit code page, as the log file takes them.
std::string narrow(const wchar_t* text, UINT length) {
    if (!text || length == 0)
        return {};
    const int n = WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0,
                                      nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), out.data(), n, nullptr, nullptr);
    return out;
}

std::string describe(HRESULT hr) {
    char* buffer = nullptr;
    const DWORD n = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text = n ? std::string(buffer, n) : std::string();
    if (buffer)
        LocalFree(buffer);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    if (text.empty()) {
        char code[32];
        wsprintfA(code, "Automation error 0x%08lX", static_cast<unsigned long>(hr));
        text = code;
    }
    return text;
}

// Owns one VARIANT and clears it on every way out.
struct Variant {
    VARIANT v;
    Variant() { VariantInit(&v); }
    ~Variant() { VariantClear(&v); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
};

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
        std::wstring name = wide(member);
        LPOLESTR names[] = {name.data()};
        DISPID id = DISPID_UNKNOWN;
        const HRESULT hr = m_dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
        if (FAILED(hr))
            throw AutomationError("Object doesn't support this property or method: " + member);
        return id;
    }

    AutomationValue invoke(const std::string& member, WORD flags,
                           const std::vector<AutomationValue>& args);

    IDispatch* m_dispatch;
};

void toVariant(const AutomationValue& value, VARIANT& out) {
    VariantInit(&out);
    if (const auto* b = std::get_if<bool>(&value)) {
        out.vt = VT_BOOL;
        out.boolVal = *b ? VARIANT_TRUE : VARIANT_FALSE;
    } else if (const auto* i16 = std::get_if<std::int16_t>(&value)) {
        out.vt = VT_I2;
        out.iVal = *i16;
    } else if (const auto* i32 = std::get_if<std::int32_t>(&value)) {
        out.vt = VT_I4;
        out.lVal = *i32;
    } else if (const auto* d = std::get_if<double>(&value)) {
        out.vt = VT_R8;
        out.dblVal = *d;
    } else if (const auto* s = std::get_if<std::string>(&value)) {
        const std::wstring w = wide(*s);
        out.vt = VT_BSTR;
        out.bstrVal = SysAllocStringLen(w.data(), static_cast<UINT>(w.size()));
    } else if (const auto* object = std::get_if<AutomationRef>(&value)) {
        auto* com = dynamic_cast<ComObject*>(object->get());
        if (!com)
            throw AutomationError("Type mismatch");
        out.vt = VT_DISPATCH;
        out.pdispVal = com->dispatch();
        out.pdispVal->AddRef();
    }
}

AutomationValue fromVariant(VARIANT& in) {
    switch (in.vt) {
    case VT_EMPTY:
    case VT_NULL:
        return {};
    case VT_BOOL:
        return in.boolVal != VARIANT_FALSE;
    case VT_I2:
        return static_cast<std::int16_t>(in.iVal);
    case VT_I4:
        return static_cast<std::int32_t>(in.lVal);
    case VT_R8:
        return in.dblVal;
    case VT_BSTR:
        return narrow(in.bstrVal, SysStringLen(in.bstrVal));
    case VT_DISPATCH:
        if (!in.pdispVal)
            return {};
        in.pdispVal->AddRef();
        return AutomationRef(std::make_shared<ComObject>(in.pdispVal));
    case VT_UNKNOWN: {
        IDispatch* dispatch = nullptr;
        if (in.punkVal && SUCCEEDED(in.punkVal->QueryInterface(
                              IID_IDispatch, reinterpret_cast<void**>(&dispatch))))
            return AutomationRef(std::make_shared<ComObject>(dispatch));
        throw AutomationError("Type mismatch");
    }
    default:
        break;
    }
    // Other numbers (bytes, unsigned, single, currency) as a whole number or a double.
    Variant converted;
    if (SUCCEEDED(VariantChangeType(&converted.v, &in, 0, VT_I4)))
        return static_cast<std::int32_t>(converted.v.lVal);
    if (SUCCEEDED(VariantChangeType(&converted.v, &in, 0, VT_R8)))
        return converted.v.dblVal;
    throw AutomationError("Type mismatch");
}

AutomationValue ComObject::invoke(const std::string& member, WORD flags,
                                  const std::vector<AutomationValue>& args) {
    const DISPID id = idOf(member);
    // Arguments go to the server last first.
    std::vector<VARIANT> params(args.size());
    for (size_t i = 0; i < args.size(); ++i)
        VariantInit(&params[i]);
    struct ClearParams {
        std::vector<VARIANT>& p;
        ~ClearParams() {
            for (VARIANT& v : p)
                VariantClear(&v);
        }
    } clear{params};
    for (size_t i = 0; i < args.size(); ++i)
        toVariant(args[i], params[args.size() - 1 - i]);

    DISPPARAMS dispParams{};
    dispParams.rgvarg = params.empty() ? nullptr : params.data();
    dispParams.cArgs = static_cast<UINT>(params.size());
    DISPID named = DISPID_PROPERTYPUT;
    if (flags == DISPATCH_PROPERTYPUT) {
        dispParams.rgdispidNamedArgs = &named;
        dispParams.cNamedArgs = 1;
    }

    Variant result;
    EXCEPINFO exception{};
    UINT badArgument = 0;
    const HRESULT hr = m_dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &dispParams,
                                          flags == DISPATCH_PROPERTYPUT ? nullptr : &result.v,
                                          &exception, &badArgument);
    if (hr == DISP_E_EXCEPTION) {
        if (exception.pfnDeferredFillIn)
            exception.pfnDeferredFillIn(&exception);
        std::string description =
            narrow(exception.bstrDescription, SysStringLen(exception.bstrDescription));
        const HRESULT code = exception.scode ? exception.scode : hr;
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrHelpFile);
        throw AutomationError(description.empty() ? describe(code) : description);
    }
    if (FAILED(hr))
        throw AutomationError(describe(hr));
    return fromVariant(result.v);
}

} // namespace

AutomationFactory comAutomationFactory() {
    return [](const std::string& className) -> AutomationRef {
        // Joins the thread's apartment; a second call or a toolkit's earlier one is harmless.
        const HRESULT init = CoInitialize(nullptr);
        (void)init;
        const std::wstring progId = wide(className);
        CLSID clsid;
        if (FAILED(CLSIDFromProgID(progId.c_str(), &clsid)))
            throw AutomationError("ActiveX component can't create object");
        IDispatch* dispatch = nullptr;
        const HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                            reinterpret_cast<void**>(&dispatch));
        if (FAILED(hr) || !dispatch)
            throw AutomationError(hr == REGDB_E_CLASSNOTREG
                                      ? std::string("ActiveX component can't create object")
                                      : describe(hr));
        return std::make_shared<ComObject>(dispatch);
    };
}
