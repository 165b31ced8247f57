// Editor for one device port: UART or CAN, line settings, receive and send
// protocol; converts its choices to and from the 11-byte port record.
#ifndef PORTCONFIG_H
#define PORTCONFIG_H

#include "protocolnames.h"

#include <QByteArray>
#include <QStringList>
#include <QWidget>

#include <memory>

namespace Ui
{
class PortConfig;
}

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
    // keepRoom: the space stays, so that the protocol lists line up with
    // those of cards that show a level.
    void hideLevel(bool keepRoom = false);
    void lockUartSettings();

    // The card's controls in the order Tab visits them.
    QList<QWidget *> focusOrder() const;

    QByteArray getPortParam() const;
    bool setPortParam(const QByteArray &record);
    // Protocol names by code, from the catalogue this card's lists show.
    ProtocolNames::Lookup protocolNames() const
    {
        return ProtocolNames::fromCatalogue(acceptList, sendList);
    }

signals:
    void sglAccept(int Id, int index, QString msg, QString currentComboxText);
    void sglSend(int Id, int index, QString msg, QString currentComboxText);

private slots:
    void on_rdbUart_clicked(bool checked);
    void on_rdbCan_clicked(bool checked);
    void on_cmbRxProtocol_activated(int index);
    void on_cmbTxProtocol_activated(int index);

private:
    void loadAgreement();
    void fixColumns();
    char recordByte(int position, int offset) const;
    char protocolByte(int position, int offset) const;

    std::unique_ptr<Ui::PortConfig> ui;
    int portId = 0;
    QStringList acceptList;
    QStringList sendList;
    // The record applied last; a list left without a current item writes the
    // byte this record carried, so a value the card cannot show is kept.
    QByteArray appliedRecord;
};

#endif // PORTCONFIG_H
