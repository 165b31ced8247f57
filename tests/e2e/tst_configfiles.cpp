// Configuration files in the window, against the device simulator: a module
// read, saved, put on another module and written gives back the first
// module's exact bytes; bad files change no card; and the confirmation
// dialog lists what a write changes against what the module holds.
#include "badtargets.h"
#include "configfile.h"
#include "configsession.h"
#include "filechooser.h"
#include "mainwidget.h"
#include "portconfig.h"
#include "simsession.h"
#include "windowprobe.h"
#include "userpick.h"

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QDir>
#include <QLabel>
#include <QUrl>
#include <QtTest>

using namespace LinkBytes;

namespace
{

// Answers the next file dialogs with a path, as a user who types it would.
class FileAnswer : public QObject
{
public:
    explicit FileAnswer(const QString &path) : path(path)
    {
        connect(FileChooser::instance(), &FileChooser::aboutToShow, this,
                [this](QFileDialog *dialog) {
                    ++shown;
                    sidebar = dialog->sidebarUrls();
                    const QString answer = this->path;
                    QTimer::singleShot(0, dialog, [dialog, answer] {
                        dialog->selectFile(answer);
                        static_cast<QDialog *>(dialog)->accept();
                    });
                });
    }
    QString path;
    int shown = 0;
    QList<QUrl> sidebar;
};

QStringList simArgs(bool r7)
{
    return {QStringLiteral("--model"), r7 ? QStringLiteral("r7") : QStringLiteral("tovrin"),
            QStringLiteral("--firmware"), QStringLiteral("2.3.1")};
}

// Opens the link and waits for the read the open chains into.
bool openAndRead(SimSession &s)
{
    QSignalSpy finished(WindowLookup::session(s.window()), &ConfigSession::finished);
    s.clickOpen();
    const auto readDone = [&finished] {
        for (const QList<QVariant> &args : finished) {
            if (args.at(0).value<ConfigSession::Operation>() == ConfigSession::Operation::Read)
                return true;
        }
        return false;
    };
    return QTest::qWaitFor(readDone, SimSession::WaitMs) && s.status() == Look::readOk();
}

void save(SimSession &s, const QString &path)
{
    FileAnswer answer(path);
    WindowProbe::click(s.window(), "btnSaveConfig");
    QCOMPARE(answer.shown, 1);
}

void load(SimSession &s, const QString &path)
{
    FileAnswer answer(path);
    WindowProbe::click(s.window(), "btnLoadConfig");
    QCOMPARE(answer.shown, 1);
}

// The change list the confirmation dialog shows after a click on Write.
QStringList changeList(SimSession &s)
{
    s.clickWrite();
    auto *label = child<QLabel>(WindowLookup::dialog(s.window()), "lblChanges");
    return label->text().split(QLatin1Char('\n'));
}

const QString kNothingRead = QStringLiteral("尚未从模块读取参数，无法列出将改变的内容。");
const QString kNothingDiffers = QStringLiteral("与模块中的参数相比没有改变。");

QByteArray recordsFile(const char *model, const QByteArrayList &records)
{
    QJsonArray ports;
    for (const QByteArray &r : records)
        ports.append(QJsonObject{{"record", QString::fromLatin1(r.toHex())}});
    return QJsonDocument(QJsonObject{{"format", "tovrin-module-config"},
                                     {"version", 1},
                                     {"model", model},
                                     {"ports", ports}})
        .toJson();
}

// Entries that name their port: {port (from 1), record}.
QByteArray namedFile(const char *model, const QVector<QPair<QJsonValue, QByteArray>> &entries)
{
    QJsonArray ports;
    for (const auto &entry : entries) {
        QJsonObject port{{"record", QString::fromLatin1(entry.second.toHex())}};
        if (!entry.first.isUndefined())
            port.insert("port", entry.first);
        ports.append(port);
    }
    return QJsonDocument(QJsonObject{{"format", "tovrin-module-config"},
                                     {"version", 1},
                                     {"model", model},
                                     {"ports", ports}})
        .toJson();
}

// A valid Tovrin file of records that differ from every fresh card.
QByteArrayList tovrinFileRecords()
{
    return sampleRecords(false);
}

void selectItem(PortConfig *card, const char *list, int index)
{
    auto *box = card->findChild<QComboBox *>(QLatin1String(list));
    QVERIFY(box);
    UserPick::pick(box, index);
}

} // namespace

