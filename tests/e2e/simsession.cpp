#include "simsession.h"

#include "mainwidget.h"
#include "messageform.h"
#include "portconfig.h"
#include "simprocess.h"
#include "simstatefile.h"
#include "windowprobe.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>

#include <csignal>

SimSession::SimSession() = default;

SimSession::~SimSession()
{
    // The window goes first so that its port is closed before the pty vanishes.
    m_window.reset();
    m_sim.reset();
}

bool SimSession::startSimulator(const QStringList &simArgs, const QByteArrayList &records)
{
    if (!m_dir.isValid())
        return false;
    ++m_runs;
    m_statePath = m_dir.filePath(QStringLiteral("state%1.txt").arg(m_runs));
    QStringList args = simArgs;
    args << QStringLiteral("--state") << m_statePath;
    if (!records.isEmpty()) {
        const QString recordsPath = m_dir.filePath(QStringLiteral("records%1.txt").arg(m_runs));
        if (!SimStateFile::write(recordsPath, records))
            return false;
        args << QStringLiteral("--records") << recordsPath;
    }
    args << (m_route == Route::GroundStation ? QStringLiteral("--udp") : QStringLiteral("--pty"));
    m_sim = std::make_unique<SimProcess>();
    return m_sim->start(args);
}

bool SimSession::start(Route route, const QStringList &simArgs, bool r7Window,
                          const QByteArrayList &records)
{
    m_route = route;
    if (!startSimulator(simArgs, records))
        return false;
    MainWidget::setExtraSerialPorts(route == Route::GroundStation ? QStringList()
                                                                  : QStringList{ptyPath()});
    m_window = std::make_unique<MainWidget>();
    m_window->show();
    if (!QTest::qWaitForWindowExposed(m_window.get(), WaitMs))
        return false;
    if (r7Window)
        WindowProbe::click(window(), "rb_R7FuncMode");
    if (route != Route::Direct)
        WindowProbe::click(window(), "chb_ConfigByFCS");
    if (route == Route::GroundStation)
        WindowProbe::click(window(), "chb_DLSpace");
    styles.watch(child<QPushButton>(window(), "cbAllDownload"));
    styles.watch(child<QPushButton>(window(), "cbAllSet"));
    return route == Route::GroundStation ||
           child<QComboBox>(window(), "cbSerial")->currentText() == ptyPath();
}

bool SimSession::restartSimulator(const QStringList &simArgs, const QByteArrayList &records)
{
    if (WindowLookup::linkOpen(m_window.get()) || m_route == Route::GroundStation)
        return false;
    m_sim.reset();
    if (!startSimulator(simArgs, records))
        return false;
    MainWidget::setExtraSerialPorts({ptyPath()});
    WindowProbe::click(window(), "btnSearchSerialPort");
    auto *list = child<QComboBox>(window(), "cbSerial");
    const int index = list->findText(ptyPath());
    if (index < 0)
        return false;
    list->setCurrentIndex(index);
    return true;
}

bool SimSession::stopSimulator()
{
    return m_sim->stop(SIGTERM);
}

void SimSession::signalSimulator(int signalNumber)
{
    m_sim->signal(signalNumber);
}

void SimSession::destroyWindow()
{
    m_window.reset();
}

QString SimSession::ptyPath() const
{
    return m_sim ? m_sim->ptyPath() : QString();
}

void SimSession::clickOpen()
{
    WindowProbe::click(window(), "btnOpenSerialPort");
}

void SimSession::clickRead()
{
    WindowProbe::click(window(), "cbAllDownload");
}

void SimSession::clickWrite()
{
    WindowProbe::click(window(), "cbAllSet");
}

void SimSession::clickOk()
{
    WindowProbe::clickInDialog(window(), "btnOk");
}

void SimSession::clickCancel()
{
    WindowProbe::clickInDialog(window(), "btnCancle");
}

void SimSession::clickDialogClose()
{
    WindowProbe::clickInDialog(window(), "btnClose");
}

bool SimSession::dialogVisible() const
{
    return WindowLookup::dialog(m_window.get())->isVisible();
}

QString SimSession::status() const
{
    return WindowProbe::status(window());
}

QString SimSession::readStyle() const
{
    return WindowProbe::readStyle(window());
}

QString SimSession::writeStyle() const
{
    return WindowProbe::writeStyle(window());
}

QString SimSession::versionText() const
{
    return WindowProbe::versionText(window());
}

PortConfig *SimSession::card(int i) const
{
    return WindowLookup::card(m_window.get(), i);
}

QByteArrayList SimSession::cardRecords() const
{
    QByteArrayList records;
    for (int i = 0; i < WindowLookup::portCount(window()); ++i)
        records.append(card(i)->getPortParam());
    return records;
}

QStringList SimSession::simLog()
{
    // Take in what the simulator has written so far, even if the event loop
    // has not yet had the chance to.
    m_sim->process().waitForReadyRead(0);
    return m_sim->log().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QByteArrayList SimSession::received()
{
    // "tovrin-sim: serial rx AB 0E ...  MSG_NAME"
    static const QRegularExpression rx(QStringLiteral("^tovrin-sim: \\w+ rx ([0-9A-F ]+?)  "));
    QByteArrayList frames;
    for (const QString &line : simLog()) {
        const QRegularExpressionMatch m = rx.match(line);
        if (m.hasMatch())
            frames.append(QByteArray::fromHex(m.captured(1).toLatin1()));
    }
    return frames;
}

QByteArrayList SimSession::stored() const
{
    return SimStateFile::read(m_statePath);
}
