#pragma once
// A text as a sheet cell can hold it. A cell holds at most 32,767
// characters, and its XML no character that XML cannot carry (NUL and the
// other control characters but tab, line feed and carriage return, lone
// surrogates, U+FFFE and U+FFFF). A text like "_x0041_" would be read back as
// the character it names: its "_" is written as "_x005F_", which readers
// show as "_".

#include <QString>

// The longest text a cell holds.
constexpr int kCellTextMax = 32767;

// The text a cell gets: characters XML cannot carry replaced by "?", cut
// to kCellTextMax characters as readers show it, "_xHHHH_" escaped. changed
// is set when what readers will show differs from the text given.
QString SheetText(const QString &text, bool *changed);
