#pragma once
// Small helpers for building windows.

#include <QColor>
#include <QKeySequence>
#include <QString>
#include <functional>
#include <initializer_list>

class QAbstractButton;
class QAbstractItemView;
class QDialog;
class QHBoxLayout;
class QIcon;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class QWidget;

// A label with an object name, a text colour, a point size (0 keeps the
// font's own) and boldness.
QLabel *MakeLabel(QWidget *parent, const char *name, const QString &text, const QColor &color, int points,
                  bool bold);

// The OK/Cancel strip of a dialog: OK (the default button, accepts) and
// Cancel (rejects) at the right of the strip, with the given object names.
// Other controls go in front of them: layout->insertWidget(0, ...).
QHBoxLayout *MakeOkCancelStrip(QDialog *dialog, QWidget *strip, QPushButton *&ok, QPushButton *&cancel,
                               const char *okName = "OKBtn", const char *cancelName = "CancelBtn");

// A flat tool button with an object name, a picture and a hint.
QToolButton *MakeToolButton(QWidget *parent, const char *name, const QIcon &icon, const QString &hint);

// The widget, given an object name.
template <class W>
W *Named(W *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// Sets the background of an edit line's text.
void SetEditBase(QLineEdit *edit, const QColor &colour);

// Keys that click the button while it is shown and enabled in the active
// window. The button's hint stays as it is (README lists the keys).
void SetShortcutKeys(QAbstractButton *button, std::initializer_list<QKeySequence> keys);

// A double click on a row of the view, or Enter while the view has a current
// row, calls choose for that row (made current first). Enter goes no further,
// also when choose does not take the row: a row that cannot be chosen does
// not press the window's default button either.
void ChooseRowsOf(QAbstractItemView *view, std::function<void()> choose);
