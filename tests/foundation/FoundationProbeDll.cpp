// A DLL built with the class library, as the provider is: loaded and
// unloaded at run time, with no DllMain of its own.
#include <CString.h>
#include <CStringArray.h>
#include <CTime.h>

#include <windows.h>

namespace {

// Constant-initialised: valid before and without any constructor call.
CString lastResult;

} // namespace

// Describes the DLL's own file and a fixed time into out; returns the length.
extern "C" __declspec(dllexport) int __cdecl DescribeModule(char *out, int size)
{
    HMODULE self = NULL;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&lastResult), &self);
    CString path;
    DWORD n = GetModuleFileNameA(self, path.GetBuffer(MAX_PATH), MAX_PATH);
    path.ReleaseBuffer(static_cast<int>(n));

    CStringArray parts;
    parts.Add(path.Mid(path.ReverseFind('\\') + 1));
    parts.Add(CTime(86400).Format("%Y"));

    CString text;
    text.Format("%s|%s|%d", static_cast<LPCTSTR>(parts[0]), static_cast<LPCTSTR>(parts[1]),
                lastResult.IsEmpty() ? 0 : 1);
    lastResult = text;
    lstrcpynA(out, text, size);
    return text.GetLength();
}
