// Stands in for the link in tests of the conversation: keeps what the session
// sends, hands it what the test says the far side answered.
#ifndef HANDTRANSPORT_H
#define HANDTRANSPORT_H

#include "transport.h"

#include <QByteArrayList>

class HandTransport : public Transport
{
public:
    bool open() override { return m_open = true; }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    bool send(const QByteArray &bytes) override
    {
        sent.append(bytes);
        return true;
    }
    void answer(const QByteArray &bytes) { emit received(bytes); }

    QByteArrayList sent;

private:
    bool m_open = false;
};

#endif // HANDTRANSPORT_H
