#include "HelpTopics.h"

#include "ConsoleResources.h"

CString HelpTopicFor(UINT templateId, const std::function<CString(UINT pageId)> &pageTopic)
{
    switch (templateId) {
    case IDD_MAIN_FRAME:
    case IDD_INFO_PAGE:
        return "::/Welcome.htm";
    case IDD_SYSTEM_PAGE:
        return "::/options.htm";
    case IDD_MONITOR_PAGE:
    case IDD_FIREWALL_PAGE:
    case IDD_PROGRAM_PAGE:
    case IDD_LOGS_PAGE:
        return pageTopic(templateId);
    case IDD_ZONE_EDITOR:
        return "::/firewall_trusted.htm";
    case IDD_ADVANCED_RULE:
        return "::/programcontrol_advance.htm";
    default:
        return CString();
    }
}

HtmlHelpEntry SystemHtmlHelp()
{
    static HtmlHelpEntry entry = nullptr;
    if (!entry) {
        if (HMODULE library = ::LoadLibraryA("hhctrl.ocx"))
            entry = reinterpret_cast<HtmlHelpEntry>(
                reinterpret_cast<void (*)()>(::GetProcAddress(library, "HtmlHelpA")));
    }
    return entry;
}