class TestConfigFiles : public QObject
{
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void changeListFollowsEditsAndLoads();
    void changeListWithoutRead();
    void badFiles_data();
    void badFiles();
    void refusedRecords_data();
    void refusedRecords();
    void saveRefusesTargets_data();
    void saveRefusesTargets();
    void partialFileChangesNamedCards();
    void writeLeavesSnapshot();
    void unusableHistoryStopsWrite();
};

void TestConfigFiles::roundTrip_data()
{
    QTest::addColumn<bool>("r7");
    QTest::addColumn<QByteArrayList>("records");
    // The change list when the file is loaded onto a module set up alike
    // but for its first port.
    QTest::addColumn<QStringList>("changes");

    // Codes 13-15 name the first three entries; 100 and 127 name none.
    QTest::newRow("R7-Eda")
        << true
        << QByteArrayList{uart(921600, 1, 0, 0, 1, 13, 14), uart(115200, 0, 0, 0, 0, 15, 100),
                          uart(9600, 2, 1, 1, 1, 127, 31),  uart(57600, 0, 0, 0, 0, 16, 2),
                          uart(230400, 1, 0, 0, 0, 1, 13),  can(500000, 15, 100)}
        << QStringList{QStringLiteral("Uart2 波特率: 57600 → 921600"),
                       QStringLiteral("Uart2 奇偶校验: 无 → 偶校验"),
                       QStringLiteral("Uart2 电平: 232 → 422"),
                       QStringLiteral("Uart2 接收功能: 不启用 (0) → 不启用 (13)"),
                       QStringLiteral("Uart2 发送功能: 不启用 → Norvek标准吊舱协议")};
    // Tovrin cards hide the level, but the record keeps its byte.
    QTest::newRow("Tovrin") << false
                            << QByteArrayList{uart(115200, 0, 0, 0, 1, 13, 0),
                                              uart(921600, 1, 0, 0, 1, 14, 15),
                                              can(500000, 100, 16), uart(57600, 0, 0, 0, 1, 2, 16),
                                              can(666666, 127, 13)}
                            << QStringList{
                                   QStringLiteral("Port1 波特率: 57600 → 115200"),
                                   QStringLiteral("Port1 电平: 232 → 422"),
                                   QStringLiteral("Port1 接收功能: 不启用 (0) → 不启用 (13)")};
}

