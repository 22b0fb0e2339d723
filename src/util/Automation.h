#pragma once
// Late-bound COM automation: objects created by ProgID and members called by
// name through IDispatch. Every failure is thrown as an OleError whose text is
// what the user is shown.

#include "util/WinHandles.h"

#include <oaidl.h>

#include <string>
#include <vector>

// One argument of a late-bound call: a text (passed as VT_BSTR, converted from
// the ANSI code page) or a 32-bit integer (VT_I4).
class DispArg {
public:
    DispArg(const std::string& text) : text_(text), isText_(true) {}
    DispArg(const char* text) : text_(text), isText_(true) {}
    DispArg(long number) : number_(number) {}
    DispArg(int number) : number_(number) {}

    bool IsText() const { return isText_; }
    const std::string& Text() const { return text_; }
    long Number() const { return number_; }

private:
    std::string text_;
    long number_ = 0;
    bool isText_ = false;
};

// CLSIDFromProgID, then CoCreateInstance (in-process or local server) for IDispatch.
ComRef<IDispatch> CreateOleObject(const std::string& progId);

// Calls the method `name` and returns its result.
Variant CallMethod(IDispatch* object, const std::string& name, const std::vector<DispArg>& args = {});

// Calls the method `name` without asking for a result.
void CallProcedure(IDispatch* object, const std::string& name, const std::vector<DispArg>& args = {});

// Reads `name`, invoked as a method or a property get as the object prefers.
Variant GetProperty(IDispatch* object, const std::string& name);

// The object held by a VT_DISPATCH result; throws OleError when it holds none.
ComRef<IDispatch> ToDispatch(const Variant& value);

// The text shown for a failed COM call with this code: the system's message
// without trailing spaces, control characters and dots, or "OLE error %.8x".
std::string OleErrorText(HRESULT code);
