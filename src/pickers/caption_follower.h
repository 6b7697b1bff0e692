#pragma once
// A label that shows what an edit line names (an object's caption, a
// type's name). The lookup runs on the window's thread for every change of
// the text, once the events already waiting have been handled: keystrokes
// that arrive while a lookup waits for the store are looked up together, so
// a slow server costs one round trip per pause rather than per key. Errors
// of the lookup are reported where they happen.

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>

class QLabel;
class QLineEdit;

class CaptionFollower : public QObject {
    Q_OBJECT
public:
    using Lookup = std::function<QString(const QString &text)>;
    CaptionFollower(QLineEdit *edit, QLabel *label, Lookup lookup);

    // Looks up at once (the text as it stands).
    void update();

private:
    QPointer<QLineEdit> edit_;
    QPointer<QLabel> label_;
    Lookup lookup_;
    QTimer pending_;
};
