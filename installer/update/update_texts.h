#pragma once
// The update program's own texts, in one place so that the dialog and the
// check say exactly the same things.

#include <string_view>

namespace zv::installer::texts {

inline constexpr std::u16string_view ProgramTitle = u"更新程序";
inline constexpr std::u16string_view DialogTitleFormat = u"%s - 更新程序";  // display name
inline constexpr std::u16string_view WelcomeFormat = u"欢迎使用 %s 更新程序";
inline constexpr std::u16string_view OpeningFormat =
    u"您当前的程序版本为: %s\r\n\r\n您可以单击“检查更新”按钮，检查是否存在新版程序。\r\n";
inline constexpr std::u16string_view CheckButton = u"检查更新(&U)";
inline constexpr std::u16string_view CannotCancel = u"无法取消操作，请等待更新完成。";
inline constexpr std::u16string_view UnknownTarget = u"未知的更新目标";
inline constexpr std::u16string_view NoTempFolder = u"获取系统临时路径失败";
inline constexpr std::u16string_view InitFailed = u"初始化更新模块发生错误";
inline constexpr std::u16string_view Separator = u"\r\n-----------------------------------------------------\r\n";
inline constexpr std::u16string_view NotSupported = u"当前软件尚未支持更新功能。";
inline constexpr std::u16string_view UnreachableFormat = u"无法访问的URL，错误代码：%s";
inline constexpr std::u16string_view UpToDate = u"\r\n您现在的程序是最新版本，无需更新。\r\n";
inline constexpr std::u16string_view NewerFormat = u"服务器存在更新版本: %s";
inline constexpr std::u16string_view ChangesFormat = u"更新内容如下: \r\n%s";
inline constexpr std::u16string_view AddressFormat = u"下载地址: %s";
inline constexpr std::u16string_view AskTitle = u"更新提示";
inline constexpr std::u16string_view AskFormat =
    u"发现新版 %s ，是否使用系统默认方式下载？\r\n单击“否”后，可以手动复制下载地址并下载程序。";
// Our own: an answer that is not an update list changes nothing and says so.
inline constexpr std::u16string_view UnreadableAnswer = u"服务器返回的更新信息无法识别。";
inline constexpr std::u16string_view ProgressBytesFormat = u"%d B";
inline constexpr std::u16string_view ProgressKilobytesFormat = u"%d KB";

}  // namespace zv::installer::texts
