#pragma once

#include <QStringView>

// What the operator is told about printing, in one place: the print job's checks and
// failures, and the runs over a booking's receipts.
namespace itinerary::printmessages {

inline constexpr QStringView NoRecordCode = u"请填写PNR";
inline constexpr QStringView NoCheckCode = u"请填写验证码!";
inline constexpr QStringView BadCheckCode = u"验证码不正确";
inline constexpr QStringView BadPosition = u"打印位置不正确";
inline constexpr QStringView NoPicture = u"打印服务没有返回图片，未打印";
inline constexpr QStringView NoPrinter = u"没有可用的默认打印机";
// For the journal only: the window closed between the request and the print.
inline constexpr QStringView DroppedAtClose = u"窗口关闭，未打印";
// A run's receipt found the job still busy with a print of its own.
inline constexpr QStringView JobBusy = u"上一张行程单还在打印，请稍后再试";
inline constexpr QStringView NoPreviewPicture = u"打印服务没有返回图片，无法预览";
inline constexpr QStringView NoCopyPicture = u"打印服务没有返回图片，未保存PDF";

} // namespace itinerary::printmessages
