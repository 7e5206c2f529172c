#include "TextFit.h"

#include "DialogDriver.h"
#include "../../Console/Controls/TextRoom.h"

#include <commctrl.h>

#include <fstream>
#include <map>

namespace {

// Every value of the shipped Language.ini (<build>/program, beside
// <build>/bin) as the windows show it, with the keys that hold it.
std::multimap<std::string, std::string> LoadShippedTexts()
{
    char program[MAX_PATH];
    std::string path(program, GetModuleFileNameA(nullptr, program, sizeof program));
    path.erase(path.find_last_of('\\'));
    path.erase(path.find_last_of('\\') + 1);
    std::ifstream file(path + "program\\Language.ini");
    std::multimap<std::string, std::string> texts;
    std::string line, section;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[') {
            section = line.substr(1, line.find(']') - 1);
            continue;
        }
        const size_t equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        std::string value;
        const std::string raw = line.substr(equals + 1);
        for (size_t i = 0; i < raw.size(); ++i) {
            static const std::string escapes = "trn", meanings = "\t\r\n";
            if (raw[i] == '\\' && i + 1 < raw.size() && escapes.find(raw[i + 1]) != std::string::npos)
                value += meanings[escapes.find(raw[++i])];
            else if (raw.compare(i, 6, "&nbsp;") == 0)
                value += ' ', i += 5;
            else
                value += raw[i];
        }
        texts.emplace(value, section + "/" + line.substr(0, equals));
    }
    return texts;
}

// The keys whose value is the text, or else those whose value lists it as
// one of its items ("title,width;title,width" of the grids' columns).
std::string KeyOf(const std::string &text)
{
    static const std::multimap<std::string, std::string> texts = LoadShippedTexts();
    std::string keys;
    auto range = texts.equal_range(text);
    for (auto it = range.first; it != range.second; ++it)
        keys += (keys.empty() ? "" : " or ") + it->second;
    if (!keys.empty() || text.empty())
        return keys;
    for (const auto &value : texts) {
        const std::string &list = value.first;
        for (size_t at = list.find(text + ","); at != std::string::npos; at = list.find(text + ",", at + 1)) {
            if (at == 0 || list[at - 1] == ';') {
                keys += (keys.empty() ? "" : " or ") + value.second;
                break;
            }
        }
    }
    return keys;
}

std::string TextOf(HWND control)
{
    const int length = GetWindowTextLengthA(control);
    std::string text(length + 1, '\0');
    text.resize(GetWindowTextA(control, &text[0], length + 1));
    return text;
}

std::string ClassOf(HWND control)
{
    char name[64] = "";
    GetClassNameA(control, name, sizeof name);
    return name;
}

std::string NameOf(HWND control)
{
    return ClassOf(control) + " " + std::to_string(GetDlgCtrlID(control));
}

std::string WindowNameOf(HWND window)
{
    HWND top = GetAncestor(window, GA_ROOT);
    std::string title = TextOf(top);
    return title.empty() ? ClassOf(top) : title;
}

// What DrawText needs for the text in the font and format, given the room's
// width for texts that break into lines.
SIZE Measure(HFONT font, const std::string &text, UINT format, int width)
{
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(SYSTEM_FONT));
    RECT rect = {0, 0, (format & DT_SINGLELINE) ? 0 : width, 0};
    format &= ~(DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS | DT_MODIFYSTRING);
    DrawTextA(dc, text.c_str(), -1, &rect, format | DT_CALCRECT);
    // The first line's internal leading holds accents only, no ink of the
    // texts shown here: a line may lose it.
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top - metrics.tmInternalLeading};
}

// The widest word: DT_WORDBREAK never breaks inside one, so a word wider
// than the room is cut however many lines there are.
int WidestWord(HFONT font, const std::string &text, UINT format)
{
    int widest = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of(" \t\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        if (end > start) {
            const SIZE word = Measure(font, text.substr(start, end - start), format | DT_SINGLELINE, 0);
            widest = std::max<int>(widest, word.cx);
        }
        start = end + 1;
    }
    return widest;
}

const UINT kEllipses = DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS;

class Checker
{
public:
    explicit Checker(HWND window) : m_window(WindowNameOf(window)) {}

    void Check(HWND control)
    {
        TextRoom room = {};
        LRESULT answer = SendMessageA(control, TextRoomMessage(), 0, reinterpret_cast<LPARAM>(&room));
        if (answer != 0) {
            for (WPARAM index = 0; answer == TEXT_ROOM_FILLED;) {
                CheckText(control, room.text, room, index ? " text " + std::to_string(index) : "");
                room = TextRoom();
                answer = SendMessageA(control, TextRoomMessage(), ++index, reinterpret_cast<LPARAM>(&room));
            }
            return;
        }
        const std::string name = ClassOf(control);
        if (name == "Static")
            CheckStatic(control);
        else if (name == "Button")
            CheckButton(control);
        else if (name == WC_LISTVIEWA)
            CheckListView(control);
    }

