// Editor for one device port: UART or CAN, line settings, receive and send
// protocol. It keeps the record it was given and changes only the fields the
// user touches, so a card nobody touched gives back the bytes it was given.
#ifndef PORTCONFIG_H
#define PORTCONFIG_H

#include "portrecord.h"
#include "protocolcatalogue.h"

#include <QByteArray>
#include <QWidget>

#include <memory>

class QComboBox;

namespace Ui
{
class PortConfig;
}

class PortConfig : public QWidget
{
    Q_OBJECT
public:
    // The protocol lists show the catalogue's entries; the card reads no file.
    explicit PortConfig(const ProtocolCatalogue &catalogue, QWidget *parent = nullptr);
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

    // The given record with the fields the user changed since.
    PortRecord record() const;
    // Shows a record and keeps it as the given one; false, and nothing
    // changed, when the card refuses it.
    bool setRecord(const PortRecord &record);
    // The record set last or, before any, the one the built defaults show.
    PortRecord givenRecord() const { return given; }
    bool isEdited() const { return record() != given; }

    QByteArray getPortParam() const { return record().bytes(); }
    bool setPortParam(const QByteArray &bytes) { return setRecord(PortRecord(bytes)); }

signals:
    void sglAccept(int Id, int index, QString msg, QString currentComboxText);
    void sglSend(int Id, int index, QString msg, QString currentComboxText);

private slots:
    void on_rdbUart_clicked(bool checked);
    void on_rdbCan_clicked(bool checked);
    void on_cmbRxProtocol_activated(int index);
    void on_cmbTxProtocol_activated(int index);

private:
    // The record's fields, as the user can touch them.
    enum Field : unsigned {
        KindField = 1u << 0,
        RateField = 1u << 1,
        ParityField = 1u << 2,
        DataBitsField = 1u << 3,
        StopBitsField = 1u << 4,
        LevelField = 1u << 5,
        RxField = 1u << 6,
        TxField = 1u << 7,
        // Choosing the kind sets every line field anew for that kind.
        LineFields =
            KindField | RateField | ParityField | DataBitsField | StopBitsField | LevelField,
    };

    void fillProtocolLists();
    void fixColumns();
    void touch(unsigned fields) { touched |= fields; }
    // The settings the lists show; a list without a current item counts as
    // its first item.
    PortSettings shownSettings() const;
    // The list that shows a field for the kind shown, null for none.
    const QComboBox *listOf(Field field) const;
    void takeDefaults();

    std::unique_ptr<Ui::PortConfig> ui;
    int portId = 0;
    ProtocolCatalogue catalogue;
    // The record given last; the fields not touched, and those whose list
    // shows no item, are written as it carries them.
    PortRecord given;
    bool recordGiven = false;
    unsigned touched = 0;
};

#endif // PORTCONFIG_H
