#pragma once
// Building a word list (sysl.dmg association phrases, engl.dmg English
// words) from text: it replaces the whole table.

#include "config/progress.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <thread>

namespace zv::config {

constexpr std::u16string_view WordListTempName = u"__templx_.dmg";
// Longer lines continue as the next line.
constexpr size_t WordListLineUnits = 127;

enum class WordListStatus {
    Ok,
    NoWords,        // nothing to store: the table was left as it was
    TempFailed,     // the temporary list could not be written
    TargetFailed,   // the table could not be created, grown or written
};

struct WordListResult {
    WordListStatus status = WordListStatus::Ok;
    uint32_t lines = 0;       // words read, duplicates included
    uint32_t words = 0;       // words stored
    uint32_t duplicates = 0;
    // The first word line holds "#": association entries are stored as key,
    // "#" and continuation (ImeSettings option word C, bit 0x400).
    bool separator = false;
    std::jthread releaser;
};

// Builds "__templx_.dmg" in tempFolder and copies it over the start of the
// table at targetPath (grown when smaller, created when missing).
WordListResult buildWordList(std::u16string_view text, std::u16string_view targetPath, std::u16string_view tempFolder,
                             const Progress& progress = {});

}  // namespace zv::config
