#include "installer/update/update_check.h"

#include "installer/update/update_info.h"
#include "installer/update/update_request.h"
#include "installer/update/update_texts.h"

namespace zv::installer {
namespace {

constexpr uint64_t kKilobyte = 1024;
constexpr std::u16string_view kStatusOk = u"200";

std::u16string decimal(uint64_t v) {
    std::string s = std::to_string(v);
    return std::u16string(s.begin(), s.end());
}

std::u16string line(std::u16string_view text) {
    std::u16string out(text);
    if (out.size() < 2 || out.substr(out.size() - 2) != u"\r\n") out += u"\r\n";
    return out;
}

// Any line break as CR LF, which is all the edit field shows as one.
std::u16string editLineBreaks(std::u16string_view text) {
    std::u16string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' || text[i] == u'\n') {
            if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
            out += u"\r\n";
        } else {
            out += text[i];
        }
    }
    return out;
}

// Steps from the request on; returns when the check is over.
void askServer(const UpdateTarget& target, UpdateSession& session) {
    if (target.urlTemplate.empty() || target.urlTemplate.size() > MaxUrlTemplateUnits) {
        session.append(line(texts::NotSupported));
        return;
    }
    RequestValues values{target.version, target.guid, session.adapterDigest()};
    DownloadResult answer = session.download(expandUpdateUrl(target.urlTemplate, values));
    switch (answer.kind) {
    case DownloadResult::NoModule: session.reportInitFailure(); return;
    case DownloadResult::NotOpened: session.append(line(formatText(texts::UnreachableFormat, answer.status))); return;
    case DownloadResult::TooLarge: session.append(line(texts::UnreadableAnswer)); return;
    case DownloadResult::Status:
        if (answer.status != kStatusOk) {
            session.append(line(formatText(texts::UnreachableFormat, answer.status)));
            return;
        }
        break;
    }
    auto info = parseUpdateInfo(answer.body);
    if (!info) {
        session.append(line(texts::UnreadableAnswer));
        return;
    }
    if (!info->version || *info->version <= installedVersion(target.version)) {
        // Without a version the log is a message of the server's own.
        session.append(info->version ? std::u16string(texts::UpToDate) : editLineBreaks(info->log));
        return;
    }
    const std::u16string version = formatVersion(*info->version);
    session.append(line(formatText(texts::NewerFormat, version)));
    session.append(line(formatText(texts::ChangesFormat, displayedLog(info->log))));
    session.append(line(formatText(texts::AddressFormat, info->url)));
    // Without an address there is nothing to open.
    if (!info->url.empty() && session.askToDownload(formatText(texts::AskFormat, version)))
        session.openAddress(downloadAddress(info->url));
}

}  // namespace

UpdateTarget readUpdateTarget(platform::Registry& registry, std::u16string_view guid) {
    using platform::Hive;
    UpdateTarget t;
    t.guid = guid;
    if (guid.empty()) return t;
    const std::u16string key = std::u16string(InstanceKeyPrefix) + std::u16string(guid);
    auto read = [&](std::u16string_view name) {
        return registry.readString(Hive::LocalMachine, key, name).value_or(std::u16string());
    };
    t.urlTemplate = read(u"URLUpdateInfo");
    t.version = read(u"DisplayVersion");
    t.displayName = read(u"DisplayName");
    t.dataFolder = read(u"DataLocation");
    return t;
}

std::u16string formatText(std::u16string_view format, std::u16string_view value) {
    size_t at = format.find(u'%');
    while (at != std::u16string_view::npos && at + 1 < format.size() && format[at + 1] != u's' &&
           format[at + 1] != u'd')
        at = format.find(u'%', at + 1);
    if (at == std::u16string_view::npos || at + 1 >= format.size()) return std::u16string(format);
    std::u16string out(format.substr(0, at));
    out += value;
    out += format.substr(at + 2);
    return out;
}

void runUpdateCheck(const UpdateTarget& target, std::u16string_view tempFolder, UpdateSession& session) {
    bool ready = true;
    if (target.guid.empty()) {
        session.append(line(texts::UnknownTarget));
        ready = false;
    }
    if (tempFolder.empty()) {
        session.append(line(texts::NoTempFolder));
        ready = false;
    }
    if (!ready) {
        session.reportInitFailure();
        return;
    }
    session.append(texts::Separator);
    askServer(target, session);
    session.append(texts::Separator);
}

std::u16string progressText(uint64_t bytes) {
    if (bytes < kKilobyte) return formatText(texts::ProgressBytesFormat, decimal(bytes));
    return formatText(texts::ProgressKilobytesFormat, decimal(bytes / kKilobyte));
}

}  // namespace zv::installer
