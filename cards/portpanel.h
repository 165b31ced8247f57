// The column of port cards in the main window: builds the cards of a module
// model into the form's placeholders, each with the panel's protocol
// catalogue, and gives the window records to and from them. A rebuild reads
// no file and shows no box; it builds the new cards before it lets the old
// ones go, so a card reference is never null or dangling.
#ifndef PORTPANEL_H
#define PORTPANEL_H

#include "moduleprofile.h"
#include "portrecord.h"
#include "protocolcatalogue.h"

#include <QByteArray>
#include <QObject>
#include <QVector>

#include <array>

class PortConfig;
class QWidget;

class PortPanel : public QObject
{
    Q_OBJECT
public:
    using Holders = std::array<QWidget *, ModuleProfile::MaxPorts>;

    PortPanel(const Holders &holders, QObject *parent = nullptr);
    ~PortPanel() override;

    // The catalogue every card built from now on shows.
    void setCatalogue(const ProtocolCatalogue &catalogue) { m_catalogue = catalogue; }
    const ProtocolCatalogue &catalogue() const { return m_catalogue; }

    void rebuild(ModuleModel model);
    ModuleModel model() const { return m_model; }
    int count() const { return m_cards.size(); }
    PortConfig *card(int port) const;

    // Every card's record, port 0 first.
    QVector<PortRecord> records() const;
    // Applies a record to a card; false when the card refuses it.
    bool apply(int port, const PortRecord &record);
    // Whether the user changed any card since it was given its record.
    bool edited() const;
    // After a write: each card that still shows what was written takes it as
    // its given record; a card edited since keeps its edits.
    void adopt(const QVector<PortRecord> &written);

signals:
    // A protocol picked by the user on a card's receive or send list, as the
    // card reports it (Id is the 1-based port number).
    void sglAccept(int Id, int index, QString msg, QString currentComboxText);
    void sglSend(int Id, int index, QString msg, QString currentComboxText);

private:
    Holders m_holders;
    ProtocolCatalogue m_catalogue;
    ModuleModel m_model = ModuleModel::Tovrin;
    QVector<PortConfig *> m_cards;
};

#endif // PORTPANEL_H
