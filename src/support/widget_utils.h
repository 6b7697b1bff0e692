#pragma once
// Small helpers for building windows.

#include <QColor>
#include <QString>

class QLabel;
class QWidget;

// A label with an object name, a text colour, a point size (0 keeps the
// font's own) and boldness.
QLabel *MakeLabel(QWidget *parent, const char *name, const QString &text, const QColor &color, int points,
                  bool bold);
