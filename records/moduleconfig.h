// One module's settings as a configuration file holds them: the model, the
// firmware it was read from, when it was saved, and every port's record in
// panel order.
#ifndef MODULECONFIG_H
#define MODULECONFIG_H

#include "moduleprofile.h"
#include "portrecord.h"

#include <QDateTime>
#include <QString>
#include <QVector>

struct ModuleConfig {
    ModuleModel model = ModuleModel::Tovrin;
    QString firmware;
    QDateTime saved;
    QVector<PortRecord> ports;
};

#endif // MODULECONFIG_H
