#pragma once
// Settings text files: every setting of config.dsc written as one text
// (the export and the advanced editor's backup) and read back. An import is
// applied to a copy of the settings blocks first and copied over them in
// one step, so that a file that holds no settings changes nothing.

#include "engine/config_store.h"
#include "engine/settings_text.h"
#include "platform/mapped_file.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zv::config {

// Whether a text has at least one section header that the settings know;
// reading any other text would only clear the key bindings, rules and
// symbols.
bool hasSettingsSection(std::u16string_view text);

enum class SettingsImportStatus {
    Ok,
    NotSettings,  // no settings section in the text: nothing was changed
    NotWritable,  // config.dsc is a read-only copy or damaged: nothing was changed
};

struct SettingsImport {
    SettingsImportStatus status = SettingsImportStatus::Ok;
    std::vector<SettingsTextProblem> problems;  // lines that had no effect
    uint32_t optionABefore = 0, optionAAfter = 0;  // for the window-style switch
};

SettingsImport importSettingsText(platform::MappedFile& config, std::u16string_view text);

}  // namespace zv::config
