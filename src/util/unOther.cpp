#include "util/unOther.h"

#include "ui/unGB2BIG5.h"
#include "ui/unMsgDialog.h"
#include "util/WinHandles.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

OpenScManagerFunction OpenScManagerCall = &::OpenSCManagerA;

namespace {

void PumpPendingMessages()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

void ShowPrompt(const char* text)
{
    ShowInfo(text, false, Gb("提示"));
}

const char* OpenScmErrorText(DWORD error)
{
    switch (error) {
    case ERROR_ACCESS_DENIED: return "Acces Denied";
    case ERROR_INVALID_PARAMETER: return "Invalid Parameter";
    case ERROR_DATABASE_DOES_NOT_EXIST: return "Database doesn't exists";
    default: return "Unknown Error";
    }
}

const char* EnumServicesErrorText(DWORD error)
{
    switch (error) {
    case ERROR_ACCESS_DENIED:
        return "The specified handle was not opened with SC_MANAGER_ENUMERATE_SERVICE access";
    case ERROR_INVALID_HANDLE: return "The specified handle is invalid";
    case ERROR_INVALID_PARAMETER: return "A parameter that was specified is invalid";
    default: return "Unknown Error";
    }
}

bool IsSqlServerServiceName(const char* name)
{
    return std::strcmp(name, "MSSQLSERVER") == 0 || std::strncmp(name, "MSSQL$", 6) == 0;
}

// A byte buffer aligned for the records that EnumServicesStatusA writes into it.
class RecordBuffer {
public:
    explicit RecordBuffer(DWORD bytes) { Resize(bytes); }
    void Resize(DWORD bytes)
    {
        const size_t units = (bytes + sizeof(Unit) - 1) / sizeof(Unit);
        storage_.reset(new Unit[std::max<size_t>(units, 1)]);
        bytes_ = bytes;
    }
    ENUM_SERVICE_STATUSA* Records() const { return reinterpret_cast<ENUM_SERVICE_STATUSA*>(storage_.get()); }
    DWORD Bytes() const { return bytes_; }
    const char* Begin() const { return reinterpret_cast<const char*>(storage_.get()); }

    // The NUL-terminated text at p when it lies wholly inside the buffer, else nullptr.
    const char* TextAt(const char* p) const
    {
        const char* begin = Begin();
        const char* end = begin + bytes_;
        if (!p || std::less<const char*>()(p, begin) || !std::less<const char*>()(p, end)) return nullptr;
        return std::find(p, end, '\0') != end ? p : nullptr;
    }

private:
    struct alignas(ENUM_SERVICE_STATUSA) Unit {
        unsigned char bytes[sizeof(ENUM_SERVICE_STATUSA)];
    };
    std::unique_ptr<Unit[]> storage_;
    DWORD bytes_ = 0;
};

void CollectSqlServerNames(const RecordBuffer& buffer, DWORD count, std::vector<std::string>& names)
{
    const DWORD fitting = buffer.Bytes() / sizeof(ENUM_SERVICE_STATUSA);
    for (DWORD i = 0; i < count && i < fitting; ++i) {
        const char* name = buffer.TextAt(buffer.Records()[i].lpServiceName);
        if (name && IsSqlServerServiceName(name)) names.emplace_back(name);
    }
}

// Every SQL Server service name in the manager's order. A call that reports
// more data without moving the resume handle has returned records it never
// wrote (Wine does this); its records are dropped and the listing starts over
// with a buffer large enough for all of them.
std::vector<std::string> ListSqlServerServices(SC_HANDLE scm)
{
    std::vector<std::string> names;
    RecordBuffer buffer(1024);
    DWORD resume = 0;
    for (;;) {
        DWORD needed = 0, returned = 0;
        const DWORD resumeBefore = resume;
        const BOOL ok = ::EnumServicesStatusA(scm, SERVICE_TYPE_ALL, SERVICE_STATE_ALL, buffer.Records(),
                                              buffer.Bytes(), &needed, &returned, &resume);
        if (ok) {
            CollectSqlServerNames(buffer, returned, names);
            return names;
        }
        const DWORD error = ::GetLastError();
        if (error != ERROR_MORE_DATA) {
            ShowPrompt(EnumServicesErrorText(error));
            return names;
        }
        if (resume == resumeBefore) {
            names.clear();
            resume = 0;
            buffer.Resize(std::max<DWORD>(needed, buffer.Bytes() * 2));
            continue;
        }
        CollectSqlServerNames(buffer, returned, names);
        buffer.Resize(std::max<DWORD>(needed, 1));
    }
}

}  // namespace

bool RunAndWait(const std::string& fileName, const std::string& parameters, int showCmd)
{
    SHELLEXECUTEINFOA info;
    std::memset(&info, 0, sizeof info);
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_DDEWAIT | SEE_MASK_DOENVSUBST | SEE_MASK_FLAG_NO_UI;
    info.lpFile = fileName.c_str();
    info.lpParameters = parameters.c_str();
    info.nShow = showCmd;
    if (!::ShellExecuteExA(&info)) return false;

    const KernelHandle process(info.hProcess);
    ::WaitForInputIdle(process.get(), INFINITE);
    while (::WaitForSingleObject(process.get(), 10) == WAIT_TIMEOUT) PumpPendingMessages();
    return true;
}

std::string FindSqlServerService()
{
    const ServiceHandle scm(OpenScManagerCall(nullptr, nullptr, GENERIC_READ | GENERIC_EXECUTE));
    if (!scm) {
        ShowPrompt(OpenScmErrorText(::GetLastError()));
        return {};
    }
    const std::vector<std::string> names = ListSqlServerServices(scm.get());
    return names.empty() ? std::string() : names.front();
}