void TestConfigFiles::roundTrip()
{
    QFETCH(bool, r7);
    QFETCH(QByteArrayList, records);
    QFETCH(QStringList, changes);

    SimSession s;
    QVERIFY(s.start(Route::Direct, simArgs(r7), r7, records));
    QVERIFY(openAndRead(s));
    // Codes 13-15 show as the first three entries; the cards keep them.
    QCOMPARE(changeList(s), QStringList{kNothingDiffers});
    s.clickCancel();

    // Saved without the suffix: the window adds it.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("airframe1"));
    save(s, path);
    QFile file(path + QStringLiteral(".tovrin.json"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonObject json = QJsonDocument::fromJson(file.readAll()).object();
    QCOMPARE(json.value("model").toString(),
             r7 ? QStringLiteral("R7-Eda") : QStringLiteral("Tovrin"));
    QCOMPARE(json.value("firmware").toString(), QStringLiteral("V2.3.1"));
    QVERIFY(QDateTime::fromString(json.value("saved").toString(), Qt::ISODate).isValid());
    const QJsonArray ports = json.value("ports").toArray();
    QCOMPARE(ports.size(), records.size());
    for (int i = 0; i < ports.size(); ++i)
        QCOMPARE(ports.at(i).toObject().value("record").toString(),
                 QString::fromLatin1(records.at(i).toHex()));

    // The next airframe: a module set up alike but for its first port.
    QByteArrayList next = records;
    next[0] = defaultRecord();
    s.clickOpen();
    QVERIFY(s.restartSimulator(simArgs(r7), next));
    QVERIFY(openAndRead(s));
    QCOMPARE(s.cardRecords().first(), defaultRecord());

    load(s, file.fileName());
    QVERIFY(s.boxes.boxes.isEmpty());
    QVERIFY(s.stored() != records); // nothing sent yet

    QCOMPARE(changeList(s), changes);
    s.clickOk();
    QTRY_COMPARE_WITH_TIMEOUT(s.status(), Look::writeOk(), SimSession::WaitMs);
    QCOMPARE(s.stored(), records);
    QCOMPARE(s.received().last(), writeRequests(Route::Direct, r7, records).last());
}

// An R7-Eda module read and saved; two fields changed on a card; the file
// loaded back and written.
void TestConfigFiles::changeListFollowsEditsAndLoads()
{
    const QByteArrayList records = sampleRecords(true);
    SimSession s;
    QVERIFY(s.start(Route::Direct, simArgs(true), true, records));
    QVERIFY(openAndRead(s));
    QCOMPARE(changeList(s), QStringList{kNothingDiffers});
    s.clickCancel();

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("r7.tovrin.json"));
    save(s, path);

    selectItem(s.card(1), "cmbUartBaudrate", 2);
    selectItem(s.card(4), "cmbRxProtocol", 3);
    QCOMPARE(changeList(s),
             (QStringList{QStringLiteral("Uart3 波特率: 4800 → 9600"),
                          QStringLiteral("Uart6 接收功能: Norvek标准吊舱协议 → 零度标准吊舱")}));
    s.clickCancel();

    load(s, path);
    QCOMPARE(s.cardRecords(), records);
    QCOMPARE(changeList(s), QStringList{kNothingDiffers});
    s.clickOk();
    QTRY_COMPARE_WITH_TIMEOUT(s.status(), Look::writeOk(), SimSession::WaitMs);
    QCOMPARE(s.stored(), records);

    // What was written is what the module now holds.
    selectItem(s.card(0), "cmbParity", 0);
    QCOMPARE(changeList(s), QStringList{QStringLiteral("Uart2 奇偶校验: 偶校验 → 无")});
    s.clickCancel();
}

void TestConfigFiles::changeListWithoutRead()
{
    SimSession s;
    // A link is open (a write needs one), but the module never answers.
    QVERIFY(s.start(Route::Direct, simArgs(false) + QStringList{"--drop-every", "1"}));
    s.clickOpen();
    QVERIFY(WindowLookup::linkOpen(s.window()));
    QCOMPARE(changeList(s), QStringList{kNothingRead});
    s.clickCancel();

    // A loaded file is not what the module holds.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.tovrin.json"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(recordsFile("Tovrin", tovrinFileRecords()));
    file.close();
    load(s, path);
    QCOMPARE(s.cardRecords(), tovrinFileRecords());
    QCOMPARE(changeList(s), QStringList{kNothingRead});
    s.clickCancel();
}

void TestConfigFiles::badFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message");

    const QByteArrayList good = tovrinFileRecords();
    QByteArrayList shortRecord = good;
    shortRecord[2].chop(1);
    const QByteArray valid = recordsFile("Tovrin", good);

    QTest::newRow("not JSON") << QByteArray("{\"format\": ")
                              << QStringLiteral("文件不是有效的 JSON（第 11 个字节附近有错）");
    QTest::newRow("wrong format") << QByteArray(valid).replace("tovrin-module-config",
                                                               "other-config")
                                  << QStringLiteral("文件不是 Tovrin 模块配置文件");
    QTest::newRow("newer version")
        << QByteArray(valid).replace("\"version\": 1", "\"version\": 2")
        << QStringLiteral("文件格式版本 2 比本程序能读的版本 1 新，请使用更新的程序");
    QTest::newRow("unknown model")
        << recordsFile("R9", good) << QStringLiteral("未知的模块型号“R9”，应为 Tovrin 或 R7-Eda");
    QTest::newRow("wrong number of ports")
        << recordsFile("Tovrin", good.mid(0, 4))
        << QStringLiteral("型号 Tovrin 有 5 个端口，文件中有 4 个");
    QTest::newRow("record not 22 hex digits")
        << recordsFile("Tovrin", shortRecord)
        << QStringLiteral("端口 Port3：record 不是 22 位十六进制数字");
    QTest::newRow("field out of range")
        << QByteArray(valid).replace("{\n            \"record\": \"" + good.at(1).toHex() + "\"",
                                     "{\n            \"baud\": 1200, \"record\": \"" +
                                         good.at(1).toHex() + "\"")
        << QStringLiteral("端口 Port2：字段“baud”的值超出范围");
    QTest::newRow("field disagrees with record")
        << QByteArray(valid).replace("{\n            \"record\": \"" + good.at(1).toHex() + "\"",
                                     "{\n            \"baud\": 115200, \"record\": \"" +
                                         good.at(1).toHex() + "\"")
        << QStringLiteral("端口 Port2：字段“baud”与 record 不一致");
    const QByteArray other = good.at(0);
    QTest::newRow("partial: a port twice")
        << namedFile("Tovrin", {{3, other}, {1, other}, {3, other}})
        << QStringLiteral("第 3 个端口条目：端口 3 已由第 1 个条目给出");
    QTest::newRow("partial: port out of range")
        << namedFile("Tovrin", {{2, other}, {6, other}})
        << QStringLiteral("第 2 个端口条目：“port”应为 1 到 5 的整数（型号 Tovrin）");
    QTest::newRow("partial: port 0")
        << namedFile("Tovrin", {{0, other}})
        << QStringLiteral("第 1 个端口条目：“port”应为 1 到 5 的整数（型号 Tovrin）");
    QTest::newRow("partial: some entries without port")
        << namedFile("Tovrin", {{1, other}, {QJsonValue::Undefined, other}})
        << QStringLiteral("第 2 个端口条目没有“port”字段，而其他条目有：要么每个条目都写明端口，"
                          "要么都不写");
    QTest::newRow("partial: record refused by the named port")
        << namedFile("Tovrin", {{1, QByteArray::fromHex("0120a10700000000000000")}})
        << QStringLiteral("端口 Port1：字段“kind”为 CAN，但此端口只能用作 UART");
    // A good file of the other model.
    QTest::newRow("model of the other mode")
        << recordsFile("R7-Eda", sampleRecords(true))
        << QStringLiteral("文件是 R7-Eda 的配置，当前为 Tovrin 模式。请切换到 R7-Eda 模式或连接 "
                          "R7-Eda 模块后再加载。");
}

