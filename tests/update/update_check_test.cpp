// One check from the instance's values to the log, on a recorded session.
#include "installer/update/update_check.h"

#include "platform/registry.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace zv::installer {
namespace {

constexpr std::u16string_view kGuid = u"{6F3A8E21-5C4B-4D97-A1E0-2B7C9D4F8A63}";
constexpr std::u16string_view kSeparator = u"\r\n-----------------------------------------------------\r\n";

struct RecordedSession : UpdateSession {
    DownloadResult answer;
    bool yes = false;
    std::u16string log;
    std::vector<std::u16string> urls, questions, opened;
    int initFailures = 0;

    void append(std::u16string_view text) override { log += text; }
    void reportInitFailure() override { ++initFailures; }
    std::u16string adapterDigest() override { return u"d1"; }
    DownloadResult download(const std::u16string& url) override {
        urls.push_back(url);
        return answer;
    }
    bool askToDownload(std::u16string_view q) override {
        questions.emplace_back(q);
        return yes;
    }
    void openAddress(const std::u16string& a) override { opened.push_back(a); }
};

UpdateTarget target(std::u16string version = u"1.2.0.0") {
    return {std::u16string(kGuid), u"五笔", std::move(version), u"http://h/u.php?v={version}&g={guid}&m={macaddr}",
            u"C:\\data\\"};
}

DownloadResult ok(std::string body) { return {DownloadResult::Status, u"200", std::move(body)}; }

TEST(UpdateCheck, AnEqualVersionIsUpToDateAndOffersNothing) {
    RecordedSession s;
    s.answer = ok("<UpdateInfo><version>1.2</version><url>x</url><log>l</log></UpdateInfo>");
    runUpdateCheck(target(), u"C:\\tmp\\", s);
    ASSERT_EQ(1u, s.urls.size());
    EXPECT_EQ(u"http://h/u.php?v=1.2.0.0&g=6F3A8E215C4B4D97A1E02B7C9D4F8A63&m=d1", s.urls[0]);
    EXPECT_EQ(std::u16string(kSeparator) + u"\r\n您现在的程序是最新版本，无需更新。\r\n" + std::u16string(kSeparator), s.log);
    EXPECT_TRUE(s.questions.empty());
}

TEST(UpdateCheck, ANewerVersionIsShownAndItsAddressOpenedOnYes) {
    RecordedSession s;
    s.answer = ok("<UpdateInfo><version>1.3</version><url>example.test/setup.exe</url>"
                  "<log>修复[r]新增</log></UpdateInfo>");
    s.yes = true;
    runUpdateCheck(target(), u"C:\\tmp\\", s);
    EXPECT_NE(std::u16string::npos, s.log.find(u"服务器存在更新版本: 1.3.0.0\r\n"));
    EXPECT_NE(std::u16string::npos, s.log.find(u"更新内容如下: \r\n修复 \r\n新增\r\n"));
    EXPECT_NE(std::u16string::npos, s.log.find(u"下载地址: example.test/setup.exe\r\n"));
    ASSERT_EQ(1u, s.questions.size());
    EXPECT_EQ(u"发现新版 1.3.0.0 ，是否使用系统默认方式下载？\r\n单击“否”后，可以手动复制下载地址并下载程序。",
              s.questions[0]);
    EXPECT_EQ(std::vector<std::u16string>{u"http://example.test/setup.exe"}, s.opened);

    RecordedSession no;
    no.answer = s.answer;
    runUpdateCheck(target(), u"C:\\tmp\\", no);
    EXPECT_EQ(1u, no.questions.size());
    EXPECT_TRUE(no.opened.empty());
}

TEST(UpdateCheck, ServerMessagesAndFailuresEndTheCheckWithTheirText) {
    struct Case {
        DownloadResult answer;
        std::u16string_view shown;
    } cases[] = {
        {ok("<UpdateInfo><log>维护中\n明天再试</log></UpdateInfo>"), u"维护中\r\n明天再试"},
        {ok("<UpdateInfo><version>1.1</version><url>x</url></UpdateInfo>"), u"最新版本"},
        {{DownloadResult::Status, u"404", ""}, u"无法访问的URL，错误代码：404\r\n"},
        {{DownloadResult::NotOpened, u"12007", ""}, u"无法访问的URL，错误代码：12007\r\n"},
        {ok("<html>not found</html>"), u"服务器返回的更新信息无法识别。"},
        {{DownloadResult::TooLarge, u"200", ""}, u"服务器返回的更新信息无法识别。"},
    };
    for (const auto& c : cases) {
        RecordedSession s;
        s.answer = c.answer;
        s.yes = true;
        runUpdateCheck(target(), u"C:\\tmp\\", s);
        EXPECT_NE(std::u16string::npos, s.log.find(c.shown));
        EXPECT_TRUE(s.opened.empty());
        EXPECT_EQ(0, s.initFailures);
        // The log closes with the separator, ready for the next check.
        EXPECT_EQ(kSeparator, std::u16string_view(s.log).substr(s.log.size() - kSeparator.size()));
    }
}

TEST(UpdateCheck, NothingIsAskedWithoutTemplateTargetOrModule) {
    RecordedSession noTemplate;
    UpdateTarget t = target();
    t.urlTemplate.clear();
    runUpdateCheck(t, u"C:\\tmp\\", noTemplate);
    EXPECT_NE(std::u16string::npos, noTemplate.log.find(u"当前软件尚未支持更新功能。"));
    EXPECT_TRUE(noTemplate.urls.empty());

    RecordedSession noTarget;
    t = target();
    t.guid.clear();
    runUpdateCheck(t, u"", noTarget);
    EXPECT_EQ(u"未知的更新目标\r\n获取系统临时路径失败\r\n", noTarget.log);
    EXPECT_EQ(1, noTarget.initFailures);
    EXPECT_TRUE(noTarget.urls.empty());

    RecordedSession noModule;
    noModule.answer = {DownloadResult::NoModule, u"", ""};
    runUpdateCheck(target(), u"C:\\tmp\\", noModule);
    EXPECT_EQ(1, noModule.initFailures);
}

TEST(UpdateTarget, ComesFromTheInstanceKey) {
    platform::MemoryRegistry registry;
    const std::u16string key = u"Software\\ZorvanIME3\\" + std::u16string(kGuid);
    registry.writeString(platform::Hive::LocalMachine, key, u"URLUpdateInfo", u"http://h/{version}");
    registry.writeString(platform::Hive::LocalMachine, key, u"DisplayVersion", u"0.18");
    registry.writeString(platform::Hive::LocalMachine, key, u"DisplayName", u"五笔");
    UpdateTarget t = readUpdateTarget(registry, kGuid);
    EXPECT_EQ(u"http://h/{version}", t.urlTemplate);
    EXPECT_EQ(u"0.18", t.version);
    EXPECT_EQ(u"五笔", t.displayName);
    EXPECT_EQ(u"", t.dataFolder);
    EXPECT_EQ(u"", readUpdateTarget(registry, u"{00000000-0000-0000-0000-000000000000}").urlTemplate);
}

TEST(ProgressText, BytesBelowAKilobyteThenKilobytes) {
    EXPECT_EQ(u"1023 B", progressText(1023));
    EXPECT_EQ(u"1 KB", progressText(1024));
    EXPECT_EQ(u"65 KB", progressText(65 * 1024 + 1000));
}

}  // namespace
}  // namespace zv::installer
