#include "engine/folder_share.h"

#include <algorithm>

namespace zv {

namespace {
// The shares alive in this process, by folder. A share lives while an
// engine holds it; the list only finds them.
struct ShareList {
    std::mutex lock;
    std::vector<std::weak_ptr<FolderShare>> shares;
};
ShareList& shareList() {
    // Kept until the process ends: an engine library is unloaded only
    // after its last engine closed.
    static ShareList* list = new ShareList;
    return *list;
}
}  // namespace

std::shared_ptr<FolderShare> shareFolder(std::u16string_view folder) {
    ShareList& list = shareList();
    std::lock_guard<std::mutex> hold(list.lock);
    std::erase_if(list.shares, [](const std::weak_ptr<FolderShare>& w) { return w.expired(); });
    for (const auto& w : list.shares) {
        if (auto share = w.lock(); share && share->folder == folder) return share;
    }
    auto share = std::make_shared<FolderShare>();
    share->folder.assign(folder);
    list.shares.push_back(share);
    return share;
}

}  // namespace zv
