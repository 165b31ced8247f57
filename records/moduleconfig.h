// One module's settings as a configuration file holds them: the model, the
// firmware it was read from, when it was saved, and the ports' records in
// panel order. A file that names its ports may give only some of them: the
// others are invalid records here, and keep what the module or an earlier
// file holds.
#ifndef MODULECONFIG_H
#define MODULECONFIG_H

#include "moduleprofile.h"
#include "portrecord.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QVector>

struct ModuleConfig {
    ModuleModel model = ModuleModel::Tovrin;
    QString firmware;
    QDateTime saved;
    QVector<PortRecord> ports;

    // Whether the file gives port's record (port counted from 0).
    bool covers(int port) const { return ports.value(port).isValid(); }
    QList<int> coveredPorts() const
    {
        QList<int> covered;
        for (int i = 0; i < ports.size(); ++i) {
            if (covers(i))
                covered.append(i);
        }
        return covered;
    }
    bool isComplete() const { return coveredPorts().size() == ModuleProfile::portCount(model); }
    // The records a write of this file sends: its own, and base's for the
    // ports it leaves out.
    QVector<PortRecord> over(const QVector<PortRecord> &base) const
    {
        QVector<PortRecord> merged = base;
        merged.resize(ModuleProfile::portCount(model));
        for (int i = 0; i < ports.size() && i < merged.size(); ++i) {
            if (covers(i))
                merged[i] = ports.at(i);
        }
        return merged;
    }
    // Lays later over this file, port by port: later's records win.
    void overlay(const ModuleConfig &later) { ports = later.over(ports); }
};

#endif // MODULECONFIG_H
