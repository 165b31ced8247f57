// Reads and clicks the main window's widgets by object name, for the fixtures
// that drive a window over a real link.
#ifndef WINDOWPROBE_H
#define WINDOWPROBE_H

#include "childwidget.h"
#include "mainwidget.h"
#include "messageform.h"
#include "moduleworkflow.h"
#include "windowlookup.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace WindowProbe
{

// No snapshot before writes: for tests of a write's own exchange on a link
// where nothing was read, which the snapshot's read would otherwise precede.
inline void takeNoSnapshots(QWidget *window)
{
    window->findChild<ModuleWorkflow *>()->setHistory(QString());
}

inline QString status(MainWidget *w)
{
    return child<QLabel>(w, "lblStatus")->text();
}

inline QString readStyle(MainWidget *w)
{
    return child<QPushButton>(w, "cbAllDownload")->styleSheet();
}

inline QString writeStyle(MainWidget *w)
{
    return child<QPushButton>(w, "cbAllSet")->styleSheet();
}

inline QString versionText(MainWidget *w)
{
    return child<QAbstractButton>(w, "tbtnVersion")->text();
}

// A button of the window, or of its confirmation dialog.
inline void click(MainWidget *w, const char *name)
{
    QTest::mouseClick(child<QAbstractButton>(w, name), Qt::LeftButton);
}

inline void clickInDialog(MainWidget *w, const char *name)
{
    QTest::mouseClick(child<QAbstractButton>(WindowLookup::dialog(w), name), Qt::LeftButton);
}

} // namespace WindowProbe

#endif // WINDOWPROBE_H
