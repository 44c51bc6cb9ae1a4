#include "ui/menus.h"

#include "ui/no_case.h"
#include "ui/soft_keyboard.h"
#include "ui/status_bar.h"

namespace zv::ui {

namespace {

MenuItem item(std::u16string text, MenuAction action, bool checked = false) {
    MenuItem m;
    m.text = std::move(text);
    m.action = action;
    m.checked = checked;
    return m;
}

MenuItem submenu(std::u16string text, std::vector<MenuItem> items) {
    MenuItem m;
    m.text = std::move(text);
    m.items = std::move(items);
    return m;
}

MenuItem separator() { return MenuItem{}; }

MenuAction command(int code, int argument = 0) { return {MenuActionKind::Command, code, argument, 0}; }
MenuAction program(int code) { return {MenuActionKind::Program, code, 0, 0}; }

std::vector<MenuItem> softKeyboardItems(int active) {
    std::vector<MenuItem> items;
    for (int n = 1; n <= SoftKeyboardLayouts; ++n) {
        std::u16string text = u"&";
        for (char c : std::to_string(n)) text.push_back(static_cast<char16_t>(c));
        text += u" ";
        text += softKeyboardLayoutName(n);
        items.push_back(item(std::move(text), command(CommandSoftKeyboard, n), n == active));
    }
    items.push_back(item(u"&C 关闭软键盘", command(CommandSoftKeyboard, 0)));
    return items;
}

}  // namespace

std::vector<MenuItem> buildMainMenu(const MenuContext& c) {
    std::vector<MenuItem> menu;
    menu.push_back(item(u"属性设置(&S)", program(ProgramSettings)));
    if (c.userWords) menu.push_back(item(u"添加用户词(&M)", program(ProgramAddUserWord)));

    if (!c.auxiliaryName.empty()) {
        const bool main = c.imeA & ImeSettings::A_MainTable, aux = c.imeA & ImeSettings::A_AuxTable;
        const int scheme = main && aux ? 0 : main ? 1 : 2;
        menu.push_back(submenu(u"输入方案(&P)", {
            item(c.mainName + u"+" + c.auxiliaryName, command(CommandInputScheme, 0), scheme == 0),
            item(c.mainName, command(CommandInputScheme, 1), scheme == 1),
            item(c.auxiliaryName, command(CommandInputScheme, 2), scheme == 2),
        }));
    }
    if (!c.secondaryName.empty()) {
        const int search = c.imeA & ImeSettings::A_SearchSecondary     ? 0
                           : c.imeA & ImeSettings::A_SecondaryWhenEmpty ? 2
                                                                        : 1;
        menu.push_back(submenu(u"码表检索(&R)", {
            item(u"检索 " + c.secondaryName, command(CommandSecondarySearch, 0), search == 0),
            item(u"不检索 " + c.secondaryName, command(CommandSecondarySearch, 1), search == 1),
            item(u"候选为空时检索 " + c.secondaryName, command(CommandSecondarySearch, 2), search == 2),
        }));
    }

    const bool full = c.modes & ModeFullWidth, englishPunct = c.modes & ModeEnglishPunct;
    std::vector<MenuItem> output = {
        item(u"全角(&Q)", command(CommandFullWidthOn), full),
        item(u"半角(&B)", command(CommandFullWidthOff), !full),
        separator(),
        item(u"中文标点(&Z)", command(CommandEnglishPunctuationOff), !englishPunct),
        item(u"英文标点(&Y)", command(CommandEnglishPunctuationOn), englishPunct),
    };
    if (c.traditionalOpen || c.simplifiedOpen) output.push_back(separator());
    if (c.traditionalOpen)
        output.push_back(item(u"繁体输出(&F)", command(CommandTraditional), c.imeA & ImeSettings::A_Traditional));
    if (c.simplifiedOpen)
        output.push_back(item(u"简体输出(&J)", command(CommandSimplified), c.imeA & ImeSettings::A_Simplified));
    menu.push_back(submenu(u"上屏选项(&O)", std::move(output)));

    menu.push_back(submenu(u"软键盘(&K)", softKeyboardItems(c.softKeyboardLayout)));
    menu.push_back(submenu(u"帮助(&H)", {
        item(u"首页(&I)", program(ProgramHelp)),
        item(u"键位图(&T)", c.textService ? MenuAction{MenuActionKind::KeyMap, 0, 0, 0} : program(ProgramKeyMap)),
        item(u"关于本程序(&A)", program(ProgramAbout)),
    }));

    if (c.skins && !c.skins->entries.empty()) {
        std::vector<MenuItem> skins;
        for (size_t i = 0; i < c.skins->entries.size(); ++i) {
            const LoadedSkin& s = c.skins->entries[i];
            const bool current = !c.currentSkin.empty() && s.info.packagePath.find(c.currentSkin) != std::u16string::npos;
            skins.push_back(item(s.info.name, {MenuActionKind::ChooseSkin, 0, static_cast<int>(i), 0}, current));
        }
        menu.push_back(submenu(u"皮肤(&K)", std::move(skins)));
    }
    if (c.textService) {
        const bool embedded = c.imeA & ImeSettings::A_EmbedStatusBar;
        menu.push_back(item(embedded ? u"还原状态栏(&R)" : u"嵌入状态栏(&R)",
                            {MenuActionKind::ToggleEmbedStatusBar, 0, 0, 0}));
    }
    menu.push_back(item(u"取消(&C)", {}));
    return menu;
}

std::vector<MenuItem> buildCandidateMenu(int slot, const CandidateItem& c, std::u16string_view secondaryName) {
    auto op = [slot](int operation) { return MenuAction{MenuActionKind::Command, CommandCandidateOperation, slot, operation}; };
    return {
        item(u"前移一位(&U)", op(1)),
        item(u"后移一位(&D)", op(2)),
        item(u"移至首位(&P)", op(3)),
        item(u"移至末尾(&E)", op(4)),
        item(u"固顶词条(&F)", op(5), c.fromTable && c.pinned),
        item(u"删除词条(&R)", op(7)),
        item(u"归入" + std::u16string(secondaryName) + u"(&S)", op(6), c.fromTable && c.secondary),
    };
}

std::vector<MenuItem> buildSoftKeyboardMenu(int activeLayout) {
    std::vector<MenuItem> menu = softKeyboardItems(activeLayout);
    menu.push_back(item(u"&E 取消", {}));
    return menu;
}

std::vector<MenuItem> buildModeMenu(uint32_t modes) {
    const bool words = modes & ModeEnglishWords;
    const bool punct = modes & ModeEnglishPunct, full = modes & ModeFullWidth;
    return {
        item(u"中文输入", {MenuActionKind::EnglishWords, 0, 0, 0}, !words),
        item(u"英文输入", {MenuActionKind::EnglishWords, 0, 1, 0}, words),
        separator(),
        item(u"中文标点", command(CommandEnglishPunctuationOff), !punct),
        item(u"英文标点", command(CommandEnglishPunctuationOn), punct),
        separator(),
        item(u"全角符号", command(CommandFullWidthOn), full),
        item(u"半角符号", command(CommandFullWidthOff), !full),
        separator(),
        item(modes & ModeEnglish ? u"键盘输入关闭" : u"键盘输入开启", {MenuActionKind::ToggleKeyboard, 0, 0, 0}),
    };
}

uint32_t menuItemId(const MenuAction& a) {
    switch (a.kind) {
    case MenuActionKind::Command:
        return static_cast<uint32_t>(a.code) +
               0x100u * static_cast<uint32_t>(a.code == CommandCandidateOperation ? a.operation : a.argument);
    case MenuActionKind::Program: return static_cast<uint32_t>(a.code);
    case MenuActionKind::KeyMap: return ProgramKeyMap;  // the same item on both paths
    case MenuActionKind::EnglishWords: return 0x3000u + 0x100u * static_cast<uint32_t>(a.argument != 0);
    case MenuActionKind::ToggleKeyboard: return 0x3001;
    case MenuActionKind::ToggleEmbedStatusBar: return 0x3002;
    case MenuActionKind::ChooseSkin: return 0x4000u + static_cast<uint32_t>(a.argument);
    case MenuActionKind::None: break;
    }
    return 0;
}

const MenuItem* findMenuItem(const std::vector<MenuItem>& menu, uint32_t id) {
    for (const MenuItem& i : menu) {
        if (!i.items.empty()) {
            if (const MenuItem* found = findMenuItem(i.items, id)) return found;
        } else if (!i.separator() && i.action.kind != MenuActionKind::None && menuItemId(i.action) == id) {
            return &i;
        }
    }
    return nullptr;
}

bool chooseSkin(const SkinList& list, size_t index, std::u16string_view installFolder, SkinSettings settings,
                LoadedSkin& skin) {
    if (index >= list.entries.size()) return false;
    const std::u16string file = fileNamePart(list.entries[index].info.packagePath).substr(0, MaxSkinNameUnits);
    if (equalNoCase(file, settings.text(SkinSettings::SkinFile, SkinSettings::NameUnits))) return false;
    settings.setText(SkinSettings::SkinFile, SkinSettings::NameUnits, file);
    settings.setI32(SkinSettings::StatusPos, 0);
    settings.setI32(SkinSettings::StatusPos + 4, 0);
    return reloadSkinIfChanged(installFolder, settings, skin);
}

}  // namespace zv::ui
