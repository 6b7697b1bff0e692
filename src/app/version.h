#pragma once
// The program's version, as the menu and --version show it.

#include <QString>

inline const QString kVersion = QStringLiteral("1.07 (12.08.2009)");