void TestConfigFiles::badFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, message);

    SimSession s;
    QVERIFY(s.start(Route::Direct, simArgs(false)));
    const QByteArrayList before = s.cardRecords();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bad.tovrin.json"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();

    load(s, path);
    QCOMPARE(s.boxes.boxes.size(), 1);
    QCOMPARE(s.boxes.boxes.first().text, message);
    QCOMPARE(s.cardRecords(), before);
}

void TestConfigFiles::refusedRecords_data()
{
    QTest::addColumn<bool>("r7");
    QTest::addColumn<int>("port");
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QString>("message");
    QTest::newRow("UART on CAN2") << true << 5 << uart(115200, 1, 0, 0, 1, 0, 0x10)
                                  << QStringLiteral(
                                         "端口 CAN2：字段“kind”为 UART，但此端口只能用作 CAN");
    QTest::newRow("CAN on a UART-only port")
        << false << 0 << can(500000, 0, 0)
        << QStringLiteral("端口 Port1：字段“kind”为 CAN，但此端口只能用作 UART");
    QTest::newRow("UART at 1200 baud")
        << true << 1 << uart(1200, 0, 0, 0, 0, 0, 0)
        << QStringLiteral("端口 Uart3：字段“baud”的值 1200 不是此端口可选的速率");
    QByteArray kind5 = uart(115200, 0, 0, 0, 0, 0, 0);
    kind5[0] = 5;
    QTest::newRow("kind 5") << false << 3 << kind5
                            << QStringLiteral(
                                   "端口 Port4：字段“kind”的值 5 既不是 UART（0）也不是 CAN（1）");
    QTest::newRow("CAN at 250k") << false << 2 << can(250000, 0, 0)
                                 << QStringLiteral(
                                        "端口 Port3：字段“baud”的值 250000 不是此端口可选的速率");
}

