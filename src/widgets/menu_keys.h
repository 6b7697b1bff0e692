#pragma once
// The menu bar from the keyboard, as on other desktops: F10 opens the first
// menu, and so does Alt pressed and let go alone. Alt with a menu's underlined letter opens that menu
// through the menu bar's own mnemonics ("&" in the title).

class QMenuBar;

void ReachMenuBarByKeyboard(QMenuBar *bar);
