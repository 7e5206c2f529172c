#include "ColumnSpec.h"

#include <cstdlib>

bool ForEachColumn(const CString &spec, const std::function<bool(const CString &title, int width)> &addColumn)
{
    int start = 0;
    for (int comma = spec.Find(',', start); comma != -1; comma = spec.Find(',', start)) {
        int end = spec.Find(';', comma + 1);
        if (end == -1)
            end = spec.GetLength();
        const CString title = spec.Mid(start, comma - start);
        const int width = atoi(spec.Mid(comma + 1, end - comma - 1));
        if (!addColumn(title, width))
            return false;
        start = end + 1;
    }
    return true;
}