// A file with a record a port refuses is refused as a whole, naming the port
// and the field, and changes no card. (Once, such a record left only its own
// card alone while the other cards took theirs.)
void TestConfigFiles::refusedRecords()
{
    QFETCH(bool, r7);
    QFETCH(int, port);
    QFETCH(QByteArray, record);
    QFETCH(QString, message);
    QByteArrayList records = sampleRecords(r7);
    records[port] = record;
    SimSession s;
    QVERIFY(s.start(Route::Direct, simArgs(r7), r7));
    const QByteArrayList before = s.cardRecords();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.tovrin.json"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(recordsFile(r7 ? "R7-Eda" : "Tovrin", records));
    file.close();

    load(s, path);
    QCOMPARE(s.boxes.boxes.size(), 1);
    QCOMPARE(s.boxes.boxes.first().text, message);
    QCOMPARE(s.cardRecords(), before);
    QCOMPARE(s.received(), QByteArrayList());
}

void TestConfigFiles::saveRefusesTargets_data()
{
    // The file dialog itself will not take a path in a folder that is not
    // there; the writer's own test covers that.
    BadTargets::addRows({QStringLiteral("missing folder")});
}

// Save onto a device, a FIFO, a folder, a link or an unwritable place: one
// message box that says why, and what is there stays as it was.
void TestConfigFiles::saveRefusesTargets()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString why;
    const QString target = BadTargets::make(kind, dir.path(), &why);
    if (target.isEmpty() && !why.isEmpty())
        QSKIP(qPrintable(why));
    QVERIFY(target.endsWith(ConfigFile::suffix()));
    const QString before = BadTargets::fingerprint(target);

    SimSession s;
    QVERIFY(s.start(Route::Direct, simArgs(false)));
    const QString status = s.status();
    // Typed without the suffix, as the window adds it: the dialog sees a new
    // name and asks nothing.
    save(s, target.left(target.size() - ConfigFile::suffix().size()));
    QCOMPARE(s.boxes.boxes.size(), 1);
    const QString text = s.boxes.boxes.first().text;
    QVERIFY2(text.startsWith(QStringLiteral("无法保存文件 %1：").arg(target)), qPrintable(text));
    QVERIFY2(text.contains(BadTargets::reason(kind)), qPrintable(text));
    QCOMPARE(s.status(), status);
    QCOMPARE(BadTargets::fingerprint(target), before);
}

