#include "config/settings_file.h"

#include "config/text_table.h"
#include "engine/folder_write.h"
#include "engine/settings_options.h"
#include "engine/write_journal.h"

#include <cstring>

namespace zv::config {

namespace {

std::u16string_view trimmed(std::u16string_view s) {
    while (!s.empty() && (s.back() == u' ' || s.back() == u'\t')) s.remove_suffix(1);
    while (!s.empty() && (s.front() == u' ' || s.front() == u'\t')) s.remove_prefix(1);
    return s;
}

}  // namespace

bool hasSettingsSection(std::u16string_view text) {
    bool found = false;
    forEachLine(text, [&](std::u16string_view line) {
        if (found) return;
        if (!line.empty() && line[0] == u'\uFEFF') line.remove_prefix(1);
        if (size_t comment = line.find(u"//"); comment != std::u16string_view::npos) line = line.substr(0, comment);
        line = trimmed(line);
        found = line.substr(0, 2) == u"[-" && sectionId(line) != SectionUnknown;
    });
    return found;
}

SettingsImport importSettingsText(platform::MappedFile& config, std::u16string_view text) {
    SettingsImport result;
    SettingsBlocks live = findBlocks(config.data(), config.size());
    if (!config.isOpen() || config.isHeapCopy() || !live.complete()) {
        result.status = SettingsImportStatus::NotWritable;
        return result;
    }
    if (!hasSettingsSection(text)) {
        result.status = SettingsImportStatus::NotSettings;
        return result;
    }
    std::vector<uint8_t> copy(config.data(), config.data() + config.size());
    SettingsBlocks scratch = findBlocks(copy.data(), static_cast<uint32_t>(copy.size()));
    result.optionABefore = live.ime.a();
    result.problems = readSettingsText(scratch, text);
    result.optionAAfter = scratch.ime.a();
    // The four blocks change together: what they held is saved first.
    FolderWrite hold(config);
    live = findBlocks(config.data(), config.size());
    if (!live.complete()) {
        result.status = SettingsImportStatus::NotWritable;
        return result;
    }
    WriteJournal journal(config.path());
    journal.keep(config.data(), 0, config.size());
    if (!journal.seal(config.size())) {
        result.status = SettingsImportStatus::NotWritable;
        return result;
    }
    std::memcpy(live.ime.base, scratch.ime.base, ImeSettings::Size);
    std::memcpy(live.dme.base, scratch.dme.base, DmeSettings::Size);
    std::memcpy(live.skin.base, scratch.skin.base, SkinSettings::Size);
    std::memcpy(live.soft.base, scratch.soft.base, SoftSettings::Size);
    config.flush();
    journal.finish();
    return result;
}

}  // namespace zv::config
