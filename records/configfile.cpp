#include "configfile.h"

#include "printabletext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QPair>
#include <QSaveFile>
#include <QTemporaryFile>

#include <cmath>

namespace
{
const QLatin1String kFormat("tovrin-module-config");

const char *const kParityNames[] = {"none", "even", "odd"};
const char *const kLevelNames[] = {"RS-232", "RS-422"};

// Writing: members in a fixed order, for people who read the file.
using Members = QVector<QPair<QString, QByteArray>>;

QByteArray scalar(const QJsonValue &value)
{
    const QByteArray text = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return text.mid(1, text.size() - 2);
}

QByteArray member(const QString &key, const QByteArray &value)
{
    return scalar(key) + ": " + value;
}

QByteArray inlineObject(const Members &members)
{
    QByteArrayList parts;
    for (const auto &m : members)
        parts << member(m.first, m.second);
    return "{ " + parts.join(", ") + " }";
}

QByteArray blockObject(const Members &members, const QByteArray &indent)
{
    QByteArrayList lines;
    for (const auto &m : members)
        lines << indent + "  " + member(m.first, m.second);
    return "{\n" + lines.join(",\n") + '\n' + indent + '}';
}

QByteArray protocol(const QJsonObject &value)
{
    Members members{
        {QStringLiteral("code"), QByteArray::number(value.value(QLatin1String("code")).toInt())}};
    if (value.contains(QLatin1String("name")))
        members.append({QStringLiteral("name"), scalar(value.value(QLatin1String("name")))});
    return inlineObject(members);
}

const char *const kPortFields[] = {"kind",     "baud",  "parity",  "dataBits",
                                   "stopBits", "level", "receive", "send"};

// The readable fields carry only values a list item of the card shows; the
// record carries every byte.
Members portMembers(const QString &title, const PortRecord &record,
                    const ProtocolNames::Lookup &names)
{
    Members members{
        {QStringLiteral("title"), scalar(title)},
        {QStringLiteral("record"), scalar(QString::fromLatin1(record.bytes().toHex()))}};
    for (const char *field : kPortFields) {
        const QJsonValue value = ConfigFile::fieldValue(QLatin1String(field), record, names);
        if (value.isObject())
            members.append({QLatin1String(field), protocol(value.toObject())});
        else if (!value.isNull())
            members.append({QLatin1String(field), scalar(value)});
    }
    return members;
}

// Reading one port. Each step either fills a value or sets the message.
class PortReader
{
    Q_DECLARE_TR_FUNCTIONS(ConfigFile)
public:
    PortReader(const QJsonObject &port, const PortTraits &traits)
        : port(port), traits(traits), title(traits.title)
    {
    }

    bool read(PortRecord *out, QString *error);

private:
    bool fields(PortRecord *out);
    // The port rules, with the port and the field named.
    bool accepted(const PortRecord &record);

    bool outOfRange(const QString &field)
    {
        message = tr("端口 %1：字段“%2”的值超出范围").arg(title, field);
        return false;
    }
    bool missing(const QString &field)
    {
        message = tr("端口 %1：缺少字段“%2”").arg(title, field);
        return false;
    }
    bool disagrees(const QString &field)
    {
        message = tr("端口 %1：字段“%2”与 record 不一致").arg(title, field);
        return false;
    }

    // An integer field within [low, high]; false with a message when it is
    // given but is not one.
    bool integer(const QString &field, double low, double high, double *value)
    {
        const QJsonValue v = port.value(field);
        if (!v.isDouble() || std::floor(v.toDouble()) != v.toDouble() || v.toDouble() < low ||
            v.toDouble() > high)
            return outOfRange(field);
        *value = v.toDouble();
        return true;
    }
    bool choice(const QString &field, const char *const *names, int count, int *position)
    {
        const QString text = port.value(field).toString();
        for (int i = 0; i < count; ++i) {
            if (text == QLatin1String(names[i])) {
                *position = i;
                return true;
            }
        }
        return outOfRange(field);
    }
    bool protocolCode(const QString &field, int *code)
    {
        const QJsonObject object = port.value(field).toObject();
        const QJsonValue v = object.value(QLatin1String("code"));
        if (!port.value(field).isObject() || !v.isDouble() ||
            std::floor(v.toDouble()) != v.toDouble() || v.toDouble() < 0 || v.toDouble() > 127)
            return outOfRange(field + QStringLiteral(".code"));
        *code = int(v.toDouble());
        return true;
    }

