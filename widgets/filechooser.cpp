#include "filechooser.h"

#include <QFileDialog>
#include <QFileIconProvider>
#include <QMimeDatabase>
#include <QUrl>

namespace
{

// Icons and type names from a file's name alone. Qt's own provider reads the
// first bytes of files to tell their type, and a read from a FIFO or a
// terminal in the folder shown would never return.
class NameOnlyIconProvider : public QFileIconProvider
{
public:
    QIcon icon(const QFileInfo &info) const override
    {
        return QFileIconProvider::icon(info.isDir() ? Folder : File);
    }
    QString type(const QFileInfo &info) const override
    {
        if (info.isDir())
            return QFileIconProvider::type(info);
        return QMimeDatabase().mimeTypeForFile(info, QMimeDatabase::MatchExtension).comment();
    }
    using QFileIconProvider::icon;
};

} // namespace

FileChooser *FileChooser::instance()
{
    static FileChooser chooser;
    return &chooser;
}

QString FileChooser::saveFileName(QWidget *parent, const QString &caption, const QString &filter)
{
    return ask(parent, caption, filter, true);
}

QString FileChooser::openFileName(QWidget *parent, const QString &caption, const QString &filter,
                                  const QStringList &places)
{
    return ask(parent, caption, filter, false, places);
}

// The dialog QFileDialog::getSaveFileName/getOpenFileName would show (the
// platform's own where it has one), built here so that it can be watched.
QString FileChooser::ask(QWidget *parent, const QString &caption, const QString &filter, bool save,
                         const QStringList &places)
{
    NameOnlyIconProvider icons;
    QFileDialog dialog(parent, caption, QString(), filter);
    dialog.setIconProvider(&icons);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!places.isEmpty()) {
        QList<QUrl> sidebar = dialog.sidebarUrls();
        for (const QString &place : places)
            sidebar.append(QUrl::fromLocalFile(place));
        dialog.setSidebarUrls(sidebar);
    }
    emit instance()->aboutToShow(&dialog);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}
