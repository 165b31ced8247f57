// The one place that asks the user for a configuration file's path, with the
// program's own file dialog. A test can watch aboutToShow to pick a file and
// accept the dialog; users see the plain dialog.
#ifndef FILECHOOSER_H
#define FILECHOOSER_H

#include <QObject>
#include <QString>
#include <QStringList>

class QFileDialog;
class QWidget;

class FileChooser : public QObject
{
    Q_OBJECT
public:
    static FileChooser *instance();

    // The chosen path, or an empty string when the user cancels. filter is a
    // name filter such as "Files (*.tovrin.json)".
    static QString saveFileName(QWidget *parent, const QString &caption, const QString &filter);
    // places: folders the dialog's sidebar shows beside its own.
    static QString openFileName(QWidget *parent, const QString &caption, const QString &filter,
                                const QStringList &places = {});

signals:
    // Emitted just before the dialog runs its modal loop.
    void aboutToShow(QFileDialog *dialog);

private:
    using QObject::QObject;
    static QString ask(QWidget *parent, const QString &caption, const QString &filter, bool save,
                       const QStringList &places = {});
};

#endif // FILECHOOSER_H
