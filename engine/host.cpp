#include "engine/host.h"

#include "engine/data_files.h"
#include "engine/input.h"
#include "engine/input_rules.h"
#include "engine/key_table.h"
#include "engine/notifications.h"
#include "engine/set_command.h"

#include <new>
#include <utility>

namespace zv {

uint32_t conversionStatusOf(uint32_t modes) {
    uint32_t status = 0;
    if (modes & (ModeEnglish | ModeEnglishWords)) status |= conversion::NoConversion;
    if (!(modes & ModeEnglishPunct)) status |= conversion::Symbol;
    if (modes & ModeFullWidth) status |= conversion::FullShape;
    return status;
}

void takeModesFromConversion(EngineContext& ctx, uint32_t status) {
    uint32_t modes = ctx.modeFlags & ~(ModeFullWidth | ModeEnglishPunct);
    if (!(status & conversion::NoConversion))
        modes &= ~(ModeEnglish | ModeEnglishWords);
    else if (!(modes & (ModeEnglish | ModeEnglishWords)))
        modes |= ModeEnglishWords;
    if (status & conversion::FullShape) modes |= ModeFullWidth;
    if (!(status & conversion::Symbol)) modes |= ModeEnglishPunct;
    ctx.modeFlags = modes;
}

void EngineCloser::operator()(EngineContext* ctx) const noexcept {
    if (!ctx) return;
    closeData(*ctx);
    delete ctx;
}

namespace {
template <class Open>
Engine openWith(const platform::Platform& services, Open&& open) {
    // A host cannot take an exception: a failure to allocate is a failure
    // to open, and keys then pass through.
    Engine engine(new (std::nothrow) EngineContext);
    if (!engine) return engine;
    engine->platform = services;
    try {
        if (!open(*engine)) engine.reset();
    } catch (...) {
        engine.reset();
    }
    return engine;
}
}  // namespace

Engine openEngine(std::u16string_view imeName, const platform::Platform& services, DataUse use) {
    return openWith(services, [&](EngineContext& ctx) {
        ctx.leavesDataUntouched = use == DataUse::Untouched;
        return openData(ctx, imeName);
    });
}

Engine openEngineFolder(std::u16string_view dataDir, std::u16string_view installDir,
                        const platform::Platform& services) {
    return openWith(services, [&](EngineContext& ctx) {
        if (!openDataFolder(ctx, dataDir, installDir)) return false;
        ctx.imeName = kDefaultImeName;
        return true;
    });
}

platform::Platform& services(EngineContext& ctx) { return ctx.platform; }
void setObserver(EngineContext& ctx, EngineObserver* observer) { ctx.observer = observer; }
SettingsBlocks& settingsOf(EngineContext& ctx) { return ctx.blocks; }
const SettingsBlocks& settingsOf(const EngineContext& ctx) { return ctx.blocks; }

void saveSettings(EngineContext& ctx) {
    if (platform::MappedFile* config = ctx.file(SlotConfig)) config->flush();
}

bool applySetCommand(EngineContext& ctx, std::u16string_view command, std::u16string* message) {
    InstallerLaunch launch{ctx.platform.shell, ctx.installDir, ctx.imeName};
    const SetOutcome outcome = runSetCommand(ctx.blocks, command, launch);
    const bool applied = outcome.valid && !outcome.refused && outcome.result == OptionResult::Applied;
    if (!applied && message) *message = std::u16string(setOutcomeText(outcome));
    if (applied) saveSettings(ctx);
    return applied;
}

std::u16string_view installFolder(const EngineContext& ctx) { return ctx.installDir; }
std::u16string_view instanceName(const EngineContext& ctx) { return ctx.imeName; }

void focusGained(EngineContext& ctx) {
    // The tables an engine just opened are those on disk.
    if (!std::exchange(ctx.tablesFresh, false)) syncTables(ctx);
    startInputContext(ctx);
}

void refreshTables(EngineContext& ctx) { syncTables(ctx); }

void focusLost(EngineContext& ctx) { clearInput(ctx, true); }

void compositionTerminated(EngineContext& ctx) {
    clearInput(ctx, false);
    ctx.input.compositionStarted = false;
}

void commitNow(EngineContext& ctx) {
    InputState& in = ctx.input;
    if (in.code.empty()) {
        if (in.composing) clearInput(ctx, true);
        return;
    }
    if (ctx.page.count > 0 && commitCandidate(ctx, commit::Highlighted, true)) return;
    commitCandidate(ctx, commit::TypedCode, true);
}

std::vector<HotKey> hotKeysToRegister(const EngineContext& ctx) {
    if (!ctx.blocks.complete()) return {};
    return hotKeys(ctx.blocks.ime, ctx.blocks.dme);
}

}  // namespace zv
