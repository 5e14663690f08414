#pragma once

#include <QString>

// The texts of the Help menu and the About box.
namespace HelpTexts {

// The maker's home page.
inline const QString WebAddress = QStringLiteral("http://www.moonferry.example/");

// The tips page: 21 lines joined by carriage return and line feed.
QString tips();

QString aboutDescription();

// What Auto-Dump mode does and how to leave it.
QString autoDumpExplanation();

// Two lines of copyright notice and the web address.
QString disclaimer();

} // namespace HelpTexts
