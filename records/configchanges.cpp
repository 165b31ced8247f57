#include "configchanges.h"

#include "configfile.h"

namespace
{
// Texts of the card's form, looked up in its translation context.
const char *const kCard = "PortConfig";
const char *const kKinds[] = {QT_TRANSLATE_NOOP("PortConfig", "串口"),
                              QT_TRANSLATE_NOOP("PortConfig", "Can")};
const char *const kCanRates[] = {QT_TRANSLATE_NOOP("PortConfig", "666.666"),
                                 QT_TRANSLATE_NOOP("PortConfig", "1000"),
                                 QT_TRANSLATE_NOOP("PortConfig", "500")};
const char *const kParities[] = {QT_TRANSLATE_NOOP("PortConfig", "无"),
                                 QT_TRANSLATE_NOOP("PortConfig", "偶校验"),
                                 QT_TRANSLATE_NOOP("PortConfig", "奇校验")};
const char *const kDataBits[] = {QT_TRANSLATE_NOOP("PortConfig", "8"),
                                 QT_TRANSLATE_NOOP("PortConfig", "9")};
const char *const kStopBits[] = {QT_TRANSLATE_NOOP("PortConfig", "1"),
                                 QT_TRANSLATE_NOOP("PortConfig", "2")};
const char *const kLevels[] = {QT_TRANSLATE_NOOP("PortConfig", "232"),
                               QT_TRANSLATE_NOOP("PortConfig", "422")};
const char *const kLabels[] = {
    QT_TRANSLATE_NOOP("PortConfig", "波特率"),  QT_TRANSLATE_NOOP("PortConfig", "奇偶校验"),
    QT_TRANSLATE_NOOP("PortConfig", "数据位"),  QT_TRANSLATE_NOOP("PortConfig", "停止位"),
    QT_TRANSLATE_NOOP("PortConfig", "电平"),    QT_TRANSLATE_NOOP("PortConfig", "接收功能"),
    QT_TRANSLATE_NOOP("PortConfig", "发送功能")};
enum Label { Baud, Parity, DataBits, StopBits, Level, Receive, Send };
// The configuration file's key for each label.
const char *const kFields[] = {"baud",  "parity",  "dataBits", "stopBits",
                               "level", "receive", "send"};

QString card(const char *text)
{
    return QCoreApplication::translate(kCard, text);
}

QString label(Label which)
{
    return card(kLabels[which]);
}

template <int N> QString listText(const char *const (&texts)[N], quint32 position)
{
    return position < quint32(N) ? card(texts[position]) : QString::number(position);
}

QString rateText(const PortRecord &record)
{
    if (record.kind() == PortRecord::Can) {
        const int position = PortRecord::canRatePosition(record.rate());
        if (position >= 0)
            return card(kCanRates[position]);
    }
    return QString::number(record.rate());
}

QString protocolText(const ProtocolNames::Lookup &names, bool receive, quint8 code)
{
    const QString name = names ? names(receive, code) : QString();
    return name.isEmpty() ? QString::number(code) : name;
}

class PortLines
{
public:
    PortLines(int port, const QString &title, const PortRecord &from, const PortRecord &to,
              const ProtocolNames::Lookup &names, QVector<ConfigChanges::Change> *changes)
        : port(port), title(title), from(from), to(to), names(names), changes(changes)
    {
    }

    void add(const QString &field, const QString &what, const QString &fromText,
             const QString &toText)
    {
        changes->append({port, title, field, ConfigFile::fieldValue(field, from, names),
                         ConfigFile::fieldValue(field, to, names),
                         QStringLiteral("%1 %2: %3 → %4").arg(title, what, fromText, toText)});
    }
    void add(Label which, const QString &fromText, const QString &toText)
    {
        add(QLatin1String(kFields[which]), label(which), fromText, toText);
    }
    // A field whose bytes differ; two values that read alike (protocol codes
    // 0 and 13 both select the first entry) show their numbers as well.
    void compare(const QString &field, const QString &what, quint32 a, quint32 b, QString aText,
                 QString bText)
    {
        if (a == b)
            return;
        if (aText == bText) {
            aText += QStringLiteral(" (%1)").arg(a);
            bText += QStringLiteral(" (%1)").arg(b);
        }
        add(field, what, aText, bText);
    }
    void compare(Label which, quint32 a, quint32 b, const QString &aText, const QString &bText)
    {
        compare(QLatin1String(kFields[which]), label(which), a, b, aText, bText);
    }

private:
    const int port;
    const QString title;
    const PortRecord from;
    const PortRecord to;
    const ProtocolNames::Lookup &names;
    QVector<ConfigChanges::Change> *const changes;
};

} // namespace

