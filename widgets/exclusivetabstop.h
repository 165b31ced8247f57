// Makes Tab stop on the checked one of a set of exclusive choices, and on
// none of the others (arrow keys move between them): one stop per set, that
// is still there however the choice was made, by the user or by the program.
#ifndef EXCLUSIVETABSTOP_H
#define EXCLUSIVETABSTOP_H

#include <QList>
#include <QObject>

class QAbstractButton;

class ExclusiveTabStop : public QObject
{
    Q_OBJECT
public:
    // The buttons' parent owns the object.
    static void watch(const QList<QAbstractButton *> &buttons);

private:
    explicit ExclusiveTabStop(const QList<QAbstractButton *> &buttons);
    void update();

    QList<QAbstractButton *> buttons;
};

#endif // EXCLUSIVETABSTOP_H
