#include "portpanel.h"

#include "portconfig.h"

#include <algorithm>

#include <QVBoxLayout>
#include <QWidget>

namespace
{
// The height of the card's form.
constexpr int CardHeight = 89;
} // namespace

PortPanel::PortPanel(const Holders &holders, QObject *parent) : QObject(parent), m_holders(holders)
{
}

PortPanel::~PortPanel() = default;

PortConfig *PortPanel::card(int port) const
{
    return port >= 0 && port < m_cards.size() ? m_cards.at(port) : nullptr;
}

QVector<PortRecord> PortPanel::records() const
{
    QVector<PortRecord> records;
    records.reserve(m_cards.size());
    for (const PortConfig *card : m_cards)
        records.append(card->record());
    return records;
}

bool PortPanel::apply(int port, const PortRecord &record)
{
    PortConfig *target = card(port);
    return target && target->setRecord(record);
}

bool PortPanel::edited() const
{
    return std::any_of(m_cards.cbegin(), m_cards.cend(),
                       [](const PortConfig *card) { return card->isEdited(); });
}

void PortPanel::adopt(const QVector<PortRecord> &written)
{
    for (int i = 0; i < m_cards.size() && i < written.size(); ++i) {
        if (m_cards.at(i)->record() == written.at(i))
            m_cards.at(i)->setRecord(written.at(i));
    }
}

void PortPanel::rebuild(ModuleModel model)
{
    const int count = ModuleProfile::portCount(model);
    m_holders[ModuleProfile::MaxPorts - 1]->setVisible(count == ModuleProfile::MaxPorts);

    // Where one port shows a level, the others keep its room.
    bool levelShown = false;
    for (int i = 0; i < count; ++i)
        levelShown = levelShown || ModuleProfile::port(model, i).levelShown;

    QVector<PortConfig *> built;
    built.reserve(count);
    for (int i = 0; i < count; ++i) {
        // Built straight into its placeholder: a card built without a parent
        // and moved there afterwards is styled twice, once for the window's
        // style sheet, which doubles the cost of every rebuild.
        QWidget *holder = m_holders[size_t(i)];
        auto *card = new PortConfig(m_catalogue, holder);
        built.append(card);
        // The card spans its placeholder's width, at the top, as high as the
        // form draws it; six cards get less height each, and fit in it.
        card->setMaximumHeight(CardHeight);
        if (!holder->layout()) {
            auto *fill = new QVBoxLayout(holder);
            fill->setContentsMargins(0, 0, 0, 0);
        }
        static_cast<QVBoxLayout *>(holder->layout())->addWidget(card, 0, Qt::AlignTop);
        card->setId(i + 1);
        const PortTraits traits = ModuleProfile::port(model, i);
        card->setPortTitle(traits.title);
        if (traits.uartLocked)
            card->lockUartSettings();
        if (!traits.canOffered)
            card->setUartOnly();
        else if (!traits.uartOffered)
            card->setCanOnly();
        if (!traits.levelShown)
            card->hideLevel(levelShown);
        connect(card, &PortConfig::sglAccept, this, &PortPanel::sglAccept);
        connect(card, &PortConfig::sglSend, this, &PortPanel::sglSend);
    }

    const QVector<PortConfig *> old = m_cards;
    m_cards = built;
    m_model = model;
    for (PortConfig *card : old)
        delete card;
    // Shown once restricted, so a visible window lays each card out once.
    for (PortConfig *card : qAsConst(m_cards))
        card->show();
}
