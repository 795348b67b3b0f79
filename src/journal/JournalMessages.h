#pragma once

#include <QStringView>

// What the operator is told about the print journal, in one place. "%1" is filled in.
namespace itinerary::journalmessages {

// Rows wait in the outbox on this computer; followed by the reason.
inline constexpr QStringView KeptLocally = u"打印记录暂存本机：";
// Why, then how many rows wait in memory.
inline constexpr QStringView NotKept =
    u"打印记录无法保存：%1\n%2 条记录暂存在内存中，每次打印和关闭程序时会再试保存";
// How many rows, then why: the window is being closed while they wait in memory.
inline constexpr QStringView LostAtClose = u"仍有 %1 "
                                           u"条打印记录无法保存（%"
                                           u"2），关闭程序将丢失这些记录。\n请排除问题（如腾出磁盘"
                                           u"空间）后再关闭；再次关闭则放弃这些记录。";
inline constexpr QStringView CannotOpen = u"打印记录无法打开：%1";
inline constexpr QStringView CannotRead = u"打印记录无法读取：%1";
inline constexpr QStringView NoRowSelected = u"请先选择一条记录";
inline constexpr QStringView NoVoidReason = u"请填写作废原因";
inline constexpr QStringView VoidFailed = u"作废没有完成：%1";
// The file, then why.
inline constexpr QStringView ExportFailed = u"导出没有完成：%1（%2）";
// How many rows, then the file.
inline constexpr QStringView Exported = u"已导出 %1 条记录：%2";

} // namespace itinerary::journalmessages
