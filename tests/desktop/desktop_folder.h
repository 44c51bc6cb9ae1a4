#pragma once
// The data folder the desktop tests type into: the shipped settings with
// temporary words on, a small Wubi-like table whose "wq" page runs to a
// second page, and an English word list (temporary English needs one).

#include "engine/default_store.h"
#include "engine/set_command.h"
#include "engine/table_image.h"
#include "tests/support/data_fixture.h"

namespace zv::test {

inline void writeDesktopFolder(DataFixture& fx) {
    fx.config = shippedConfigStore();
    fx.writeMain({
        {"a", u"工", attr::make(16383, 1)},
        {"ggll", u"一", attr::make(16000, 18)},
        {"khk", u"中", attr::make(16000, 17)},
        {"lgyi", u"国", attr::make(16000, 18)},
        {"wqvb", u"你好", attr::make(16382, 20)},
        {"wqvb", u"您好", attr::make(16381, 20)},
        {"wq", u"你", attr::make(16383, 16)},
        {"wqa", u"伦", attr::make(16383, 17)},
        {"wqb", u"伙", attr::make(16382, 17)},
        {"wqc", u"仪", attr::make(16381, 17)},
        {"wqd", u"们", attr::make(16380, 17)},
        {"wqe", u"仿", attr::make(16379, 17)},
        {"wqf", u"似", attr::make(16378, 17)},
    });
    fx.writeTemp();
    fx.writeFile("engl.dmg", buildWordListImage({{"", u"hello", 1}, {"", u"world", 2}}));
    SettingsBlocks blocks = fx.blocks();
    runSetCommand(blocks, u"set([-IME设置-],临时词功能开启=是)", InstallerLaunch{});
    fx.writeConfig();
}

}  // namespace zv::test