    std::vector<TextFitFault> faults;

private:
    void CheckText(HWND control, const std::string &text, const TextRoom &room,
                   const std::string &where = std::string())
    {
        if (text.empty())
            return;
        const SIZE space = {room.room.right - room.room.left, room.room.bottom - room.room.top};
        const SIZE need = Measure(room.font, text, room.format, space.cx);
        const int width = (room.format & DT_SINGLELINE) ? need.cx : WidestWord(room.font, text, room.format);
        // Data may end in an ellipsis where the control draws one; the
        // system's own words are shown whole.
        const std::string key = KeyOf(text);
        const bool shortens = (room.format & kEllipses) && key.empty();
        if (need.cy > space.cy || (width > space.cx && !shortens))
            faults.push_back({m_window, NameOf(control) + where, text, key, need, space});
    }

    static TextRoom ClientRoom(HWND control, UINT format)
    {
        TextRoom room = {};
        GetClientRect(control, &room.room);
        room.format = format;
        room.font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
        return room;
    }

    // As the static control draws: left, centred or right texts break into
    // lines; the simple and the no-wrap kinds keep to one.
    void CheckStatic(HWND control)
    {
        const DWORD style = GetWindowLongA(control, GWL_STYLE);
        UINT format;
        switch (style & SS_TYPEMASK) {
        case SS_LEFT: format = DT_WORDBREAK; break;
        case SS_CENTER: format = DT_WORDBREAK | DT_CENTER; break;
        case SS_RIGHT: format = DT_WORDBREAK | DT_RIGHT; break;
        case SS_SIMPLE:
        case SS_LEFTNOWORDWRAP: format = DT_SINGLELINE; break;
        default: return; // pictures, frames and owner-drawn statics
        }
        if (style & SS_NOPREFIX)
            format |= DT_NOPREFIX;
        if (style & SS_ENDELLIPSIS)
            format |= DT_END_ELLIPSIS | DT_SINGLELINE;
        if (style & SS_PATHELLIPSIS)
            format |= DT_PATH_ELLIPSIS | DT_SINGLELINE;
        CheckText(control, TextOf(control), ClientRoom(control, format));
    }

    // Push buttons keep their edge and focus frame around the text; check
    // boxes and radio buttons give the text what lies right of the box.
    void CheckButton(HWND control)
    {
        const DWORD style = GetWindowLongA(control, GWL_STYLE);
        const UINT lines = (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
        TextRoom room;
        switch (style & BS_TYPEMASK) {
        case BS_PUSHBUTTON:
        case BS_DEFPUSHBUTTON:
            room = ClientRoom(control, lines | DT_CENTER);
            InflateRect(&room.room, -4, -3);
            break;
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
        case BS_3STATE:
        case BS_AUTO3STATE:
            room = ClientRoom(control, lines);
            room.room.left += 13 + 4;
            break;
        case BS_GROUPBOX:
            room = ClientRoom(control, DT_SINGLELINE);
            InflateRect(&room.room, -8, 0);
            break;
        default:
            return; // owner-drawn buttons answer for themselves
        }
        CheckText(control, TextOf(control), room);
    }

    // Report views: each column's title and each cell's text within the
    // column, less the margins the list keeps on either side.
    void CheckListView(HWND list)
    {
        if ((GetWindowLongA(list, GWL_STYLE) & LVS_TYPEMASK) != LVS_REPORT)
            return;
        HWND header = ListView_GetHeader(list);
        const int columns = Header_GetItemCount(header);
        const HFONT font = reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0));
        for (int column = 0; column < columns; ++column) {
            char buffer[512] = "";
            HDITEMA title = {};
            title.mask = HDI_TEXT | HDI_WIDTH;
            title.pszText = buffer;
            title.cchTextMax = sizeof buffer;
            Header_GetItem(header, column, &title);
            TextRoom room = {};
            room.room = {0, 0, title.cxy - 12, 1000};
            room.format = DT_SINGLELINE | DT_NOPREFIX;
            room.font = reinterpret_cast<HFONT>(SendMessageA(header, WM_GETFONT, 0, 0));
            CheckText(list, buffer, room, " column " + std::to_string(column));
            const int rows = ListView_GetItemCount(list);
            for (int row = 0; row < rows; ++row) {
                ListView_GetItemText(list, row, column, buffer, sizeof buffer);
                RECT cell = {};
                ListView_GetSubItemRect(list, row, column, LVIR_LABEL, &cell);
                room.room = {0, 0, cell.right - cell.left - 12, 1000};
                room.font = font;
                CheckText(list, buffer, room,
                          " row " + std::to_string(row) + " column " + std::to_string(column));
            }
        }
    }

    std::string m_window;
};

BOOL CALLBACK CheckChild(HWND child, LPARAM checker)
{
    if (IsWindowVisible(child))
        reinterpret_cast<Checker *>(checker)->Check(child);
    return TRUE;
}

} // namespace

std::vector<TextFitFault> FindTextFitFaults(HWND window)
{
    // The system lays out its message boxes around their texts itself.
    if (IsMessageBox(window))
        return {};
    Checker checker(window);
    if (GetWindowLongA(window, GWL_STYLE) & WS_CHILD)
        checker.Check(window);
    EnumChildWindows(window, CheckChild, reinterpret_cast<LPARAM>(&checker));
    return checker.faults;
}

std::string DescribeTextFitFault(const TextFitFault &fault)
{
    return fault.window + ": " + fault.control + " \"" + fault.text + "\" (" +
           (fault.key.empty() ? "not a Language.ini text" : fault.key) + ") needs " +
           std::to_string(fault.need.cx) + "x" + std::to_string(fault.need.cy) + ", has " +
           std::to_string(fault.room.cx) + "x" + std::to_string(fault.room.cy);
}
