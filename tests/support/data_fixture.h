#pragma once
// A data folder built inside a test: config.dsc, main.dmg and whatever else
// the test writes, registered in an in-memory registry, and engines opened
// on it with a manual clock and recording services.

#include "engine/config_store.h"
#include "engine/engine_context.h"
#include "engine/table_image.h"
#include "platform/clock.h"
#include "platform/registry.h"
#include "tests/support/temp_dir.h"

#include <memory>
#include <string>
#include <vector>

namespace zv::test {

// Services that remember what the engine asked for.
class RecordingServices : public platform::Shell,
                          public platform::Dialogs,
                          public platform::Clipboard,
                          public platform::KeySender {
public:
    struct Run {
        std::u16string program, arguments;
        bool hidden = false;
    };
    std::vector<std::u16string> opened;
    std::vector<std::u16string> helpPages;  // "file::/page", as HTML Help is given them
    std::vector<Run> runs;
    std::vector<std::u16string> questions;  // caption, then text
    std::vector<std::u16string> messages;
    std::vector<platform::KeyEvent> keys;
    bool answer = true;
    std::u16string clipboard;

    bool open(std::u16string_view target) override;
    bool run(std::u16string_view program, std::u16string_view arguments, bool hidden) override;
    bool showHelp(std::u16string_view file, std::u16string_view page) override;
    bool confirm(std::u16string_view caption, std::u16string_view text) override;
    void inform(std::u16string_view caption, std::u16string_view text, platform::DialogIcon) override;
    std::u16string text() override { return clipboard; }
    void send(const std::vector<platform::KeyEvent>& events) override;
};

class DataFixture {
public:
    static constexpr std::u16string_view Name = u"{TEST-INSTANCE}";

    DataFixture();

    // Settings a test starts from: main and auxiliary schemes, letters as
    // code characters. Tests change fields through blocks().
    SettingsBlocks blocks();
    void writeConfig();
    void writeMain(std::vector<TableEntry> entries);
    void writeTemp();
    void writeFile(const std::string& name, const std::vector<uint8_t>& bytes);
    void registerInstance(std::u16string dataLocation);

    // Writes config.dsc (when changed) and opens an engine on the folder.
    std::unique_ptr<EngineContext> open();
    platform::Platform platform();

    TempDir dir;
    platform::MemoryRegistry registry;
    platform::ManualClock clock;
    RecordingServices services;
    std::vector<uint8_t> config;
};

}  // namespace zv::test
