// Records every style sheet the read and write buttons are given, with the
// time it happened, so that a test can check the order and spacing of the
// colours the watchdog and the reply handlers apply.
#ifndef STYLELOG_H
#define STYLELOG_H

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QVector>

class QWidget;

class StyleLog : public QObject
{
public:
    struct Change {
        qint64 ms;      // since the last restart()
        QString button; // object name
        QString style;
    };

    void watch(QWidget *button);
    // Forgets what was seen and starts the clock again.
    void restart();
    // Time of the first change of `button` to `style` at or after `fromMs`; -1 if none.
    qint64 firstChange(const QString &button, const QString &style, qint64 fromMs = 0) const;
    // Every style `button` was given, in order.
    QStringList stylesOf(const QString &button) const;

    QVector<Change> changes;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QElapsedTimer m_clock;
};

#endif // STYLELOG_H
