#include "engine/data_files.h"

#include "engine/bytes.h"
#include "engine/folder_share.h"
#include "engine/folder_write.h"
#include "engine/write_journal.h"
#include "engine/output_conversion.h"
#include "engine/pair_table.h"
#include "platform/clock.h"
#include "platform/registry.h"

namespace zv {

namespace {

#ifdef _WIN32
constexpr char16_t kSeparator = u'\\';
#else
constexpr char16_t kSeparator = u'/';
#endif

bool endsWithSeparator(std::u16string_view p) { return !p.empty() && (p.back() == u'\\' || p.back() == u'/'); }

constexpr size_t kPathUnits = 260;

bool pairTableUsable(const platform::MappedFile& f) { return PairTable(f.data(), f.size()).valid(); }

// Whether an opened file can serve its slot; a file that cannot is closed and
// its feature stays off (or, for a required file, the engine does not open).
bool usable(DataSlot slot, const platform::MappedFile& f) {
    switch (slot) {
    case SlotConfig: return findBlocks(f.data(), f.size()).complete();
    case SlotMain: {
        CodeTable t(f.data(), f.size());
        return t.valid() && t.type() == dmg::TypeCodeTable;
    }
    case SlotTemp: return tempTableUsable(CodeTable(f.data(), f.size()));
    case SlotEnglish:
    case SlotAssociation: {
        CodeTable t(f.data(), f.size());
        return t.valid() && t.isWordList();
    }
    case SlotChars:
    case SlotTraditional:
    case SlotSimplified: return pairTableUsable(f);
    default: return false;
    }
}

// The settings and the two code tables are read at every key: their pages
// are there from the start. The word lists serve English input and
// association, the pair tables only traditional or simplified output, and
// the character file no key at all: their pages come in as they are first
// read, so that an application whose user never turns those on does not
// hold them (about 1.5 MiB with the shipped data).
platform::MappedFile::Pages pagesFor(DataSlot slot) {
    return slot == SlotConfig || slot == SlotMain || slot == SlotTemp ? platform::MappedFile::Pages::Filled
                                                                       : platform::MappedFile::Pages::OnDemand;
}

// The mapping of a slot's file: the share's while it is still the file on
// disk, else the file mapped anew (and shared). Null when the file is
// missing or cannot serve its slot.
std::shared_ptr<platform::MappedFile> currentMapping(EngineContext& ctx, DataSlot slot) {
    FolderShare* share = ctx.share.get();
    if (share) {
        std::lock_guard<std::mutex> hold(share->lock);
        if (const auto& f = share->files[slot]; f && f->isCurrent()) return f;
    }
    std::u16string path = ctx.dataDir + std::u16string(dataFileName(slot));
    if (path.size() >= kPathUnits || !platform::fileExists(path)) return nullptr;
    auto f = std::make_shared<platform::MappedFile>();
    const bool opened = ctx.leavesDataUntouched ? f->openCopy(path) : f->open(path, pagesFor(slot));
    if (!opened || !usable(slot, *f)) return nullptr;
    if (share && !f->isHeapCopy()) {
        std::lock_guard<std::mutex> hold(share->lock);
        share->files[slot] = f;
    }
    return f;
}

void openFiles(EngineContext& ctx) {
    // Copies of its own are shared with no other engine.
    ctx.share = ctx.leavesDataUntouched ? nullptr : shareFolder(ctx.dataDir);
    for (int s = 0; s < SlotCount; ++s) ctx.files[s] = currentMapping(ctx, static_cast<DataSlot>(s));
}

// Whether an engine's mapping still shows the file as it is on disk.
bool stillCurrent(const platform::MappedFile& f) {
    if (!f.isOpen()) return false;
    if (f.isHeapCopy()) return f.sizeOnDisk() == int64_t(f.size()) - 10;
    return f.isCurrent();
}

void clearTempWordsAfterBoot(EngineContext& ctx) {
    if (!ctx.isOpen(SlotTemp)) return;
    platform::Clock* clock = ctx.platform.clock ? ctx.platform.clock : &platform::systemClock();
    clearTempWordsAfterBoot(*ctx.file(SlotTemp), ctx.blocks.ime, ctx.dataDir, *clock);
}

bool finishOpening(EngineContext& ctx, OpenAs as) {
    // A change that a writer left half done is undone before any file is
    // read (by an engine that may write the folder).
    if (!ctx.leavesDataUntouched) recoverFolder(ctx.dataDir);
    openFiles(ctx);
    if (!ctx.isOpen(SlotConfig) || !ctx.isOpen(SlotMain)) {
        closeData(ctx);
        return false;
    }
    platform::MappedFile& config = *ctx.file(SlotConfig);
    ctx.blocks = findBlocks(config.data(), config.size());
    if (!ctx.blocks.complete()) {
        closeData(ctx);
        return false;
    }
    ctx.tablesFresh = true;
    if (as == OpenAs::Tool) return true;
    clearTempWordsAfterBoot(ctx);
    // Alternating quotes start again with their opening mark.
    resetSymbolToggles(ctx.blocks.ime);
    return true;
}

}  // namespace

// Temporary words live until the next boot when the user asks for it.
void clearTempWordsAfterBoot(platform::MappedFile& temp, ImeSettings& ime, std::u16string_view dataDir,
                             platform::Clock& clock) {
    if (!temp.isOpen() || !ime.bit(ImeSettings::OptionA, ImeSettings::A_TempClearOnBoot)) return;
    // A copy that is never written back would only mark the words as gone.
    if (temp.isHeapCopy()) return;
    int64_t boot = clock.epochSeconds() - static_cast<int64_t>(clock.tickCount() / 1000);
    uint64_t stamp = static_cast<uint64_t>(boot) & ~uint64_t(0xFF);
    if (stamp == ime.u64(ImeSettings::BootTime)) return;
    FolderWrite hold(dataDir);
    if (stamp == ime.u64(ImeSettings::BootTime)) return;  // another process cleared them
    WriteJournal journal(temp.path());
    journal.keep(temp.data(), 0, temp.size());
    if (!journal.seal(temp.size())) return;
    resetTempTable(temp.data(), temp.size());
    temp.flush();
    journal.finish();
    ime.setU64(ImeSettings::BootTime, stamp);
}

std::u16string instanceKey(std::u16string_view imeName) {
    std::u16string key = u"Software\\ZorvanIME3\\";
    key += imeName;
    return key;
}

std::u16string_view dataFileName(DataSlot slot) {
    switch (slot) {
    case SlotConfig: return u"config.dsc";
    case SlotMain: return u"main.dmg";
    case SlotEnglish: return u"engl.dmg";
    case SlotTemp: return u"temp.dmg";
    case SlotChars: return u"danzi.dmi";
    case SlotAssociation: return u"sysl.dmg";
    case SlotTraditional: return u"traditional.dms";
    case SlotSimplified: return u"simplified.dms";
    default: return u"";
    }
}

bool openData(EngineContext& ctx, std::u16string_view imeName) {
    closeData(ctx);
    platform::Registry* reg = ctx.platform.registry;
    if (!reg || imeName.empty()) return false;
    std::u16string key = instanceKey(imeName.substr(0, 40));
    if (!reg->keyExists(platform::Hive::LocalMachine, key)) return false;
    ctx.imeName.assign(imeName.substr(0, 40));
    if (auto name = reg->readString(platform::Hive::LocalMachine, key, u"IMEName")) ctx.imeName = name->substr(0, 40);
    auto install = reg->readString(platform::Hive::LocalMachine, key + u"\\", u"InstallLocation");
    auto data = reg->readString(platform::Hive::LocalMachine, key + u"\\", u"DataLocation");
    if (!install || !data) return false;
    ctx.installDir = install->substr(0, kPathUnits - 1);
    if (!endsWithSeparator(ctx.installDir)) ctx.installDir.push_back(kSeparator);
    ctx.dataDir = data->substr(0, kPathUnits - 1);
    return finishOpening(ctx, OpenAs::Engine);
}

bool openDataFolder(EngineContext& ctx, std::u16string_view dataDir, std::u16string_view installDir, OpenAs as) {
    closeData(ctx);
    ctx.dataDir.assign(dataDir.substr(0, kPathUnits - 2));
    if (!endsWithSeparator(ctx.dataDir)) ctx.dataDir.push_back(kSeparator);
    ctx.installDir.assign(installDir.empty() ? std::u16string_view(ctx.dataDir) : installDir.substr(0, kPathUnits - 2));
    if (!endsWithSeparator(ctx.installDir)) ctx.installDir.push_back(kSeparator);
    return finishOpening(ctx, as);
}

void closeData(EngineContext& ctx) {
    static constexpr DataSlot kCloseOrder[] = {SlotConfig,     SlotMain,        SlotTemp,  SlotAssociation,
                                               SlotSimplified, SlotTraditional, SlotChars, SlotEnglish};
    ctx.candidates.clear();
    ctx.memoInList.reset();
    for (DataSlot s : kCloseOrder) ctx.files[s].reset();
    ctx.share.reset();
    ctx.blocks = SettingsBlocks{};
}

void syncTables(EngineContext& ctx) {
    ++ctx.rangeEpoch;
    for (DataSlot s : {SlotMain, SlotTemp, SlotEnglish, SlotAssociation}) {
        platform::MappedFile* f = ctx.file(s);
        if (!f || stillCurrent(*f)) continue;
        // A table that vanished or became unusable turns its feature off;
        // main.dmg stays in its slot, unmapped, so that searches simply
        // find nothing.
        ctx.files[s] = currentMapping(ctx, s);
        if (!ctx.files[s] && s == SlotMain) ctx.files[s] = std::make_shared<platform::MappedFile>();
    }
}

bool searchedTablesCurrent(const EngineContext& ctx) {
    for (DataSlot s : {SlotMain, SlotTemp}) {
        const platform::MappedFile* f = ctx.file(s);
        if (f && f->isOpen() && !stillCurrent(*f)) return false;
    }
    return true;
}

platform::MappedFile* growFile(EngineContext& ctx, DataSlot slot, uint32_t size) {
    const platform::MappedFile* old = ctx.file(slot);
    if (!old || !old->isOpen() || old->isHeapCopy()) return nullptr;
    // Mapped anew: an engine that still reads the old mapping keeps it.
    auto grown = std::make_shared<platform::MappedFile>();
    if (!grown->open(old->path(), platform::MappedFile::Pages::OnDemand) || grown->isHeapCopy() ||
        !grown->resize(size))
        return nullptr;
    ctx.files[slot] = grown;
    if (FolderShare* share = ctx.share.get()) {
        std::lock_guard<std::mutex> hold(share->lock);
        share->files[slot] = grown;
    }
    return grown.get();
}

CodeTable tableView(const EngineContext& ctx, DataSlot slot) {
    platform::MappedFile* f = ctx.file(slot);
    if (!f || !f->isOpen()) return {};
    return CodeTable(f->data(), f->size());
}

bool tempTableUsable(const CodeTable& t) {
    if (!t.valid() || t.type() != dmg::TypeCodeTable || t.size() < dmg::TempFileSize ||
        t.count() > dmg::TempSlotCount)
        return false;
    bool seen[dmg::TempSlotCount] = {};
    for (uint32_t i = 0; i < dmg::TempSlotCount; ++i) {
        uint32_t off = rd32(t.base() + dmg::IndexStart + 4 * i);
        if (off < dmg::TempFirstSlot || (off - dmg::TempFirstSlot) % dmg::TempSlotSize != 0) return false;
        uint32_t k = (off - dmg::TempFirstSlot) / dmg::TempSlotSize;
        if (k >= dmg::TempSlotCount || seen[k]) return false;
        seen[k] = true;
    }
    return true;
}

}  // namespace zv