// A file naming two ports changes those two cards, and the status says which.
void TestConfigFiles::partialFileChangesNamedCards()
{
    const QByteArrayList records = sampleRecords(true);
    SimSession s;
    QVERIFY(s.start(Route::Direct, simArgs(true), true, records));
    QVERIFY(openAndRead(s));
    const QByteArray can = QByteArray::fromHex("0120a10700000000000000");
    const QByteArray uart = QByteArray::fromHex("0080250000000000010000");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("gimbal.tovrin.json"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(namedFile("R7-Eda", {{6, can}, {2, uart}}));
    file.close();

    load(s, path);
    QVERIFY(s.boxes.boxes.isEmpty());
    QByteArrayList expected = records;
    expected[1] = uart;
    expected[5] = can;
    QCOMPARE(s.cardRecords(), expected);
    QCOMPARE(s.status(),
             QStringLiteral("已加载 Uart3, CAN2 的配置，其余端口不变，点击“配置”写入模块"));
    s.clickWrite();
    s.clickOk();
    QTRY_COMPARE_WITH_TIMEOUT(s.status(), Look::writeOk(), SimSession::WaitMs);
    QCOMPARE(s.stored(), expected);
}

// A write from the window leaves in the history folder what the module held
// before it; the Load dialog shows that folder in its sidebar.
void TestConfigFiles::writeLeavesSnapshot()
{
    QTemporaryDir history;
    QVERIFY(history.isValid());
    const QByteArray previous = qgetenv("TOVRIN_HISTORY_DIR");
    qputenv("TOVRIN_HISTORY_DIR", history.path().toLocal8Bit());
    const QByteArrayList records = sampleRecords(false);
    SimSession s;
    const bool started = s.start(Route::Direct, simArgs(false), false, records);
    qputenv("TOVRIN_HISTORY_DIR", previous);
    QVERIFY(started);
    QVERIFY(openAndRead(s));
    selectItem(s.card(3), "cmbRxProtocol", 3);
    const QByteArrayList written = s.cardRecords();
    QVERIFY(written != records);
    s.clickWrite();
    s.clickOk();
    QTRY_COMPARE_WITH_TIMEOUT(s.status(), Look::writeOk(), SimSession::WaitMs);
    QCOMPARE(s.stored(), written);

    const QStringList files =
        QDir(history.path()).entryList({QStringLiteral("*.tovrin.json")}, QDir::Files);
    QCOMPARE(files.size(), 1);
    const QString snapshot = QDir(history.path()).filePath(files.first());
    ModuleConfig config;
    QString error;
    QVERIFY2(ConfigFile::load(snapshot, &config, &error), qPrintable(error));
    QByteArrayList held;
    for (const PortRecord &record : qAsConst(config.ports))
        held.append(record.bytes());
    QCOMPARE(held, records);
    QFile file(snapshot);
    QVERIFY(file.open(QIODevice::ReadOnly));
    WriteNote note;
    QVERIFY(ConfigFile::writeNote(file.readAll(), &note));
    QCOMPARE(note.outcome, WriteNote::Outcome::Success);

    FileAnswer answer(snapshot);
    WindowProbe::click(s.window(), "btnLoadConfig");
    QCOMPARE(answer.shown, 1);
    QVERIFY(answer.sidebar.contains(QUrl::fromLocalFile(history.path())));
    QCOMPARE(s.cardRecords(), records);
}

// A snapshot that cannot be saved: a box names the folder, the status says
// why nothing was written, and the module hears no write.
void TestConfigFiles::unusableHistoryStopsWrite()
{
    QTemporaryDir scratch;
    QVERIFY(scratch.isValid());
    QFile blocker(scratch.filePath(QStringLiteral("blocker")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString history = blocker.fileName() + QStringLiteral("/history");
    const QByteArray previous = qgetenv("TOVRIN_HISTORY_DIR");
    qputenv("TOVRIN_HISTORY_DIR", history.toLocal8Bit());
    const QByteArrayList records = sampleRecords(false);
    SimSession s;
    const bool started = s.start(Route::Direct, simArgs(false), false, records);
    qputenv("TOVRIN_HISTORY_DIR", previous);
    QVERIFY(started);
    QVERIFY(openAndRead(s));
    selectItem(s.card(3), "cmbRxProtocol", 3);
    const int heard = s.received().size();
    s.clickWrite();
    s.clickOk();
    QTRY_COMPARE_WITH_TIMEOUT(s.boxes.boxes.size(), 1, SimSession::WaitMs);
    QVERIFY2(s.boxes.boxes.first().text.contains(history), qPrintable(s.boxes.boxes.first().text));
    QVERIFY(s.boxes.boxes.first().text.contains(QStringLiteral("未向模块发送任何参数。")));
    QCOMPARE(s.status(), QStringLiteral("未写入：无法保存写入前的快照"));
    QTest::qWait(200);
    QCOMPARE(s.received().size(), heard);
    QCOMPARE(s.stored(), records);
}

QTEST_MAIN(TestConfigFiles)
#include "tst_configfiles.moc"
