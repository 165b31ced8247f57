#include "portconfig.h"

// Placeholder until the card form lands.
PortConfig::PortConfig(QWidget *parent) : QWidget(parent) { resize(648, 89); }
PortConfig::~PortConfig() = default;
void PortConfig::setId(int id) { portId = id; }
void PortConfig::setPortTitle(const QString &) {}
void PortConfig::setUartOnly() {}
void PortConfig::setCanOnly() {}
void PortConfig::hideLevel() {}
void PortConfig::lockUartSettings() {}
QByteArray PortConfig::getPortParam() const { return QByteArray(11, '\0'); }
bool PortConfig::setPortParam(const QByteArray &record) { return record.size() == 11; }
