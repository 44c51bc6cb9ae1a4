#include "tests/support/data_fixture.h"

#include "engine/data_files.h"

namespace zv::test {

bool RecordingServices::open(std::u16string_view target) {
    opened.emplace_back(target);
    return true;
}

bool RecordingServices::run(std::u16string_view program, std::u16string_view arguments, bool hidden) {
    runs.push_back({std::u16string(program), std::u16string(arguments), hidden});
    return true;
}

bool RecordingServices::showHelp(std::u16string_view file, std::u16string_view page) {
    helpPages.push_back(std::u16string(file) + u"::/" + std::u16string(page));
    return true;
}

bool RecordingServices::confirm(std::u16string_view caption, std::u16string_view text) {
    questions.emplace_back(caption);
    questions.emplace_back(text);
    return answer;
}

void RecordingServices::inform(std::u16string_view caption, std::u16string_view text, platform::DialogIcon) {
    messages.emplace_back(caption);
    messages.emplace_back(text);
}

void RecordingServices::send(const std::vector<platform::KeyEvent>& events) {
    keys.insert(keys.end(), events.begin(), events.end());
}

DataFixture::DataFixture() : config(newConfigStore()) {
    SettingsBlocks b = blocks();
    b.ime.setU32(ImeSettings::OptionA, ImeSettings::A_MainTable | ImeSettings::A_AuxTable);
    for (int c = 'a'; c <= 'z'; ++c)
        b.dme.setU8(DmeSettings::Classes + c, DmeSettings::ClassCode | DmeSettings::ClassCodeOrFunction);
    registerInstance(dir.folder());
    writeMain({});
}

SettingsBlocks DataFixture::blocks() { return findBlocks(config.data(), static_cast<uint32_t>(config.size())); }

void DataFixture::writeConfig() { dir.write("config.dsc", config); }

void DataFixture::writeMain(std::vector<TableEntry> entries) {
    dir.write("main.dmg", buildCodeTableImage(std::move(entries)));
}

void DataFixture::writeTemp() { dir.write("temp.dmg", buildEmptyTempImage()); }

void DataFixture::writeFile(const std::string& name, const std::vector<uint8_t>& bytes) { dir.write(name, bytes); }

void DataFixture::registerInstance(std::u16string dataLocation) {
    std::u16string key = instanceKey(Name);
    registry.writeString(platform::Hive::LocalMachine, key, u"IMEName", Name);
    registry.writeString(platform::Hive::LocalMachine, key, u"InstallLocation", dir.folder() + u"install");
    registry.writeString(platform::Hive::LocalMachine, key, u"DataLocation", dataLocation);
}

platform::Platform DataFixture::platform() {
    platform::Platform p;
    p.registry = &registry;
    p.clock = &clock;
    p.shell = &services;
    p.dialogs = &services;
    p.clipboard = &services;
    p.keys = &services;
    return p;
}

std::unique_ptr<EngineContext> DataFixture::open() {
    writeConfig();
    auto ctx = std::make_unique<EngineContext>();
    ctx->platform = platform();
    if (!openData(*ctx, Name)) return nullptr;
    return ctx;
}

}  // namespace zv::test
