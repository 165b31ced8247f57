// A main window whose link ends in the test itself: the far side of a pty
// pair, where the test reads every request and answers with frames of its
// own making, well-formed or not.
#ifndef HANDLINK_H
#define HANDLINK_H

#include "linkbytes.h"
#include "windowlookup.h"
#include "stylelog.h"
#include "testpaths.h"

#include <QByteArray>
#include <QSerialPort>

#include <memory>

class MainWidget;

class HandLink
{
public:
    static constexpr int WaitMs = 5000;

    HandLink();
    ~HandLink();

    // Builds the window (R7 function mode and pass-through as asked), opens
    // the link and takes off the version query the open sends.
    bool open(bool passThrough, bool r7Window = false);

    // The next `size` bytes the program sends; empty if they did not come in time.
    QByteArray take(int size);
    // Everything received and not yet taken.
    QByteArray pending() const { return m_received; }
    void send(const QByteArray &bytes);

    // A request or reply in the form of this link's route and current mode.
    QByteArray request(quint8 id, const QByteArray &payload) const;
    QByteArray reply(quint8 id, const QByteArray &payload) const;

    // Answers the requests of a port-by-port read with the given records.
    bool answerPortReads(const QByteArrayList &records);

    MainWidget *window() const { return m_window.get(); }
    QString status() const;
    QString readStyle() const;
    QString writeStyle() const;
    QString versionText() const;
    void clickRead();
    void clickVersion();
    void confirmWrite(); // the write button, then OK in the dialog
    // Gives the cards on show these records.
    bool setCards(const QByteArrayList &records);

    StyleLog styles;

private:
    PtyPair m_pty;
    QSerialPort m_port;
    QByteArray m_received;
    bool m_passThrough = false;
    std::unique_ptr<MainWidget> m_window;
};

#endif // HANDLINK_H
