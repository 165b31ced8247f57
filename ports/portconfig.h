// Editor for one device port: UART or CAN, line settings, receive and send
// protocol; converts its choices to and from the 11-byte port record.
#ifndef PORTCONFIG_H
#define PORTCONFIG_H

#include <QByteArray>
#include <QStringList>
#include <QWidget>

class PortConfig : public QWidget
{
    Q_OBJECT
public:
    explicit PortConfig(QWidget *parent = nullptr);
    ~PortConfig() override;

    void setId(int id);
    int id() const { return portId; }
    void setPortTitle(const QString &title);

    void setUartOnly();
    void setCanOnly();
    void hideLevel();
    void lockUartSettings();

    QByteArray getPortParam() const;
    bool setPortParam(const QByteArray &record);

signals:
    void sglAccept(int Id, int index, QString msg, QString currentComboxText);
    void sglSend(int Id, int index, QString msg, QString currentComboxText);

private:
    int portId = 0;
    QStringList acceptList;
    QStringList sendList;
};

#endif // PORTCONFIG_H
