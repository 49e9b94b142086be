#include "comvalue.h"

#include "common/win32text.h"

#include <oleauto.h>

#include <cstdio>

namespace {

// Owns one VARIANT and clears it on every way out.
struct OwnedVariant {
    VARIANT v;
    OwnedVariant() { VariantInit(&v); }
    ~OwnedVariant() { VariantClear(&v); }
    OwnedVariant(const OwnedVariant&) = delete;
    OwnedVariant& operator=(const OwnedVariant&) = delete;
};

} // namespace

void ComValue::toVariant(const AutomationValue& value, VARIANT& out,
                         const std::function<IDispatch*(const AutomationRef&)>& toDispatch) {
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
        const std::wstring w = Win32Text::widen(*s);
        BSTR text = SysAllocStringLen(w.data(), static_cast<UINT>(w.size()));
        if (!text)
            throw AutomationError("Out of memory");
        out.vt = VT_BSTR;
        out.bstrVal = text;
    } else if (const auto* object = std::get_if<AutomationRef>(&value)) {
        IDispatch* dispatch = *object ? toDispatch(*object) : nullptr;
        if (!dispatch)
            throw AutomationError("Type mismatch");
        out.vt = VT_DISPATCH;
        out.pdispVal = dispatch;
    }
}

AutomationValue
ComValue::fromVariant(const VARIANT& given,
                      const std::function<AutomationRef(IDispatch*)>& fromDispatch) {
    // A value passed or returned by reference is read through its reference. The Variant
    // calls take no const source, but only read it.
    OwnedVariant direct;
    const VARIANT* in = &given;
    if (given.vt & VT_BYREF) {
        if (FAILED(VariantCopyInd(&direct.v, const_cast<VARIANT*>(&given))))
            throw AutomationError("Type mismatch");
        in = &direct.v;
    }
    switch (in->vt) {
    case VT_EMPTY:
    case VT_NULL:
        return {};
    case VT_BOOL:
        return in->boolVal != VARIANT_FALSE;
    case VT_I2:
        return static_cast<std::int16_t>(in->iVal);
    case VT_I4:
        return static_cast<std::int32_t>(in->lVal);
    case VT_R8:
        return in->dblVal;
    case VT_BSTR:
        return in->bstrVal ? Win32Text::narrow(std::wstring(in->bstrVal, SysStringLen(in->bstrVal)))
                           : std::string();
    case VT_DISPATCH:
        if (!in->pdispVal)
            return {};
        return fromDispatch(in->pdispVal);
    case VT_UNKNOWN: {
        IDispatch* dispatch = nullptr;
        if (!in->punkVal ||
            FAILED(in->punkVal->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))))
            throw AutomationError("Type mismatch");
        AutomationValue object = fromDispatch(dispatch);
        dispatch->Release();
        return object;
    }
    default:
        break;
    }
    // Other numbers (bytes, unsigned, single, currency) as a whole number or a double.
    OwnedVariant converted;
    if (SUCCEEDED(VariantChangeType(&converted.v, const_cast<VARIANT*>(in), 0, VT_I4)))
        return static_cast<std::int32_t>(converted.v.lVal);
    if (SUCCEEDED(VariantChangeType(&converted.v, const_cast<VARIANT*>(in), 0, VT_R8)))
        return converted.v.dblVal;
    throw AutomationError("Type mismatch");
}

std::string ComValue::describe(HRESULT hr) {
    const std::string system = Win32Text::systemMessage(static_cast<unsigned long>(hr));
    if (system.rfind("System error ", 0) != 0)
        return system;
    char code[40];
    std::snprintf(code, sizeof code, "Automation error 0x%08lX", static_cast<unsigned long>(hr));
    return code;
}

bool ComValue::isBusy(HRESULT hr) {
    return hr == RPC_E_CALL_REJECTED || hr == RPC_E_SERVERCALL_RETRYLATER;
}

AutomationError::Kind ComValue::kindOf(HRESULT hr) {
    if (isBusy(hr))
        return AutomationError::Kind::Busy;
    // The server's process ended, was killed or let go of the object: no answer will come.
    const HRESULT gone[] = {RPC_E_DISCONNECTED,
                            CO_E_OBJNOTCONNECTED,
                            RPC_E_SERVER_DIED,
                            RPC_E_SERVER_DIED_DNE,
                            HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE),
                            HRESULT_FROM_WIN32(RPC_S_CALL_FAILED),
                            HRESULT_FROM_WIN32(RPC_S_CALL_FAILED_DNE)};
    for (const HRESULT code : gone)
        if (hr == code)
            return AutomationError::Kind::Gone;
    return AutomationError::Kind::Refused;
}
