#include "util/Automation.h"

#include "util/Errors.h"
#include "util/Text.h"
#include "util/unFileAndDir.h"

#include <oleauto.h>

#include <cstdio>
#include <vector>

namespace {

std::wstring Widen(const std::string& text)
{
    if (text.empty()) return {};
    const int n = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(n, L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], n);
    return wide;
}

std::string Narrow(BSTR text)
{
    const int length = static_cast<int>(::SysStringLen(text));
    if (length == 0) return {};
    const int n = ::WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string narrow(n, '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text, length, &narrow[0], n, nullptr, nullptr);
    return narrow;
}

[[noreturn]] void ThrowOleError(HRESULT code)
{
    throw OleError(OleErrorText(code), code);
}

// The strings an object hands back with an exception belong to the caller.
class ExceptionInfo {
public:
    ExceptionInfo() noexcept : info_() {}
    ExceptionInfo(const ExceptionInfo&) = delete;
    ExceptionInfo& operator=(const ExceptionInfo&) = delete;
    ~ExceptionInfo()
    {
        ::SysFreeString(info_.bstrSource);
        ::SysFreeString(info_.bstrDescription);
        ::SysFreeString(info_.bstrHelpFile);
    }
    EXCEPINFO* get() noexcept { return &info_; }

    [[noreturn]] void Throw()
    {
        if (info_.pfnDeferredFillIn) info_.pfnDeferredFillIn(&info_);
        const HRESULT code = info_.scode != 0 ? info_.scode : DISP_E_EXCEPTION;
        std::string description = TrimTrailingNoise(Narrow(info_.bstrDescription));
        if (description.empty()) description = OleErrorText(code);
        throw OleError(description, code);
    }

private:
    EXCEPINFO info_;
};

// The arguments of one call, last argument first as IDispatch::Invoke wants them.
class ArgumentList {
public:
    explicit ArgumentList(const std::vector<DispArg>& args) : variants_(args.size())
    {
        for (VARIANT& v : variants_) ::VariantInit(&v);
        for (size_t i = 0; i < args.size(); ++i) {
            VARIANT& v = variants_[args.size() - 1 - i];
            if (args[i].IsText()) {
                const std::wstring text = Widen(args[i].Text());
                v.bstrVal = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
                if (!v.bstrVal) ThrowOleError(E_OUTOFMEMORY);
                v.vt = VT_BSTR;
            } else {
                v.vt = VT_I4;
                v.lVal = args[i].Number();
            }
        }
    }
    ArgumentList(const ArgumentList&) = delete;
    ArgumentList& operator=(const ArgumentList&) = delete;
    ~ArgumentList()
    {
        for (VARIANT& v : variants_) ::VariantClear(&v);
    }
    DISPPARAMS Params() noexcept
    {
        DISPPARAMS params = {};
        params.rgvarg = variants_.empty() ? nullptr : variants_.data();
        params.cArgs = static_cast<UINT>(variants_.size());
        return params;
    }

private:
    std::vector<VARIANT> variants_;
};

DISPID LookUpMember(IDispatch* object, const std::string& name)
{
    std::wstring wideName = Widen(name);
    LPOLESTR names[] = {&wideName[0]};
    DISPID id = DISPID_UNKNOWN;
    const HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (hr == DISP_E_UNKNOWNNAME) throw OleError("Method '" + name + "' not supported by automation object", hr);
    if (FAILED(hr)) ThrowOleError(hr);
    return id;
}

Variant Invoke(IDispatch* object, const std::string& name, WORD flags, const std::vector<DispArg>& args,
                  bool wantResult)
{
    if (!object) ThrowOleError(E_POINTER);
    const DISPID id = LookUpMember(object, name);
    ArgumentList arguments(args);
    DISPPARAMS params = arguments.Params();
    Variant result;
    ExceptionInfo exception;
    UINT argumentError = 0;
    const HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                      wantResult ? result.put() : nullptr, exception.get(), &argumentError);
    if (hr == DISP_E_EXCEPTION) exception.Throw();
    if (FAILED(hr)) ThrowOleError(hr);
    return result;
}

}  // namespace

std::string OleErrorText(HRESULT code)
{
    std::string text = SystemMessageText(static_cast<DWORD>(code));
    if (!text.empty()) return text;
    char fallback[32];
    std::snprintf(fallback, sizeof fallback, "OLE error %.8lx", static_cast<unsigned long>(code));
    return fallback;
}

ComRef<IDispatch> CreateOleObject(const std::string& progId)
{
    const std::wstring wideProgId = Widen(progId);
    CLSID clsid;
    HRESULT hr = ::CLSIDFromProgID(wideProgId.c_str(), &clsid);
    if (FAILED(hr)) ThrowOleError(hr);
    ComRef<IDispatch> object;
    hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                            object.put_void());
    if (FAILED(hr)) ThrowOleError(hr);
    return object;
}

Variant CallMethod(IDispatch* object, const std::string& name, const std::vector<DispArg>& args)
{
    return Invoke(object, name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, args, true);
}

void CallProcedure(IDispatch* object, const std::string& name, const std::vector<DispArg>& args)
{
    Invoke(object, name, DISPATCH_METHOD, args, false);
}

Variant GetProperty(IDispatch* object, const std::string& name)
{
    return Invoke(object, name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, {}, true);
}

ComRef<IDispatch> ToDispatch(const Variant& value)
{
    const VARIANT& v = value.get();
    IDispatch* object = nullptr;
    if (v.vt == VT_DISPATCH) object = v.pdispVal;
    else if (v.vt == (VT_DISPATCH | VT_BYREF) && v.ppdispVal) object = *v.ppdispVal;
    if (!object) ThrowOleError(E_NOINTERFACE);
    object->AddRef();
    return ComRef<IDispatch>::attach(object);
}
