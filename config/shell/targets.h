#pragma once
// What a "/do " target opens, the single-instance title of that window, and
// the pages of the main settings dialog with the page mask that hides some
// of them.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zv::config {

enum class Tool {
    MainDialog,        // anything else, or no target
    AdvancedEditor,    // "gaojishezhi", "高级设置"
    OutputLookup,      // "shuchufancha", "输出反查"
    ClipboardLookup,   // "jiantiebanfancha", "剪贴板反查"
    KeyEditor,         // "anjianshezhi", "按键设置"
    AddUserWord,       // "tianjiayonghuci", "添加用户词"
    OnlineAddWord,     // "zaixianjiaci", "在线加词", "jianqiebanjiaci", "剪贴板加词"
    Help,              // "help", "帮助首页"
};

// Targets are compared exactly.
Tool toolForTarget(std::u16string_view target);

// The title by which a second start finds the tool's window, empty for the
// tools that may be open more than once. displayName is the instance's
// "DisplayName" (stars when it cannot be read); imeName its "IMEName" (the
// viewer's title names it).
std::u16string toolWindowTitle(Tool tool, std::u16string_view displayName, std::u16string_view imeName);

// The main dialog's title; an empty display name (unreadable) shows stars.
std::u16string mainDialogTitle(std::u16string_view displayName);

// The pages of the main dialog in their order on the tab control.
enum class Page { General = 0, Appearance = 1, CodeTable = 2, Advanced = 3, About = 4 };
constexpr int PageCount = 5;

std::u16string_view pageName(Page page);  // "常用", "界面", ...

// The page a "/do " value asks for; compared without regard to case
// ("MaBiao" is 码表); anything else is 常用.
Page pageForTarget(std::u16string_view target);

// The page mask's bit of a page (a word of the settings; 0 means all).
uint32_t pageMaskBit(Page page);

// The pages the mask shows, in tab order. A mask that shows none of them
// is taken as all: a dialog without pages could only be closed.
std::vector<Page> visiblePages(uint32_t mask);

// The tab that opens for a requested page: its own tab when it is shown;
// for a hidden page the tab at the requested position among the shown
// ones (the last when there are fewer).
int tabForPage(uint32_t mask, Page requested);

// The page of the help file that F1 opens on a page of the main dialog.
std::u16string_view helpTopic(Page page);
// ... and in the code-table viewer (its tables are those of the 码表 page).
constexpr std::u16string_view ViewerHelpTopic = u"settings.html";

}  // namespace zv::config
