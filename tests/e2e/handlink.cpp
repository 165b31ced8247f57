#include "handlink.h"

#include "mainwidget.h"
#include "messageform.h"
#include "portconfig.h"
#include "windowprobe.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

HandLink::HandLink() = default;

HandLink::~HandLink()
{
    m_window.reset();
}

bool HandLink::open(bool passThrough, bool r7Window)
{
    m_passThrough = passThrough;
    if (!m_pty.start())
        return false;
    m_port.setPortName(m_pty.second());
    if (!m_port.open(QIODevice::ReadWrite))
        return false;
    m_port.setBaudRate(QSerialPort::Baud115200);
    QObject::connect(&m_port, &QSerialPort::readyRead, &m_port,
                     [this] { m_received += m_port.readAll(); });

    MainWidget::setExtraSerialPorts({m_pty.first()});
    m_window = std::make_unique<MainWidget>();
    m_window->show();
    if (!QTest::qWaitForWindowExposed(m_window.get(), WaitMs))
        return false;
    styles.watch(child<QPushButton>(window(), "cbAllDownload"));
    styles.watch(child<QPushButton>(window(), "cbAllSet"));
    if (r7Window)
        WindowProbe::click(window(), "rb_R7FuncMode");
    if (passThrough)
        WindowProbe::click(window(), "chb_ConfigByFCS");
    if (child<QComboBox>(window(), "cbSerial")->currentText() != m_pty.first())
        return false;
    WindowProbe::click(window(), "btnOpenSerialPort");
    const QByteArray query = request(MSG_VERSION, LinkBytes::byte(0));
    return WindowLookup::linkOpen(m_window.get()) && take(query.size()) == query;
}

QByteArray HandLink::take(int size)
{
    if (!QTest::qWaitFor([&] { return m_received.size() >= size; }, WaitMs))
        return QByteArray();
    const QByteArray bytes = m_received.left(size);
    m_received.remove(0, size);
    return bytes;
}

void HandLink::send(const QByteArray &bytes)
{
    m_port.write(bytes);
    m_port.waitForBytesWritten(WaitMs);
}

QByteArray HandLink::request(quint8 id, const QByteArray &payload) const
{
    return m_passThrough ? LinkBytes::forward(LinkBytes::deviceCode(WindowLookup::model(window()) == ModuleModel::R7), id, payload)
                         : LinkBytes::frame(id, payload);
}

QByteArray HandLink::reply(quint8 id, const QByteArray &payload) const
{
    return m_passThrough ? LinkBytes::returned(LinkBytes::deviceCode(WindowLookup::model(window()) == ModuleModel::R7), id, payload)
                         : LinkBytes::frame(id, payload);
}

bool HandLink::answerPortReads(const QByteArrayList &records)
{
    for (int i = 0; i < records.size(); ++i) {
        const QByteArray expected = request(MSG_READ_PORT, LinkBytes::byte(i));
        if (take(expected.size()) != expected)
            return false;
        send(reply(MSG_READ_PORT, LinkBytes::byte(i) + records.at(i)));
    }
    return true;
}

QString HandLink::status() const
{
    return WindowProbe::status(window());
}

QString HandLink::readStyle() const
{
    return WindowProbe::readStyle(window());
}

QString HandLink::writeStyle() const
{
    return WindowProbe::writeStyle(window());
}

QString HandLink::versionText() const
{
    return WindowProbe::versionText(window());
}

void HandLink::clickRead()
{
    WindowProbe::click(window(), "cbAllDownload");
}

void HandLink::clickVersion()
{
    WindowProbe::click(window(), "tbtnVersion");
}

void HandLink::confirmWrite()
{
    WindowProbe::click(window(), "cbAllSet");
    WindowProbe::clickInDialog(window(), "btnOk");
}

bool HandLink::setCards(const QByteArrayList &records)
{
    for (int i = 0; i < records.size(); ++i) {
        if (!WindowLookup::card(m_window.get(), i)->setPortParam(records.at(i)))
            return false;
    }
    return true;
}
