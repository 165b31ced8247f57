#include "ctlfixture.h"

#include "configfile.h"
#include "simstatefile.h"
#include "testpaths.h"

#include <QProcess>
#include <QtTest>

QStringList CtlFixture::routeArguments(Route route, const QString &device)
{
    switch (route) {
    case Route::Direct:
        return {QStringLiteral("--port"), device};
    case Route::ViaFc:
        return {QStringLiteral("--port"), device, QStringLiteral("--via-fc")};
    case Route::GroundStation:
        return {QStringLiteral("--ground-station")};
    }
    return {};
}

QStringList CtlFixture::words(const char *text)
{
    return QString::fromLatin1(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

QString CtlFixture::ctlPath()
{
    return TestPaths::programDir() + QStringLiteral("/tovrinctl");
}

CtlRun CtlFixture::run(const QStringList &arguments, int timeoutMs, const QStringList &environment)
{
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString &entry : environment)
        env.insert(entry.section(QLatin1Char('='), 0, 0), entry.section(QLatin1Char('='), 1));
    process.setProcessEnvironment(env);
    process.start(ctlPath(), arguments);
    CtlRun result;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(5000);
        result.err = QStringLiteral("tovrinctl did not end in time");
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

ModuleConfig CtlFixture::sampleConfig(ModuleModel model)
{
    const auto record = [](const char *hex) { return PortRecord(QByteArray::fromHex(hex)); };
    const PortRecord fast = record("0000c20100010000010010");   // 115200 even, RS-422, send 16
    const PortRecord faster = record("0000100e00000000001100"); // 921600, receive 17
    const PortRecord slow = record("0080250000000000010000");   // 9600, RS-422
    const PortRecord can500 = record("0120a10700000000000000");
    const PortRecord can666 = record("012a2c0a00000000000000");
    const PortRecord plain = record("0000e10000000000000000");
    ModuleConfig config;
    config.model = model;
    config.firmware = QStringLiteral("V2.3.1");
    if (model == ModuleModel::Tovrin)
        config.ports = {fast, faster, can500, plain, can666};
    else
        config.ports = {fast, faster, slow, fast, faster, can500};
    return config;
}

QString CtlFixture::saveConfig(const QTemporaryDir &dir, const QString &name,
                               const ModuleConfig &config)
{
    const QString path = dir.filePath(name);
    QString error;
    if (!ConfigFile::save(path, config, {}, &error))
        qWarning("cannot save %s: %s", qPrintable(path), qPrintable(error));
    return path;
}

QVector<PortRecord> CtlFixture::readState(const QString &path)
{
    QVector<PortRecord> records;
    for (const QByteArray &record : SimStateFile::read(path))
        records.append(PortRecord(record));
    return records;
}

bool SimModule::start(Link link, ModuleModel model, const QTemporaryDir &dir, const QString &name,
                      const QStringList &extra)
{
    m_state = dir.filePath(name + QStringLiteral(".state"));
    QStringList arguments{QStringLiteral("--model"),
                          model == ModuleModel::R7 ? QStringLiteral("r7")
                                                   : QStringLiteral("tovrin"),
                          QStringLiteral("--firmware"),
                          QStringLiteral("2.3.1"),
                          QStringLiteral("--state"),
                          m_state,
                          link == Pty ? QStringLiteral("--pty") : QStringLiteral("--udp")};
    return m_sim.start(arguments + extra);
}
