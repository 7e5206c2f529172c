#include "ColumnList.h"

#include <cstdlib>

bool ForEachColumn(const CString &columns, const std::function<bool(const CString &title, int width)> &addColumn)
{
    int start = 0;
    for (int comma = columns.Find(',', start); comma != -1; comma = columns.Find(',', start)) {
        int end = columns.Find(';', comma + 1);
        if (end == -1)
            end = columns.GetLength();
        const CString title = columns.Mid(start, comma - start);
        const int width = atoi(columns.Mid(comma + 1, end - comma - 1));
        if (!addColumn(title, width))
            return false;
        start = end + 1;
    }
    return true;
}