    const QJsonObject port;
    const PortTraits traits;
    const QString title;
    QString message;
};

bool PortReader::read(PortRecord *out, QString *error)
{
    PortRecord record;
    if (!fields(&record) || !accepted(record)) {
        *error = message;
        return false;
    }
    *out = record;
    return true;
}

bool PortReader::accepted(const PortRecord &record)
{
    switch (record.refusal(traits)) {
    case PortRecord::Refusal::None:
        return true;
    case PortRecord::Refusal::WrongLength: // the reader makes only 11-byte records
    case PortRecord::Refusal::UnknownKind:
        message = tr("端口 %1：字段“kind”的值 %2 既不是 UART（0）也不是 CAN（1）")
                      .arg(title)
                      .arg(record.kind());
        return false;
    case PortRecord::Refusal::UartNotOffered:
        message = tr("端口 %1：字段“kind”为 UART，但此端口只能用作 CAN").arg(title);
        return false;
    case PortRecord::Refusal::CanNotOffered:
        message = tr("端口 %1：字段“kind”为 CAN，但此端口只能用作 UART").arg(title);
        return false;
    case PortRecord::Refusal::UartRateNotListed:
    case PortRecord::Refusal::CanRateNotListed:
        message =
            tr("端口 %1：字段“baud”的值 %2 不是此端口可选的速率").arg(title).arg(record.rate());
        return false;
    }
    return false;
}

bool PortReader::fields(PortRecord *out)
{
    const auto has = [&](const char *field) { return port.contains(QLatin1String(field)); };

    PortRecord record;
    if (has("record")) {
        const QString hex = port.value(QLatin1String("record")).toString();
        bool digits = hex.size() == 2 * PortRecord::Size;
        for (const QChar c : hex) {
            const ushort u = c.unicode();
            digits = digits &&
                     ((u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F'));
        }
        if (!digits) {
            message = tr("端口 %1：record 不是 22 位十六进制数字").arg(title);
            return false;
        }
        record = PortRecord(QByteArray::fromHex(hex.toLatin1()));
    }

    // Readable fields: each one given is checked, then compared with the
    // record or, without a record, encoded.
    int kind = -1;
    int kindPosition = 0;
    if (has("kind")) {
        const char *const kinds[] = {"uart", "can"};
        if (!choice(QStringLiteral("kind"), kinds, 2, &kindPosition))
            return false;
        kind = kindPosition == 0 ? PortRecord::Uart : PortRecord::Can;
    } else if (record.isValid()) {
        kind = record.kind();
    } else {
        return missing(QStringLiteral("kind"));
    }
    const bool uart = kind == PortRecord::Uart;

    double baud = 0;
    const bool hasBaud = has("baud");
    if (hasBaud) {
        if (!integer(QStringLiteral("baud"), 0, 4294967295.0, &baud))
            return false;
        const QVector<quint32> &rates =
            uart ? PortRecord::uartBaudRates() : PortRecord::canBitRates();
        if ((uart || kind == PortRecord::Can) && !rates.contains(quint32(baud)))
            return outOfRange(QStringLiteral("baud"));
    }

    // The line settings mean nothing on a CAN port and are not read there.
    int parity = 0, level = 0;
    double dataBits = 8, stopBits = 1;
    const bool lineFields = kind != PortRecord::Can;
    if (lineFields) {
        if (has("parity") && !choice(QStringLiteral("parity"), kParityNames, 3, &parity))
            return false;
        if (has("dataBits") && !integer(QStringLiteral("dataBits"), 8, 9, &dataBits))
            return false;
        if (has("stopBits") && !integer(QStringLiteral("stopBits"), 1, 2, &stopBits))
            return false;
        if (has("level") && !choice(QStringLiteral("level"), kLevelNames, 2, &level))
            return false;
    }
    int receive = 0, send = 0;
    if (has("receive") && !protocolCode(QStringLiteral("receive"), &receive))
        return false;
    if (has("send") && !protocolCode(QStringLiteral("send"), &send))
        return false;

    if (record.isValid()) {
        struct Check {
            const char *field;
            bool given;
            quint32 value;
            quint32 inRecord;
        };
        const Check checks[] = {
            {"kind", has("kind"), quint32(kind), record.kind()},
            {"baud", hasBaud, quint32(baud), record.rate()},
            {"parity", lineFields && has("parity"), quint32(parity), record.parity()},
            {"dataBits", lineFields && has("dataBits"), quint32(dataBits - 8), record.dataBits()},
            {"stopBits", lineFields && has("stopBits"), quint32(stopBits - 1), record.stopBits()},
            {"level", lineFields && has("level"), quint32(level), record.level()},
            {"receive", has("receive"), quint32(receive), record.receiveCode()},
            {"send", has("send"), quint32(send), record.sendCode()},
        };
        for (const Check &check : checks) {
            if (check.given && check.value != check.inRecord)
                return disagrees(QLatin1String(check.field));
        }
        *out = record;
        return true;
    }

    const QVector<const char *> required =
        uart ? QVector<const char *>{"baud",  "parity",  "dataBits", "stopBits",
                                     "level", "receive", "send"}
             : QVector<const char *>{"baud", "receive", "send"};
    for (const char *field : required) {
        if (!has(field))
            return missing(QLatin1String(field));
    }
    PortSettings settings;
    settings.kind = PortRecord::Kind(kind);
    settings.baud = quint32(baud);
    settings.parity = PortRecord::Parity(parity);
    settings.dataBits = int(dataBits);
    settings.stopBits = int(stopBits);
    settings.level = PortRecord::Level(level);
    settings.receiveCode = quint8(receive);
    settings.sendCode = quint8(send);
    *out = PortRecord::encode(settings);
    return true;
}

} // namespace

namespace
{
QByteArray portsArray(ModuleModel model, const QVector<PortRecord> &records,
                      const ProtocolNames::Lookup &names, const QByteArray &indent)
{
    QByteArrayList ports;
    for (int i = 0; i < records.size(); ++i) {
        const QString title = ModuleProfile::port(model, i).title;
        ports << indent + "  " +
                     blockObject(portMembers(title, records.at(i), names), indent + "  ");
    }
    return "[\n" + ports.join(",\n") + "\n" + indent + "]";
}

QByteArray configJson(const ModuleConfig &config, const WriteNote *write,
                      const ProtocolNames::Lookup &names)
{
    Members top{{QStringLiteral("format"), scalar(kFormat)},
                {QStringLiteral("version"), QByteArray::number(ConfigFile::Version)},
                {QStringLiteral("model"), scalar(ModuleProfile::name(config.model))},
                {QStringLiteral("firmware"), scalar(config.firmware)}};
    if (config.saved.isValid())
        top.append({QStringLiteral("saved"), scalar(config.saved.toUTC().toString(Qt::ISODate))});
    top.append({QStringLiteral("ports"), portsArray(config.model, config.ports, names, "  ")});
    if (write) {
        const Members members{
            {QStringLiteral("device"), scalar(write->device)},
            {QStringLiteral("outcome"), scalar(WriteNote::word(write->outcome))},
            {QStringLiteral("ports"), portsArray(config.model, write->sent, names, "    ")}};
        top.append({QStringLiteral("write"), blockObject(members, "  ")});
    }
    return blockObject(top, QByteArray()) + '\n';
}
} // namespace

QByteArray ConfigFile::toJson(const ModuleConfig &config, const ProtocolNames::Lookup &names)
{
    return configJson(config, nullptr, names);
}

QByteArray ConfigFile::toJson(const ModuleConfig &config, const WriteNote &write,
                              const ProtocolNames::Lookup &names)
{
    return configJson(config, &write, names);
}

bool ConfigFile::writeNote(const QByteArray &json, WriteNote *note)
{
    const QJsonValue value = QJsonDocument::fromJson(json).object().value(QLatin1String("write"));
    if (!value.isObject())
        return false;
    const QJsonObject write = value.toObject();
    WriteNote read;
    read.device = write.value(QLatin1String("device")).toString();
    if (!WriteNote::outcomeForWord(write.value(QLatin1String("outcome")).toString(),
                                   &read.outcome))
        return false;
    const QJsonArray ports = write.value(QLatin1String("ports")).toArray();
    for (const QJsonValue &port : ports)
        read.sent.append(PortRecord(
            QByteArray::fromHex(port.toObject().value(QLatin1String("record")).toString().toLatin1())));
    *note = read;
    return true;
}

bool ConfigFile::fromJson(const QByteArray &json, ModuleConfig *config, QString *error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        *error = tr("文件不是有效的 JSON（第 %1 个字节附近有错）").arg(parseError.offset);
        return false;
    }
    const QJsonObject top = document.object();
    const QJsonValue version = top.value(QLatin1String("version"));
    if (!document.isObject() || top.value(QLatin1String("format")).toString() != kFormat ||
        !version.isDouble() || version.toDouble() < 1 ||
        std::floor(version.toDouble()) != version.toDouble()) {
        *error = tr("文件不是 Tovrin 模块配置文件");
        return false;
    }
    if (version.toDouble() > Version) {
        *error = tr("文件格式版本 %1 比本程序能读的版本 %2 新，请使用更新的程序")
                     .arg(version.toDouble())
                     .arg(Version);
        return false;
    }
    ModuleConfig read;
    const QString modelName = top.value(QLatin1String("model")).toString();
    if (!ModuleProfile::modelForName(modelName, &read.model)) {
        *error =
            tr("未知的模块型号“%1”，应为 Tovrin 或 R7-Eda").arg(PrintableText::escaped(modelName));
        return false;
    }
    const QJsonArray ports = top.value(QLatin1String("ports")).toArray();
    const int count = ModuleProfile::portCount(read.model);
    // Entries that name their port ("port": N, from 1) may give any of the
    // ports, each once; entries that do not give every port in order.
    const auto names = [&ports](int i) {
        return ports.at(i).isObject() && ports.at(i).toObject().contains(QLatin1String("port"));
    };
    bool named = false;
    for (int i = 0; i < ports.size(); ++i)
        named = named || names(i);
    if (!named && ports.size() != count) {
        *error = tr("型号 %1 有 %2 个端口，文件中有 %3 个")
                     .arg(ModuleProfile::name(read.model))
                     .arg(count)
                     .arg(ports.size());
        return false;
    }
    read.ports = QVector<PortRecord>(count);
    QVector<int> entryOf(count, -1); // the entry that gave each port
    for (int i = 0; i < ports.size(); ++i) {
        int port = i;
        if (named) {
            if (!names(i)) {
                *error = tr("第 %1 个端口条目没有“port”字段，而其他条目有：要么每个条目都写明端口，"
                            "要么都不写")
                             .arg(i + 1);
                return false;
            }
            const QJsonValue number = ports.at(i).toObject().value(QLatin1String("port"));
            const double n = number.toDouble();
            if (!number.isDouble() || std::floor(n) != n || n < 1 || n > count) {
                *error = tr("第 %1 个端口条目：“port”应为 1 到 %2 的整数（型号 %3）")
                             .arg(i + 1)
                             .arg(count)
                             .arg(ModuleProfile::name(read.model));
                return false;
            }
            port = int(n) - 1;
            if (entryOf.at(port) >= 0) {
                *error = tr("第 %1 个端口条目：端口 %2 已由第 %3 个条目给出")
                             .arg(i + 1)
                             .arg(port + 1)
                             .arg(entryOf.at(port) + 1);
                return false;
            }
            entryOf[port] = i;
        }
        const QString title = ModuleProfile::port(read.model, port).title;
        if (!ports.at(i).isObject()) {
            *error = tr("端口 %1 不是 JSON 对象").arg(title);
            return false;
        }
        PortRecord record;
        if (!PortReader(ports.at(i).toObject(), ModuleProfile::port(read.model, port))
                 .read(&record, error))
            return false;
        read.ports[port] = record;
    }
    read.firmware = top.value(QLatin1String("firmware")).toString();
    read.saved = QDateTime::fromString(top.value(QLatin1String("saved")).toString(), Qt::ISODate);
    *config = read;
    return true;
}

bool ConfigFile::checkTarget(const QString &path, QString *error)
{
    const QString shown = PrintableText::escaped(path);
    const QFileInfo target(path);
    // A link is refused, not followed: the user named the link, and what it
    // points to may be a device or a file elsewhere that nobody meant to
    // replace.
    if (target.isSymLink()) {
        *error = tr("无法保存文件 %1：这是一个符号链接，请直接给出文件的路径").arg(shown);
        return false;
    }
    if (target.exists() && !target.isFile()) {
        *error = tr("无法保存文件 %1：它已存在，但不是普通文件（是文件夹、设备、管道或套接字）")
                     .arg(shown);
        return false;
    }
    if (target.exists() && !target.isWritable()) {
        *error = tr("无法保存文件 %1：文件不可写").arg(shown);
        return false;
    }
    const QString folder = target.absolutePath();
    const QFileInfo folderInfo(folder);
    if (!folderInfo.isDir()) {
        *error = tr("无法保存文件 %1：文件夹 %2 不存在")
                     .arg(shown, PrintableText::escaped(QDir::toNativeSeparators(folder)));
        return false;
    }
    // The save writes a temporary file beside the target: the folder must
    // take one (permission bits do not tell on a read-only mount, nor for root).
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".tovrin-XXXXXX")));
    if (!probe.open()) {
        *error = tr("无法保存文件 %1：文件夹 %2 不可写入")
                     .arg(shown, PrintableText::escaped(QDir::toNativeSeparators(folder)));
        return false;
    }
    return true;
}

