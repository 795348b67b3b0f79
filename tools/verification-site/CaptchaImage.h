#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

namespace itinerary::site {

inline constexpr int CaptchaLength = 4;
inline constexpr QSize CaptchaSize{72, 24};

// A code the site accepts in "randCode": four upper-case letters and digits.
bool isCaptchaCode(const QString &code);

// A random code; letters and digits that people confuse (0 O 1 I) are left out.
QString randomCaptchaCode();

// The captcha picture showing `code`, PNG encoded. The same code always gives the same
// bytes (the distortion is seeded from the code), so a test can tell which code a served
// picture shows. Needs a QGuiApplication (fonts).
QByteArray captchaPng(const QString &code);

} // namespace itinerary::site
