#include "filechooser.h"

#include <QFileDialog>

FileChooser *FileChooser::instance()
{
    static FileChooser chooser;
    return &chooser;
}

QString FileChooser::saveFileName(QWidget *parent, const QString &caption, const QString &filter)
{
    return ask(parent, caption, filter, true);
}

QString FileChooser::openFileName(QWidget *parent, const QString &caption, const QString &filter)
{
    return ask(parent, caption, filter, false);
}

// The dialog QFileDialog::getSaveFileName/getOpenFileName would show (the
// platform's own where it has one), built here so that it can be watched.
QString FileChooser::ask(QWidget *parent, const QString &caption, const QString &filter, bool save)
{
    QFileDialog dialog(parent, caption, QString(), filter);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    emit instance()->aboutToShow(&dialog);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}
