// The main window's form on its own: start state, texts and their
// translation, the port column's order, the read-only product information,
// and the embedded images the form and the program refer to.
#include "boxwatcher.h"
#include "mainwidget.h"
#include "messageform.h"
#include "ui_mainwidget.h"

#include <QApplication>
#include <QPixmap>
#include <QRegularExpression>
#include <QResource>
#include <QTextBlock>
#include <QTranslator>
#include <QtTest>

namespace
{

// Marks every text it is asked for, so that a test sees which texts went
// through translation and in which context.
class MarkingTranslator : public QTranslator
{
public:
    QString translate(const char *context, const char *sourceText, const char *disambiguation,
                      int n) const override
    {
        Q_UNUSED(n)
        asked.append(QString::fromUtf8(sourceText));
        if (qstrcmp(context, "MainWidget") != 0 || (disambiguation && *disambiguation))
            return {};
        const QString source = QString::fromUtf8(sourceText);
        if (source.startsWith(QStringLiteral("<!DOCTYPE")))
            return QStringLiteral("<p>[product information]</p>");
        return QStringLiteral("[%1]").arg(source);
    }
    bool isEmpty() const override { return false; }

    mutable QStringList asked;
};

QObject *findObject(QWidget *root, const QString &name)
{
    if (root->objectName() == name)
        return root;
    return root->findChild<QObject *>(name);
}

const QStringList &productLines()
{
    static const QStringList lines = {
        QStringLiteral("产品名称：Tovrin引擎"),
        QStringLiteral("产品功能：集成第三方设备功能到Norvek系统。"),
        QStringLiteral(
            "产品用法：通过串口或者CAN口分别连接Norvek飞控和第三方设备，并通过对应软件设置功能。"),
        QStringLiteral("其他：LED1闪烁表示设备正常工作，LED2闪烁表示接收到飞控数据，LED3闪烁表示接"
                       "收到第三方设备数据。")};
    return lines;
}

// Every embedded image the program uses, by its resource path.
const QStringList &imageTable()
{
    static const QStringList paths = [] {
        QStringList p;
        const char *names[] = {"on-load-normal",       "on-load-hover",        "on-load-select",
                               "off-load-normal",      "off-load-hover",       "off-load-select",
                               "search-load-normal",   "search-load-hover",    "search-load-select",
                               "minimize-load-hover",  "minimize-load-select", "exit-load-normal",
                               "exit-load-hover",      "exit-load-select",     "arrow_down",
                               "arrow_down_hover",     "arrow_down_disable",   "divider",
                               "Tovrin引擎模块 轴侧图"};
        for (const char *n : names)
            p << QStringLiteral(":/image/resource/%1.png").arg(QString::fromUtf8(n));
        p << QStringLiteral(":/resource/tl.png");
        return p;
    }();
    return paths;
}

QStringList styleSheetImages(QWidget *root)
{
    static const QRegularExpression url(QStringLiteral("url\\((:[^)]+)\\)"));
    QStringList found;
    QList<QWidget *> widgets = root->findChildren<QWidget *>();
    widgets.prepend(root);
    for (QWidget *w : qAsConst(widgets)) {
        auto it = url.globalMatch(w->styleSheet());
        while (it.hasNext())
            found << it.next().captured(1).trimmed();
    }
    found.removeDuplicates();
    return found;
}

QStringList s_warnings;
void collectWarnings(QtMsgType type, const QMessageLogContext &, const QString &msg)
{
    if (type == QtWarningMsg)
        s_warnings << msg;
}

} // namespace

class TestMainForm : public QObject
{
    Q_OBJECT

private slots:
    void windowStartState();
    void sizeLimits_data();
    void sizeLimits();
    void presetObjectNameIsKept();
    void textStep_data();
    void textStep();
    void translatedTexts_data();
    void translatedTexts();
    void portPlaceholdersAboveButtons();
    void productInformation();
    void productInformationIsReadOnly();
    void imagesResolve_data();
    void imagesResolve();
    void imagesStoredUncompressed();
    void formImagesAreEmbedded();
    void controllerSlotsFindTheirWidgets();
};

