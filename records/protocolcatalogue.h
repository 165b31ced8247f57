// The protocol catalogue of the system's language as a value: read and decoded
// once, then handed to every port card, the files and the change lists. Copies
// share the lists. Also what loading met, for the one notice the user gets.
#ifndef PROTOCOLCATALOGUE_H
#define PROTOCOLCATALOGUE_H

#include "agreementcatalog.h"
#include "protocolnames.h"

#include <QLocale>
#include <QString>
#include <QStringList>

class ProtocolCatalogue
{
public:
    enum class Outcome {
        Loaded,
        NoCatalogue, // the folder holds no catalogue file
        TooLarge,    // over AgreementCatalog::MaxFileSize: not read
        Unreadable,
    };

    // Empty lists, as when the folder holds no catalogue.
    ProtocolCatalogue() = default;
    // The catalogue for locale in folder: its own file, else en_US, else the
    // smallest key (AgreementCatalog::chooseFile).
    static ProtocolCatalogue load(const QString &folder = AgreementCatalog::defaultFolder(),
                                  const QString &locale = QLocale::system().name());

    Outcome outcome() const { return m_outcome; }
    // The file chosen, without its folder; empty when there was none.
    QString fileName() const { return m_fileName; }
    // Entries past AgreementCatalog::MaxEntries of a section, not offered.
    int dropped() const { return m_dropped; }

    // The [Accept] (receive) or [Send] entries as the file writes them
    // ("key==help"), and their display keys in the same order.
    const QStringList &entries(bool receive) const { return receive ? m_accept : m_send; }
    const QStringList &keys(bool receive) const { return receive ? m_acceptKeys : m_sendKeys; }

    ProtocolNames::Lookup names() const { return ProtocolNames::fromCatalogue(m_accept, m_send); }
    // The help text of the entry shown as key; empty when it has none.
    QString helpText(bool receive, const QString &key) const
    {
        return AgreementCatalog::helpText(entries(receive), key);
    }

private:
    Outcome m_outcome = Outcome::NoCatalogue;
    QString m_fileName;
    int m_dropped = 0;
    QStringList m_accept;
    QStringList m_send;
    QStringList m_acceptKeys;
    QStringList m_sendKeys;
};

#endif // PROTOCOLCATALOGUE_H
