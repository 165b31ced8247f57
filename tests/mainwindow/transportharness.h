// Shared pieces of the window's transport and send-path tests: a main window
// built offscreen with extra serial devices, the controls a user clicks, and
// the far ends of its links (tests/support/linkpeers.h).
#ifndef TRANSPORTHARNESS_H
#define TRANSPORTHARNESS_H

#include "linkpeers.h"
#include "mainwidget.h"
#include "windowlookup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace Harness
{

using namespace LinkPeers;

inline QStringList comboItems(QWidget *window)
{
    auto *cb = child<QComboBox>(window, "cbSerial");
    QStringList items;
    for (int i = 0; i < cb->count(); ++i)
        items.append(cb->itemText(i));
    return items;
}

inline std::unique_ptr<MainWidget> makeWindow(const QStringList &extraPorts)
{
    MainWidget::setExtraSerialPorts(extraPorts);
    auto window = std::make_unique<MainWidget>();
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        qWarning("main window not exposed");
    return window;
}

// Selects the port with the given display name; false when it is not listed.
inline bool choosePort(MainWidget *window, const QString &displayName)
{
    auto *cb = child<QComboBox>(window, "cbSerial");
    const int index = cb->findText(displayName);
    if (index < 0)
        return false;
    cb->setCurrentIndex(index);
    return true;
}

inline void clickOpenButton(MainWidget *window)
{
    QTest::mouseClick(child<QPushButton>(window, "btnOpenSerialPort"), Qt::LeftButton);
}

// A click on a push button of the window, by its object name.
inline void clickButton(MainWidget *window, const char *name)
{
    QTest::mouseClick(child<QPushButton>(window, name), Qt::LeftButton);
}

inline void chooseR7Mode(MainWidget *window)
{
    child<QRadioButton>(window, "rb_R7FuncMode")->click();
}

// Ticks pass-through and, if asked, the ground-station transport, as a user would.
inline void choosePassThrough(MainWidget *window, bool groundStation)
{
    child<QCheckBox>(window, "chb_ConfigByFCS")->click();
    if (groundStation)
        child<QCheckBox>(window, "chb_DLSpace")->click();
}

inline QString statusText(MainWidget *window)
{
    return child<QLabel>(window, "lblStatus")->text();
}

inline QString openButtonStyle(const char *prefix)
{
    return QStringLiteral(
               "QPushButton{border-image: url(:/image/resource/%1-load-normal.png);}\n"
               "QPushButton:hover{border-image: url(:/image/resource/%1-load-hover.png);}\n"
               "QPushButton:pressed{border-image: url(:/image/resource/%1-load-select.png);}")
        .arg(QLatin1String(prefix));
}

} // namespace Harness

#endif // TRANSPORTHARNESS_H