void TestMainForm::windowStartState()
{
    QWidget w;
    Ui::MainWidget ui;
    ui.setupUi(&w);

    QCOMPARE(w.objectName(), QStringLiteral("MainWidget"));
    QCOMPARE(w.windowTitle(), QStringLiteral("Tovrin引擎配置工具"));
    QCOMPARE(w.size(), QSize(1028, 720));
    QCOMPARE(w.minimumSize(), QSize(867, 600));
    QCOMPARE(w.maximumSize(), QSize(1200, 720));
    QCOMPARE(w.windowModality(), Qt::WindowModal);
    QCOMPARE(w.contextMenuPolicy(), Qt::CustomContextMenu);
    QVERIFY(w.windowIcon().isNull());

    QVERIFY(ui.rb_TovrinMode->isChecked());
    QVERIFY(!ui.rb_R7FuncMode->isChecked());
    QVERIFY(ui.rb_R7FuncMode->isCheckable());
    QVERIFY(!ui.chb_ConfigByFCS->isChecked());
    QVERIFY(!ui.chb_DLSpace->isChecked());
    QCOMPARE(ui.cbSerial->count(), 0);
    QCOMPARE(ui.stackedWidget->count(), 1);
    QCOMPARE(ui.stackedWidget->currentWidget(), ui.page_2);
    QVERIFY(!ui.label_Picture->pixmap(Qt::ReturnByValue).isNull());

    // The two mode buttons exclude each other.
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w, 5000));
    QTest::mouseClick(ui.rb_R7FuncMode, Qt::LeftButton);
    QVERIFY(ui.rb_R7FuncMode->isChecked());
    QVERIFY(!ui.rb_TovrinMode->isChecked());
}

void TestMainForm::sizeLimits_data()
{
    QTest::addColumn<QSize>("requested");
    QTest::addColumn<QSize>("expected");
    QTest::newRow("too small") << QSize(400, 300) << QSize(867, 600);
    QTest::newRow("too large") << QSize(1920, 1080) << QSize(1200, 720);
    QTest::newRow("narrow and tall") << QSize(500, 1000) << QSize(867, 720);
    QTest::newRow("within") << QSize(900, 650) << QSize(900, 650);
}

void TestMainForm::sizeLimits()
{
    QFETCH(QSize, requested);
    QFETCH(QSize, expected);
    QWidget w;
    Ui::MainWidget ui;
    ui.setupUi(&w);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w, 5000));
    w.resize(requested);
    QTRY_COMPARE_WITH_TIMEOUT(w.size(), expected, 5000);
}

void TestMainForm::presetObjectNameIsKept()
{
    QWidget w;
    w.setObjectName(QStringLiteral("PresetName"));
    Ui::MainWidget ui;
    ui.setupUi(&w);
    QCOMPARE(w.objectName(), QStringLiteral("PresetName"));
    // The children are named as always.
    QCOMPARE(ui.cbAllDownload->objectName(), QStringLiteral("cbAllDownload"));
}

void TestMainForm::textStep_data()
{
    QTest::addColumn<QString>("object");
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("translated");

    const QByteArray text("text");
    const QString title = QStringLiteral("Tovrin引擎配置工具");
    QTest::newRow("window title") << "MainWidget" << QByteArray("windowTitle") << title << true;
    QTest::newRow("title bar") << "label" << text << title << true;
    QTest::newRow("status") << "lblStatus" << text << "TextLabel" << true;
    QTest::newRow("tovrin mode") << "rb_TovrinMode" << text << "Tovrin" << true;
    QTest::newRow("r7 mode") << "rb_R7FuncMode" << text << "R7-Eda" << true;
    QTest::newRow("via fc") << "chb_ConfigByFCS" << text
                            << QStringLiteral("通过飞控配置（Tovrin需将CAN1与飞控连接）") << true;
    QTest::newRow("ground station")
        << "chb_DLSpace" << text << QStringLiteral("连接地面站") << true;
    QTest::newRow("read") << "cbAllDownload" << text << QStringLiteral("读取") << true;
    QTest::newRow("write") << "cbAllSet" << text << QStringLiteral("配置") << true;
    QTest::newRow("tool version label")
        << "label_21" << text << QStringLiteral("工具版本:") << true;
    QTest::newRow("device version label")
        << "label_5" << text << QStringLiteral("设备版本:") << true;
    QTest::newRow("copyright") << "label_20" << text << "LabCopyRight" << true;
    QTest::newRow("tool version") << "labVersion" << text << "V1.0.0" << false;
    QTest::newRow("device version") << "tbtnVersion" << text << "V1.0.0" << false;
    for (const char *empty :
         {"label_4", "btnMin", "btnClose", "btnSearchSerialPort", "label_showState",
          "btnOpenSerialPort", "label_Picture", "LabCentorPicture"})
        QTest::newRow(empty) << empty << text << QString() << false;
}

