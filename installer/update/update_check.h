#pragma once
// One press of "检查更新": ask the server, read its answer, report in the
// log and offer the download. The window, the download and the shell are
// the session's, so that the same steps run in the dialog and in tests.

#include "platform/registry.h"

#include <string>
#include <string_view>

namespace zv::installer {

// What the instance key "Software\ZorvanIME3\<guid>" tells about the
// installed instance.
struct UpdateTarget {
    std::u16string guid;
    std::u16string displayName;
    std::u16string version;      // "DisplayVersion"
    std::u16string urlTemplate;  // "URLUpdateInfo"
    std::u16string dataFolder;   // "DataLocation"
};

inline constexpr std::u16string_view InstanceKeyPrefix = u"Software\\ZorvanIME3\\";
// The template is a registry text of at most this many characters; a longer
// one is not the installer's and is not used.
inline constexpr size_t MaxUrlTemplateUnits = 512;

// The values under HKEY_LOCAL_MACHINE; missing values stay empty.
UpdateTarget readUpdateTarget(platform::Registry& registry, std::u16string_view guid);

// The first "%s" or "%d" of a format replaced by a value.
std::u16string formatText(std::u16string_view format, std::u16string_view value);

struct DownloadResult {
    enum Kind {
        NoModule,    // the internet functions could not start
        NotOpened,   // the address could not be opened; `status` holds the error number
        Status,      // the server answered; `status` holds its status code
        TooLarge,    // the answer went on beyond MaxUpdateInfoBytes
    } kind = NoModule;
    std::u16string status;
    std::string body;  // the answer as stored in update_list.txt
};

class UpdateSession {
public:
    virtual ~UpdateSession() = default;
    virtual void append(std::u16string_view text) = 0;
    // The "初始化更新模块发生错误" box.
    virtual void reportInitFailure() = 0;
    virtual std::u16string adapterDigest() = 0;
    // Replaces update_list.txt in the temporary folder with the answer.
    virtual DownloadResult download(const std::u16string& url) = 0;
    // The "更新提示" question; true for Yes.
    virtual bool askToDownload(std::u16string_view question) = 0;
    virtual void openAddress(const std::u16string& address) = 0;
};

// The steps after the button was disabled; `tempFolder` is empty when the
// system named none.
void runUpdateCheck(const UpdateTarget& target, std::u16string_view tempFolder, UpdateSession& session);

// The progress text for the bytes received so far.
std::u16string progressText(uint64_t bytes);

}  // namespace zv::installer
