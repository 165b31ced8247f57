// Runs build/bin/tovrin-sim for a test and ends it by its own handle.
#ifndef SIMPROCESS_H
#define SIMPROCESS_H

#include <QByteArray>
#include <QProcess>
#include <QStringList>

class SimProcess
{
public:
    SimProcess();
    ~SimProcess();

    // Starts the simulator and waits until it reports itself ready; with
    // --pty among the arguments also reads the pty path from its first line.
    bool start(const QStringList &arguments, int timeoutMs = 10000);
    QString ptyPath() const { return m_ptyPath; }
    // Everything written to stderr so far.
    QString log();
    // Everything written to stdout so far.
    QByteArray output();
    // Sends a signal to the running simulator and returns at once.
    void signal(int signalNumber);
    // Sends a signal and waits for the end; false if it did not end in time.
    bool stop(int signalNumber, int timeoutMs = 10000);
    QProcess &process() { return m_process; }

private:
    QProcess m_process;
    QByteArray m_stderr;
    QByteArray m_stdout;
    QString m_ptyPath;
};

#endif // SIMPROCESS_H