void TestMainForm::textStep()
{
    QFETCH(QString, object);
    QFETCH(QByteArray, property);
    QFETCH(QString, text);

    QWidget w;
    Ui::MainWidget ui;
    ui.setupUi(&w);
    QObject *o = findObject(&w, object);
    QVERIFY2(o, qPrintable(object));
    QCOMPARE(o->property(property.constData()).toString(), text);
}

void TestMainForm::translatedTexts_data()
{
    textStep_data();
}

void TestMainForm::translatedTexts()
{
    QFETCH(QString, object);
    QFETCH(QByteArray, property);
    QFETCH(QString, text);
    QFETCH(bool, translated);

    MarkingTranslator translator;
    QVERIFY(QCoreApplication::installTranslator(&translator) || true);
    QWidget w;
    Ui::MainWidget ui;
    ui.setupUi(&w);
    QCoreApplication::removeTranslator(&translator);

    QObject *o = findObject(&w, object);
    QVERIFY2(o, qPrintable(object));
    const QString shown = o->property(property.constData()).toString();
    if (translated)
        QCOMPARE(shown, QStringLiteral("[%1]").arg(text));
    else
        QCOMPARE(shown, text);
    if (!translated && !text.isEmpty())
        QVERIFY(!translator.asked.contains(text));
    // The product information is translated as a whole.
    QCOMPARE(ui.textCentorMsg->toPlainText(), QStringLiteral("[product information]"));
}

void TestMainForm::portPlaceholdersAboveButtons()
{
    QWidget w;
    Ui::MainWidget ui;
    ui.setupUi(&w);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w, 5000));

    const QWidget *ports[] = {ui.wdgPort1, ui.wdgPort2, ui.wdgPort3,
                              ui.wdgPort4, ui.wdgPort5, ui.wdgPort6};
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(ui.verticalLayout_3->indexOf(const_cast<QWidget *>(ports[i])), i);
        QCOMPARE(ports[i]->parentWidget(), ui.widget);
        QVERIFY(ports[i]->children().isEmpty());
        if (i > 0)
            QVERIFY(ports[i]->y() >= ports[i - 1]->y());
    }
    QCOMPARE(ui.verticalLayout_3->itemAt(6)->layout(), ui.horizontalLayout_2);
    QVERIFY(ui.horizontalLayout_2->indexOf(ui.cbAllDownload) <
            ui.horizontalLayout_2->indexOf(ui.cbAllSet));
    QVERIFY(ui.cbAllDownload->y() >= ui.wdgPort6->y() + ui.wdgPort6->height());
    QCOMPARE(ui.cbAllSet->y(), ui.cbAllDownload->y());
    // The information panel sits to the right of the port column.
    QVERIFY(ui.widget_PictureMsg->x() >= ui.widget->x() + ui.widget->width());
}

