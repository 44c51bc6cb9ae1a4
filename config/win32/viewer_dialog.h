#pragma once
// The code-table viewer: the entries of one table in a virtual list, made
// on a worker thread, filtered by code, word, category, deleted and fixed
// entries; and adding, changing, deleting, undeleting and copying them.
// It also shows the codes of the text typed last (输出反查) and of the
// clipboard's text (剪贴板反查).

#include "config/win32/program.h"

#include <string>

namespace zv::config::win32 {

struct ViewerRequest {
    std::u16string_view file = u"main.dmg";  // a table of the data folder
    int category = 0;                        // 0: every category
    std::u16string word;                     // the word filter to start with
    std::u16string title;                    // instead of the table's own title
};

void runViewer(Program& program, const ViewerRequest& request);

}  // namespace zv::config::win32
