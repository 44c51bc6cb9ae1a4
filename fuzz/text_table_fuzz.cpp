// A text code table from outside (full build, import): decoded from its
// file bytes, then every line read as directive, comment or entry, with the
// code markers and the word escapes of both reading modes.

#include "config/text_table.h"
#include "engine/entry_text.h"
#include "fuzz/fuzz_input.h"

#include <string>

using namespace zv;
using namespace zv::config;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::u16string text = fuzz::textOf(data, size);
    readDirectives(text, TableTextMode::FullBuild);
    readDirectives(text, TableTextMode::Import);
    forEachLine(text, [](std::u16string_view line) {
        if (isComment(line) || isDirective(line)) return;
        size_t tab = line.find(u'\t');
        std::u16string_view word = line.substr(0, tab);
        std::u16string_view code = tab == std::u16string_view::npos ? line : line.substr(tab + 1);
        std::u16string plain = unescapeWord(word, TableTextMode::FullBuild);
        unescapeWord(word, TableTextMode::Import);
        // The export's escapes read back as the same word (line ends come
        // back as CR LF, so words holding them are left out).
        if (plain.find_first_of(u"\r\n") == std::u16string::npos &&
            unescapeWord(escapeWord(plain), TableTextMode::Import) != plain)
            __builtin_trap();
        LineCode lineCode;
        parseLineCode(code, lineCode);
        std::string bytes;
        encodeCode(code, bytes);
        // The record is built from the markers parseMarkedCode reads.
        RecordBuffer record;
        buildMarkedRecord(code, plain, record);
    });
    return 0;
}