void TestMainForm::productInformation()
{
    QWidget w;
    Ui::MainWidget ui;
    ui.setupUi(&w);
    const QTextDocument *doc = ui.textCentorMsg->document();

    QCOMPARE(doc->blockCount(), 7);
    int i = 0;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next(), ++i) {
        QCOMPARE(b.text(), i % 2 == 0 ? productLines().at(i / 2) : QString());
        const QTextBlockFormat f = b.blockFormat();
        QCOMPARE(f.topMargin(), 0.0);
        QCOMPARE(f.bottomMargin(), 0.0);
        QCOMPARE(f.leftMargin(), 0.0);
        QCOMPARE(f.rightMargin(), 0.0);
        QCOMPARE(f.indent(), 0);
        QCOMPARE(f.textIndent(), 0.0);
    }
    const QTextCharFormat chars = doc->begin().charFormat();
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    QCOMPARE(chars.fontFamilies().toStringList(), QStringList{QStringLiteral("微软雅黑")});
#else
    QCOMPARE(chars.fontFamily(), QStringLiteral("微软雅黑"));
#endif
    QCOMPARE(chars.fontPointSize(), 11.0);
}

void TestMainForm::productInformationIsReadOnly()
{
    QWidget w;
    Ui::MainWidget ui;
    ui.setupUi(&w);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w, 5000));
    QCOMPARE(ui.textCentorMsg->textInteractionFlags(), Qt::TextSelectableByKeyboard);
    const QString before = ui.textCentorMsg->toHtml();

    ui.textCentorMsg->setFocus();
    QTest::mouseClick(ui.textCentorMsg->viewport(), Qt::LeftButton, {}, QPoint(20, 10));
    QTest::keyClicks(ui.textCentorMsg, QStringLiteral("typed"));
    QTest::keyClick(ui.textCentorMsg, Qt::Key_Backspace);
    QTest::keyClick(ui.textCentorMsg, Qt::Key_Delete);
    QTest::keyClick(ui.textCentorMsg, Qt::Key_Return);
    QTest::keyClick(ui.textCentorMsg, Qt::Key_V, Qt::ControlModifier);

    QCOMPARE(ui.textCentorMsg->toHtml(), before);
}

void TestMainForm::imagesResolve_data()
{
    QTest::addColumn<QString>("path");
    for (const QString &p : imageTable())
        QTest::newRow(qPrintable(p)) << p;
}

void TestMainForm::imagesResolve()
{
    QFETCH(QString, path);
    const QPixmap pixmap(path);
    QVERIFY2(!pixmap.isNull(), qPrintable(path));
}

void TestMainForm::imagesStoredUncompressed()
{
    for (const QString &p : imageTable()) {
        const QResource r(p);
        QVERIFY2(r.isValid(), qPrintable(p));
        QCOMPARE(r.compressionAlgorithm(), QResource::NoCompression);
        // Really a PNG file, not something renamed.
        QVERIFY2(r.data() && r.size() > 8 &&
                     QByteArray::fromRawData(reinterpret_cast<const char *>(r.data()), 8) ==
                         QByteArray("\x89PNG\r\n\x1a\n", 8),
                 qPrintable(p));
    }
}

void TestMainForm::formImagesAreEmbedded()
{
    QWidget w;
    Ui::MainWidget ui;
    ui.setupUi(&w);
    MessageForm dialog;

    QStringList used = styleSheetImages(&w) + styleSheetImages(&dialog);
    used.removeDuplicates();
    // The form's image buttons, arrows, logo and module drawing.
    QVERIFY(used.size() >= 15);
    for (const QString &path : qAsConst(used)) {
        QVERIFY2(imageTable().contains(path),
                 qPrintable(path + QStringLiteral(" is not in the image table")));
        QVERIFY2(!QPixmap(path).isNull(), qPrintable(path));
    }
}

void TestMainForm::controllerSlotsFindTheirWidgets()
{
    // A slot named after a widget that the form lacks makes Qt warn while the
    // form connects slots by name.
    s_warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectWarnings);
    {
        BoxWatcher boxes; // whatever the window reports at start, dismissed
        MainWidget window;
        MessageForm dialog;
    }
    qInstallMessageHandler(previous);
    for (const QString &warning : qAsConst(s_warnings))
        QVERIFY2(!warning.contains(QStringLiteral("connectSlotsByName")), qPrintable(warning));
}

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
