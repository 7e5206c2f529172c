// Must not compile: a CString passed through "..." would hand the callee the
// object rather than its text. Built only by the test that expects the error.
#include <CString.h>

void FormatWithTheObject()
{
    CString name("name");
    CString text;
    text.Format("%s", name);
}