QJsonObject ConfigChanges::Change::toJson() const
{
    return {{QStringLiteral("port"), port},   {QStringLiteral("title"), title},
            {QStringLiteral("field"), field}, {QStringLiteral("from"), from},
            {QStringLiteral("to"), to},       {QStringLiteral("text"), text}};
}

QStringList ConfigChanges::describe(ModuleModel model, const QVector<PortRecord> &before,
                                    const QVector<PortRecord> &after,
                                    const ProtocolNames::Lookup &names)
{
    QStringList lines;
    for (const Change &change : list(model, before, after, names))
        lines.append(change.text);
    return lines;
}

QVector<ConfigChanges::Change> ConfigChanges::list(ModuleModel model,
                                                   const QVector<PortRecord> &before,
                                                   const QVector<PortRecord> &after,
                                                   const ProtocolNames::Lookup &names)
{
    QVector<Change> changes;
    const int count = qMin(ModuleProfile::portCount(model), qMax(before.size(), after.size()));
    for (int i = 0; i < count; ++i) {
        const PortRecord from = before.value(i);
        const PortRecord to = after.value(i);
        if (from == to)
            continue;
        PortLines port(i, ModuleProfile::port(model, i).title, from, to, names, &changes);
        const auto hex = [](const PortRecord &r) {
            return r.isValid() ? QString::fromLatin1(r.bytes().toHex(' ')) : QStringLiteral("—");
        };
        if (!from.isValid() || !to.isValid()) {
            port.add(QStringLiteral("record"), tr("记录"), hex(from), hex(to));
            continue;
        }
        const int changesBefore = changes.size();
        port.compare(QStringLiteral("kind"), tr("端口类型"), from.kind(), to.kind(),
                     listText(kKinds, from.kind()), listText(kKinds, to.kind()));
        const QString fromRate = rateText(from);
        const QString toRate = rateText(to);
        if (from.rate() != to.rate() || fromRate != toRate)
            port.add(Baud, fromRate, toRate);

        // The line settings count only on a UART port; a port that becomes
        // one shows them against a dash.
        if (to.kind() == PortRecord::Uart) {
            const bool wasUart = from.kind() == PortRecord::Uart;
            const auto line = [&](Label which, quint8 a, quint8 b, const QString &aText,
                                  const QString &bText) {
                if (wasUart)
                    port.compare(which, a, b, aText, bText);
                else
                    port.add(which, QStringLiteral("—"), bText);
            };
            line(Parity, from.parity(), to.parity(), listText(kParities, from.parity()),
                 listText(kParities, to.parity()));
            line(DataBits, from.dataBits(), to.dataBits(), listText(kDataBits, from.dataBits()),
                 listText(kDataBits, to.dataBits()));
            line(StopBits, from.stopBits(), to.stopBits(), listText(kStopBits, from.stopBits()),
                 listText(kStopBits, to.stopBits()));
            line(Level, from.level(), to.level(), listText(kLevels, from.level()),
                 listText(kLevels, to.level()));
        }
        port.compare(Receive, from.receiveCode(), to.receiveCode(),
                     protocolText(names, true, from.receiveCode()),
                     protocolText(names, true, to.receiveCode()));
        port.compare(Send, from.sendCode(), to.sendCode(),
                     protocolText(names, false, from.sendCode()),
                     protocolText(names, false, to.sendCode()));
        // Bytes no field shows (offsets 5 to 8 of a CAN record) still change.
        if (changes.size() == changesBefore)
            port.add(QStringLiteral("record"), tr("记录"), hex(from), hex(to));
    }
    return changes;
}
