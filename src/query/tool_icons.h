#pragma once
// The pictures of the SQL tool strip, drawn by the program.

#include <QIcon>

namespace ToolIcons {
QIcon clear();    // an eraser over a sheet
QIcon generate(); // a sheet with a lightning bolt
QIcon run();      // a green triangle
QIcon copy();     // two sheets with an arrow out
QIcon paste();    // a clipboard
QIcon save();     // a diskette
QIcon open();     // an open folder
} // namespace ToolIcons
