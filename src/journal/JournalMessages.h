#pragma once

#include <QStringView>

// What the operator is told about the print journal, in one place. "%1" is filled in.
namespace itinerary::journalmessages {

// Rows wait in the outbox on this computer; followed by the reason.
inline constexpr QStringView KeptLocally = u"打印记录暂存本机：";
inline constexpr QStringView NotKept = u"打印记录无法保存：%1";
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
