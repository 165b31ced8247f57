// Watches the program's message boxes: records each one's icon, title and text
// and dismisses it with OK as soon as its modal loop runs; a question gets
// `answer` (No unless a test says otherwise).
#ifndef BOXWATCHER_H
#define BOXWATCHER_H

#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QVector>

struct ShownBox {
    QMessageBox::Icon icon;
    QString title;
    QString text;
    int buttonCount;
    bool hasDefaultButton;
};

class BoxWatcher : public QObject
{
    Q_OBJECT
public:
    BoxWatcher();
    ~BoxWatcher() override;

    QVector<ShownBox> boxes;
    QMessageBox::StandardButton answer = QMessageBox::No;

private:
    void onAboutToShow(QMessageBox *box);
};

#endif // BOXWATCHER_H
