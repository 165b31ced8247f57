#include "provisionreport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSerialPortInfo>

namespace
{
QJsonValue textOrNull(const QString &text)
{
    return text.isEmpty() ? QJsonValue() : QJsonValue(text);
}

QString hex4(quint16 value)
{
    return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0'));
}

// A value as the file format writes it: a string bare, anything else as JSON.
QString valueText(const QJsonValue &value)
{
    if (value.isNull() || value.isUndefined())
        return QStringLiteral("null");
    if (value.isString())
        return value.toString();
    if (value.isDouble())
        return QString::number(value.toDouble());
    if (value.isBool())
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    return QString::fromUtf8(QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact));
}

QString csvCell(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

bool writeWhole(QFile &file, const QByteArray &bytes, QString *error)
{
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        *error = QStringLiteral("cannot append to %1: %2").arg(file.fileName(), file.errorString());
        return false;
    }
    return true;
}
} // namespace

QJsonObject ProvisionReport::Unit::toJson() const
{
    QJsonArray changeArray;
    for (const ConfigChanges::Change &change : changes)
        changeArray.append(QJsonObject{{QStringLiteral("port"), change.port},
                                       {QStringLiteral("title"), change.title},
                                       {QStringLiteral("field"), change.field},
                                       {QStringLiteral("from"), change.from},
                                       {QStringLiteral("to"), change.to}});
    return {{QStringLiteral("time"), time.toUTC().toString(Qt::ISODate)},
            {QStringLiteral("device"), device},
            {QStringLiteral("adapter"), adapter},
            {QStringLiteral("model"), textOrNull(model)},
            {QStringLiteral("firmware"), textOrNull(firmware)},
            {QStringLiteral("file"), textOrNull(file)},
            {QStringLiteral("outcome"), outcome},
            {QStringLiteral("exit"), exitCode},
            {QStringLiteral("changes"), changeArray},
            {QStringLiteral("seconds"), qRound(seconds * 1000) / 1000.0},
            {QStringLiteral("snapshot"), textOrNull(snapshot)}};
}

ProvisionReport::ProvisionReport(const QString &path) : m_path(path) {}

bool ProvisionReport::isCsv() const
{
    return m_path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive);
}

bool ProvisionReport::check(QString *error) const
{
    const QFileInfo info(m_path);
    if (info.isDir()) {
        *error = QStringLiteral("the report %1 is a folder").arg(m_path);
        return false;
    }
    if (!info.absoluteDir().exists()) {
        *error = QStringLiteral("the report's folder %1 does not exist").arg(info.absolutePath());
        return false;
    }
    if (info.exists() && !info.isWritable()) {
        *error = QStringLiteral("the report %1 is not writable").arg(m_path);
        return false;
    }
    return true;
}

bool ProvisionReport::append(const Unit &unit, QString *error) const
{
    const QByteArray line = isCsv() ? csvLine(unit) : jsonLine(unit);
    QFile file(m_path);
    if (isCsv()) {
        // Made here, or by another station a moment ago: the header goes with
        // the first line of whoever made the file.
        if (file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::NewOnly |
                      QIODevice::Unbuffered))
            return writeWhole(file, csvHeader() + line, error);
    }
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        *error = QStringLiteral("cannot open %1: %2").arg(m_path, file.errorString());
        return false;
    }
    return writeWhole(file, line, error);
}

QJsonValue ProvisionReport::adapterOf(const QString &device)
{
    const QString resolved = QFileInfo(device).canonicalFilePath();
    // A pseudo-terminal is no adapter, and asking the system for its list
    // takes tens of milliseconds.
    if (resolved.isEmpty() || resolved.startsWith(QLatin1String("/dev/pts/")))
        return QJsonValue();
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        if (info.systemLocation() != resolved)
            continue;
        if (!info.hasVendorIdentifier() && info.serialNumber().isEmpty())
            return QJsonValue(); // a port of the machine's own, no adapter
        return QJsonObject{
            {QStringLiteral("serialNumber"), textOrNull(info.serialNumber())},
            {QStringLiteral("vendorId"),
             info.hasVendorIdentifier() ? QJsonValue(hex4(info.vendorIdentifier())) : QJsonValue()},
            {QStringLiteral("productId"), info.hasProductIdentifier()
                                              ? QJsonValue(hex4(info.productIdentifier()))
                                              : QJsonValue()},
            {QStringLiteral("location"), info.systemLocation()}};
    }
    return QJsonValue();
}

QByteArray ProvisionReport::jsonLine(const Unit &unit)
{
    return QJsonDocument(unit.toJson()).toJson(QJsonDocument::Compact) + '\n';
}

QByteArray ProvisionReport::csvHeader()
{
    return QByteArrayLiteral("time,device,adapter.serialNumber,adapter.vendorId,"
                             "adapter.productId,adapter.location,model,firmware,file,outcome,"
                             "exit,changes,seconds,snapshot\n");
}

// The JSON line's fields in its order, the adapter's four in their own
// columns, the changes as "Title field: from -> to" joined by "; ". Null is
// an empty cell.
QByteArray ProvisionReport::csvLine(const Unit &unit)
{
    const QJsonObject object = unit.toJson();
    const QJsonObject adapter = object.value(QLatin1String("adapter")).toObject();
    QStringList changes;
    for (const ConfigChanges::Change &change : unit.changes)
        changes.append(
            QStringLiteral("%1 %2: %3 -> %4")
                .arg(change.title, change.field, valueText(change.from), valueText(change.to)));
    const auto text = [](const QJsonValue &value) {
        return value.isNull() || value.isUndefined() ? QString() : valueText(value);
    };
    QStringList cells{object.value(QLatin1String("time")).toString(),
                      unit.device,
                      text(adapter.value(QLatin1String("serialNumber"))),
                      text(adapter.value(QLatin1String("vendorId"))),
                      text(adapter.value(QLatin1String("productId"))),
                      text(adapter.value(QLatin1String("location"))),
                      unit.model,
                      unit.firmware,
                      unit.file,
                      unit.outcome,
                      QString::number(unit.exitCode),
                      changes.join(QStringLiteral("; ")),
                      text(object.value(QLatin1String("seconds"))),
                      unit.snapshot};
    for (QString &cell : cells)
        cell = csvCell(cell);
    return cells.join(QLatin1Char(',')).toUtf8() + '\n';
}
