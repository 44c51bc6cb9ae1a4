// Writes the help file's generated pages from the engine itself: the
// settings reference from the option writers applied to the shipped
// settings, and the key table from the shipped key functions, so that the
// pages name exactly the options and keys the input method understands.
//
//   helppages OUTPUT_FOLDER   writes settings.html and keyboardmap.html there
#include "engine/config_store.h"
#include "engine/default_store.h"
#include "engine/settings_text.h"
#include "platform/utf.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::string html(std::u16string_view text) {
    std::string out;
    for (char c : zv::utf16ToUtf8(text)) {
        switch (c) {
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '&': out += "&amp;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

std::vector<std::u16string_view> lines(std::u16string_view text) {
    std::vector<std::u16string_view> out;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find(u"\r\n", at);
        if (end == std::u16string_view::npos) end = text.size();
        out.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return out;
}

const char* kHead =
    "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"
    "<title>%s</title><link rel=\"stylesheet\" href=\"help.css\"></head><body>\n";

std::string head(const std::string& title) {
    std::string h = kHead;
    return h.replace(h.find("%s"), 2, title) + "<h1>" + title + "</h1>\n";
}

// The sections of the settings text that the reference shows, with what
// each is for.
struct ShownSection {
    std::u16string_view header;
    const char* about;
};
constexpr ShownSection kSections[] = {
    {u"[-IME设置-]", "输入法的整体行为：编码窗口、候选窗口、临时词、联想、检索范围、候选排序与词频。"},
    {u"[-DME设置-]", "编码的处理：逐码提示、自动上屏与清除的码长、万能键与各引导字符。"},
    {u"[-SKIN设置-]", "界面外观：序号、提示与按钮是否可见，皮肤文件，窗口布局与光标。"},
};

// Option lines of a section with the comments written just above them.
std::string optionTable(const std::vector<std::u16string_view>& sectionLines) {
    std::string out = "<table><tr><th>设置项</th><th>出厂值</th><th>说明</th></tr>\n";
    std::u16string notes;
    for (auto line : sectionLines) {
        if (line.empty()) continue;
        if (line.substr(0, 2) == u"//") {
            if (!notes.empty()) notes += u"\n";
            notes += line.substr(2);
            continue;
        }
        size_t eq = line.find(u'=');
        if (eq == std::u16string_view::npos) continue;
        std::u16string_view value = line.substr(eq + 1);
        // A yes/no option has no comment of its own in the settings text.
        if (notes.empty() && (value == u"是" || value == u"否")) notes = u"可选：“是”或“否”";
        std::string note = html(notes);
        for (size_t p; (p = note.find('\n')) != std::string::npos;) note.replace(p, 1, "<br>");
        out += "<tr><td>" + html(line.substr(0, eq)) + "</td><td>" + html(line.substr(eq + 1)) + "</td><td>" + note +
               "</td></tr>\n";
        notes.clear();
    }
    return out + "</table>\n";
}

bool write(const std::string& path, const std::string& text) {
    std::ofstream f(path, std::ios::binary);
    f << text;
    return static_cast<bool>(f);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: helppages OUTPUT_FOLDER\n");
        return 2;
    }
    std::vector<uint8_t> store = zv::shippedConfigStore();
    zv::SettingsBlocks blocks = zv::findBlocks(store.data(), static_cast<uint32_t>(store.size()));
    const std::u16string text = zv::writeSettingsText(blocks);
    const auto all = lines(text);
    auto section = [&](std::u16string_view header) {
        std::vector<std::u16string_view> out;
        bool inside = false;
        for (auto line : all) {
            if (line.substr(0, 2) == u"[-") {
                inside = line == header;
                continue;
            }
            if (inside) out.push_back(line);
        }
        return out;
    };

    std::string settings = head("设置参考");
    settings += "<p>以下各项即设置文本（配置程序“高级设置模式”、导出与导入的文本）中的设置项，"
                "出厂值为安装后的初始值。是否类设置写“是”或“否”。输入时也可用 "
                "<code>set(节,设置项=值)</code> 命令更改其中一项，立即生效并保存。</p>\n";
    for (const auto& s : kSections) {
        auto options = section(s.header);
        if (options.empty()) {
            std::fprintf(stderr, "helppages: the settings text has no section %s\n", zv::utf16ToUtf8(s.header).c_str());
            return 1;
        }
        settings += "<h2>" + html(s.header) + "</h2>\n<p>" + s.about + "</p>\n" + optionTable(options);
    }
    settings += "<p><a href=\"index.html\">返回首页</a></p></body></html>\n";

    std::string keys = head("按键功能");
    keys += "<p>出厂设置中按键与功能的对应。可在配置程序的“按键设置”中修改，或在设置文本的 "
            "[-按键功能-] 节中以“键名=功能”写出。</p>\n<table><tr><th>按键</th><th>功能</th></tr>\n";
    int bound = 0;
    for (auto line : section(u"[-按键功能-]")) {
        size_t eq = line.find(u'=');
        if (line.empty() || line.substr(0, 2) == u"//" || eq == std::u16string_view::npos) continue;
        std::u16string key(line.substr(0, eq));
        if (key == u" ") key = u"空格";
        keys += "<tr><td>" + html(key) + "</td><td>" + html(line.substr(eq + 1)) + "</td></tr>\n";
        ++bound;
    }
    if (bound == 0) {
        std::fprintf(stderr, "helppages: the shipped settings bind no key\n");
        return 1;
    }
    keys += "</table>\n<p><a href=\"index.html\">返回首页</a></p></body></html>\n";

    const std::string folder = argv[1];
    if (!write(folder + "/settings.html", settings) || !write(folder + "/keyboardmap.html", keys)) {
        std::fprintf(stderr, "helppages: cannot write into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