bool ConfigFile::save(const QString &path, const ModuleConfig &config,
                      const ProtocolNames::Lookup &names, QString *error)
{
    if (!checkTarget(path, error))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(toJson(config, names)) < 0 ||
        !file.commit()) {
        *error = tr("无法保存文件 %1：%2").arg(PrintableText::escaped(path), file.errorString());
        return false;
    }
    return true;
}

bool ConfigFile::load(const QString &path, ModuleConfig *config, QString *error)
{
    const QString shown = PrintableText::escaped(path);
    const QFileInfo info(path);
    // Decided before opening: opening a FIFO waits for a writer, and a
    // device can give bytes without end.
    if (info.exists() && !info.isFile()) {
        *error = tr("无法读取文件 %1：它不是普通文件（是文件夹、设备、管道或套接字）").arg(shown);
        return false;
    }
    const QString tooLarge = tr("无法读取文件 %1：文件大于 1 MiB，不是配置文件").arg(shown);
    if (info.size() > MaxSize) {
        *error = tooLarge;
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = tr("无法读取文件 %1：%2").arg(shown, file.errorString());
        return false;
    }
    // The file may have grown since it was measured.
    const QByteArray text = file.read(MaxSize + 1);
    if (text.size() > MaxSize) {
        *error = tooLarge;
        return false;
    }
    return fromJson(text, config, error);
}

