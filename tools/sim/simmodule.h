// The simulated module: its model, firmware version and one 11-byte parameter
// record per port. Answers the configuration commands byte-in/bytes-out and
// checks every record it is asked to store. Models, ports, rates and protocol
// codes are the program's own tables (ModuleProfile, PortRecord); the checks
// on top of them are stricter than a port card's.
#ifndef SIMMODULE_H
#define SIMMODULE_H

#include "moduleprofile.h"
#include "simfaults.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QVector>

#include <optional>

class SimModule : public QObject
{
    Q_OBJECT
public:
    using Model = ModuleModel;

    // Every model the profile knows, in the order of their device codes.
    static QVector<Model> models();
    // The model as the simulator names it: the profile's name up to a hyphen
    // ("Tovrin", "R7"); --model takes it in lower case.
    static QString shortName(Model model);
    static QString optionName(Model model) { return shortName(model).toLower(); }

    explicit SimModule(Model model, QObject *parent = nullptr);

    Model model() const { return m_model; }
    quint8 deviceCode() const;
    int portCount() const;

    void setFirmware(quint8 major, quint8 minor, quint8 patch);
    void setStrict(bool strict) { m_strict = strict; }
    // Only the module-side faults are used here.
    void setFaults(const SimFaults &faults) { m_faults = faults; }

    QList<QByteArray> records() const { return m_records; }
    // Replaces all records; refuses a list of the wrong count or record size.
    // Unsound records are kept and reported through logLine.
    bool setRecords(const QList<QByteArray> &records);

    static QList<QByteArray> defaultRecords(Model model);

    bool portHasUart(int port) const;
    bool portHasCan(int port) const;
    // What is wrong with a record meant for a port; empty when it is sound.
    QStringList recordProblems(int port, const QByteArray &record) const;

    // The reply payload to one command, or nothing when the module stays silent.
    std::optional<QByteArray> answer(quint8 id, const QByteArray &payload);

signals:
    void recordsChanged();
    void logLine(const QString &line);

private:
    std::optional<QByteArray> answerPlain(quint8 id, const QByteArray &payload);
    QByteArray writeAll(const QByteArray &payload);
    std::optional<QByteArray> readPort(const QByteArray &payload) const;
    std::optional<QByteArray> writePort(const QByteArray &payload);
    bool acceptRecord(int port, const QByteArray &record);

    Model m_model;
    quint8 m_version[3] = {1, 0, 7};
    bool m_strict = false;
    SimFaults m_faults;
    QList<QByteArray> m_records;
};

#endif // SIMMODULE_H
