// One configuration session as a user has it: the device simulator on one of
// the three routes and a main window set up for that route, driven by clicks
// on its buttons. Also reads back what the simulator saw and stored.
#ifndef SIMSESSION_H
#define SIMSESSION_H

#include "boxwatcher.h"
#include "linkbytes.h"
#include "look.h"
#include "windowlookup.h"
#include "stylelog.h"

#include <QByteArrayList>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class MainWidget;
class PortConfig;
class SimProcess;

class SimSession
{
public:
    static constexpr int WaitMs = 10000;

    SimSession();
    ~SimSession();

    // Starts the simulator for the route (with the given records, if any) and
    // builds a closed main window prepared for it: R7 function mode chosen
    // when asked, pass-through ticked for the flight controller, and the
    // ground station ticked as well for UDP.
    bool start(Route route, const QStringList &simArgs, bool r7Window = false,
               const QByteArrayList &records = {});
    // Ends the simulator and starts another on a new pty, then has the window
    // search the ports again and choose it; the link must be closed.
    bool restartSimulator(const QStringList &simArgs, const QByteArrayList &records = {});
    // Ends the simulator, as a device that is switched off or unplugged.
    bool stopSimulator();
    // Sends a signal to the simulator (SIGUSR1: its unasked frames).
    void signalSimulator(int signalNumber);
    // Destroys the window, as the program does once its window was closed.
    void destroyWindow();

    void clickOpen();
    void clickRead();
    void clickWrite(); // shows the confirmation dialog
    void clickOk();
    void clickCancel();
    void clickDialogClose();
    bool dialogVisible() const;

    QString status() const;
    QString readStyle() const;
    QString writeStyle() const;
    QString versionText() const;
    PortConfig *card(int i) const;
    QByteArrayList cardRecords() const; // getPortParam of the cards on show

    // Frames the simulator reports as received, in order.
    QByteArrayList received();
    // The simulator's log lines so far.
    QStringList simLog();
    // Records in the simulator's state file; empty if it cannot be read.
    QByteArrayList stored() const;

    MainWidget *window() const { return m_window.get(); }
    Route route() const { return m_route; }
    QString ptyPath() const;

    StyleLog styles;
    BoxWatcher boxes;

private:
    bool startSimulator(const QStringList &simArgs, const QByteArrayList &records);

    Route m_route = Route::Direct;
    QTemporaryDir m_dir;
    QString m_statePath;
    int m_runs = 0;
    std::unique_ptr<SimProcess> m_sim;
    std::unique_ptr<MainWidget> m_window;
};

#endif // SIMSESSION_H