QJsonValue ConfigFile::fieldValue(const QString &field, const PortRecord &record,
                                  const ProtocolNames::Lookup &names)
{
    if (!record.isValid())
        return QJsonValue();
    if (field == QLatin1String("record"))
        return QString::fromLatin1(record.bytes().toHex());
    const bool uart = record.kind() == PortRecord::Uart;
    const bool can = record.kind() == PortRecord::Can;
    if (!uart && !can)
        return QJsonValue();
    if (field == QLatin1String("kind"))
        return uart ? QStringLiteral("uart") : QStringLiteral("can");
    if (field == QLatin1String("baud")) {
        const QVector<quint32> &rates =
            uart ? PortRecord::uartBaudRates() : PortRecord::canBitRates();
        return rates.contains(record.rate()) ? QJsonValue(qint64(record.rate())) : QJsonValue();
    }
    const auto protocolValue = [&names](bool receive, quint8 code) {
        if (code > 127)
            return QJsonValue();
        QJsonObject value{{QStringLiteral("code"), int(code)}};
        const QString name = names ? names(receive, code) : QString();
        if (!name.isEmpty())
            value.insert(QStringLiteral("name"), name);
        return QJsonValue(value);
    };
    if (field == QLatin1String("receive"))
        return protocolValue(true, record.receiveCode());
    if (field == QLatin1String("send"))
        return protocolValue(false, record.sendCode());
    if (!uart)
        return QJsonValue(); // the line settings belong to a UART port
    if (field == QLatin1String("parity"))
        return record.parity() <= 2 ? QJsonValue(QLatin1String(kParityNames[record.parity()]))
                                    : QJsonValue();
    if (field == QLatin1String("dataBits"))
        return record.dataBits() <= 1 ? QJsonValue(record.dataBits() + 8) : QJsonValue();
    if (field == QLatin1String("stopBits"))
        return record.stopBits() <= 1 ? QJsonValue(record.stopBits() + 1) : QJsonValue();
    if (field == QLatin1String("level"))
        return record.level() <= 1 ? QJsonValue(QLatin1String(kLevelNames[record.level()]))
                                   : QJsonValue();
    return QJsonValue();
}
