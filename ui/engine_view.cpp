#include "ui/engine_view.h"

namespace zv::ui {

UiView viewOf(const EngineView& engine, bool capsLock) {
    UiView v;
    for (const ViewCandidate& c : engine.items) {
        CandidateItem item;
        // The window shows the item's display text: a macro's display part,
        // a converted form with its original; plain candidates show what they
        // commit.
        item.text = c.display.empty() ? c.output : c.display;
        item.hint = c.hint;
        item.kind = c.origin;
        item.fromTable = c.fromTable;
        item.pinned = c.pinned;
        item.secondary = c.secondary;
        v.items.push_back(std::move(item));
    }
    v.highlight = engine.highlight;
    v.firstPage = engine.firstPage;
    v.lastPage = engine.lastPage;
    v.candidateCount = engine.candidates;
    v.display = engine.display;
    v.cursor = engine.displayCursor;
    v.modes = engine.modes;
    v.softKeyboardLayout = engine.softKeyboardLayout;
    v.capsLock = capsLock;
    return v;
}

UiView viewOf(EngineContext& ctx, bool capsLock) { return viewOf(zv::viewOf(ctx), capsLock); }

MenuContext menuContextOf(const EngineView& engine, const SettingsBlocks& b, bool textService, const SkinList* skins) {
    MenuContext c;
    c.modes = engine.modes;
    c.softKeyboardLayout = engine.softKeyboardLayout;
    if (b.ime) c.imeA = b.ime.a();
    if (b.soft) {
        c.mainName = b.soft.categoryName(CategoryNone);
        c.auxiliaryName = b.soft.categoryName(CategoryAuxiliary);
        c.secondaryName = b.soft.categoryName(CategorySecondary);
        // The user-word category must be defined for words to be added to it.
        c.userWords = (b.soft.categoryRights(CategoryUser) & 0x2) != 0;
    }
    c.traditionalOpen = engine.traditionalTable;
    c.simplifiedOpen = engine.simplifiedTable;
    c.textService = textService;
    c.skins = skins;
    if (b.skin) c.currentSkin = b.skin.text(SkinSettings::SkinFile, SkinSettings::NameUnits);
    return c;
}

MenuContext menuContextOf(EngineContext& ctx, bool textService, const SkinList* skins) {
    return menuContextOf(zv::viewOf(ctx), settingsOf(ctx), textService, skins);
}

bool runEngineMenuAction(EngineContext& ctx, const MenuAction& action) {
    using K = MenuActionKind;
    switch (action.kind) {
    case K::Command: uiCommand(ctx, action.code, action.argument, action.operation); return true;
    case K::Program: uiCommand(ctx, action.code, 0, 0); return true;
    case K::KeyMap: uiCommand(ctx, ui_command::KeyboardMap, 0, 0); return true;
    case K::ToggleKeyboard:
        uiCommand(ctx, zv::viewOf(ctx).modes & ModeEnglish ? ui_command::Chinese : ui_command::English, 0, 0);
        return true;
    case K::ChooseSkin:
    case K::ToggleEmbedStatusBar:
    case K::EnglishWords:
    case K::None: return false;
    }
    return false;
}

}  // namespace zv::ui
