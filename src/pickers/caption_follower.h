#pragma once
// A label that shows what an edit line names (an object's caption, a
// type's name). The lookup runs for every change of the text, once the
// events already waiting have been handled: keystrokes that arrive while a
// lookup waits for the store are looked up together, so a slow server costs
// one round trip per pause rather than per key. While another call to the
// store is waited for, the lookup waits its turn. An error of the lookup is
// reported once, not again for every key while it stays the same.

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
    static constexpr int kRetryMs = 100;

private:
    QPointer<QLineEdit> edit_;
    QPointer<QLabel> label_;
    Lookup lookup_;
    QTimer pending_;
    QString lastError_;
};
