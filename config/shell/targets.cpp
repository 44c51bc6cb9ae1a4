#include "config/shell/targets.h"

namespace zv::config {

namespace {

struct TargetName {
    std::u16string_view name;
    Tool tool;
};
constexpr TargetName kTargets[] = {
    {u"gaojishezhi", Tool::AdvancedEditor},    {u"高级设置", Tool::AdvancedEditor},
    {u"shuchufancha", Tool::OutputLookup},     {u"输出反查", Tool::OutputLookup},
    {u"jiantiebanfancha", Tool::ClipboardLookup}, {u"剪贴板反查", Tool::ClipboardLookup},
    {u"anjianshezhi", Tool::KeyEditor},        {u"按键设置", Tool::KeyEditor},
    {u"tianjiayonghuci", Tool::AddUserWord},   {u"添加用户词", Tool::AddUserWord},
    {u"zaixianjiaci", Tool::OnlineAddWord},    {u"在线加词", Tool::OnlineAddWord},
    {u"jianqiebanjiaci", Tool::OnlineAddWord}, {u"剪贴板加词", Tool::OnlineAddWord},
    {u"help", Tool::Help},                     {u"帮助首页", Tool::Help},
};

struct PageNames {
    std::u16string_view pinyin, chinese;
    Page page;
};
constexpr PageNames kPageTargets[] = {
    {u"jiemian", u"界面", Page::Appearance},
    {u"mabiao", u"码表", Page::CodeTable},
    {u"gaoji", u"高级", Page::Advanced},
    {u"about", u"关于", Page::About},
};

constexpr std::u16string_view kPageNames[PageCount] = {u"常用", u"界面", u"码表", u"高级", u"关于"};
constexpr uint32_t kPageBits[PageCount] = {2, 4, 8, 1, 16};
constexpr uint32_t kAllPages = 0xFFFF;
constexpr std::u16string_view kUnreadableName = u"*****";

bool equalsIgnoringCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; };
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

}  // namespace

Tool toolForTarget(std::u16string_view target) {
    for (const TargetName& t : kTargets)
        if (t.name == target) return t.tool;
    return Tool::MainDialog;
}

std::u16string mainDialogTitle(std::u16string_view displayName) {
    return u"使用设置 - " + std::u16string(displayName.empty() ? kUnreadableName : displayName);
}

std::u16string toolWindowTitle(Tool tool, std::u16string_view displayName, std::u16string_view imeName) {
    const std::u16string_view shown = displayName.empty() ? kUnreadableName : displayName;
    switch (tool) {
    case Tool::MainDialog: return mainDialogTitle(displayName);
    case Tool::AdvancedEditor: return u"高级设置模式 - " + std::u16string(shown);
    case Tool::KeyEditor: return u"按键功能定义 - " + std::u16string(shown);
    case Tool::OutputLookup:
    case Tool::ClipboardLookup: return u"码表浏览 - " + std::u16string(imeName);
    case Tool::AddUserWord:
    case Tool::OnlineAddWord:
    case Tool::Help: return {};
    }
    return {};
}

std::u16string_view pageName(Page page) {
    int i = static_cast<int>(page);
    return i >= 0 && i < PageCount ? kPageNames[i] : std::u16string_view{};
}

Page pageForTarget(std::u16string_view target) {
    for (const PageNames& p : kPageTargets)
        if (equalsIgnoringCase(target, p.pinyin) || target == p.chinese) return p.page;
    return Page::General;
}

uint32_t pageMaskBit(Page page) {
    int i = static_cast<int>(page);
    return i >= 0 && i < PageCount ? kPageBits[i] : 0;
}

std::vector<Page> visiblePages(uint32_t mask) {
    std::vector<Page> pages;
    for (int i = 0; i < PageCount; ++i)
        if ((mask ? mask : kAllPages) & kPageBits[i]) pages.push_back(static_cast<Page>(i));
    if (pages.empty()) return visiblePages(kAllPages);
    return pages;
}

int tabForPage(uint32_t mask, Page requested) {
    std::vector<Page> pages = visiblePages(mask);
    for (size_t i = 0; i < pages.size(); ++i)
        if (pages[i] == requested) return static_cast<int>(i);
    int position = static_cast<int>(requested);
    if (position < 0) position = 0;
    if (position >= static_cast<int>(pages.size())) position = static_cast<int>(pages.size()) - 1;
    return position;
}

// The help file has one page for the settings of every page of the main
// dialog and one for the about page.
std::u16string_view helpTopic(Page page) { return page == Page::About ? u"About.html" : u"settings.html"; }

}  // namespace zv::config
