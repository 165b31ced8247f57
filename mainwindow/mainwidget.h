// The program's only window: the view of a configuration session. It reads
// its form (route, mode, cards) when the user acts, calls the session, and
// turns the session's signals into button looks, status texts, the version
// text and the port cards.
#ifndef MAINWIDGET_H
#define MAINWIDGET_H

#include "configsession.h"
#include "portrecord.h"

#include <QPoint>
#include <QStringList>
#include <QVector>
#include <QWidget>

#include <memory>

class FocusRing;
class QImage;
class QTimer;
class MessageForm;
class PortPanel;

namespace Ui
{
class MainWidget;
}

class MainWidget : public QWidget
{
    Q_OBJECT
public:
    explicit MainWidget(QWidget *parent = nullptr);
    ~MainWidget() override;

    // Serial devices the system does not list (pseudo-terminals, some
    // adapters); every port search appends them after the system's ports.
    static void setExtraSerialPorts(const QStringList &devices);
    static QStringList extraSerialPorts();
    // Opens the first of those devices as soon as the window is up, as if
    // the plug button were clicked (for demos and kiosk shortcuts).
    static void setConnectAtStart(bool connect);

public slots:
    void sltAccept(int Id, int index, QString msg, QString currentComboxText);
    void sltSend(int Id, int index, QString msg, QString currentComboxText);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void on_btnOpenSerialPort_clicked();
    void on_btnSearchSerialPort_clicked();
    void on_cbAllSet_clicked();
    void on_cbAllDownload_clicked();
    void on_tbtnVersion_clicked();
    void on_rb_TovrinMode_clicked();
    void on_rb_R7FuncMode_clicked();
    void on_chb_ConfigByFCS_clicked(bool checked);
    void on_chb_DLSpace_clicked(bool checked);
    void on_btnSaveConfig_clicked();
    void on_btnLoadConfig_clicked();

private:
    void init();
    void setUpKeyboard();
    void orderTabs();
    void setPicture(const QImage &picture);
    void searchPorts();
    QStringList presentPorts(bool existingExtrasOnly) const;
    void showPorts(const QStringList &found, int preferred, bool pluggedIn);
    void followSystemPorts();
    void openLink();
    void closeLink();
    void setLinkControls(bool open);
    void syncRouteControls();
    ConfigSession::Route routeShown() const;
    void setModel(ModuleModel model);
    bool linkReady();
    void startWrite();
    void onVersionRead(ModuleModel model, const QString &firmware);
    void onFinished(ConfigSession::Operation operation, ConfigSession::Outcome outcome);
    void onIdle();
    QStringList changeList(const QVector<QByteArray> &records) const;
    bool applyRecord(int port, const QByteArray &record);
    QVector<QByteArray> cardRecords() const;
    void onLinkLost();
    void endLink();
    bool hasUnwrittenEdits() const;
    bool discardEditsAllowed();

    std::unique_ptr<Ui::MainWidget> ui;
    ConfigSession *session = nullptr;
    PortPanel *panel = nullptr;
    MessageForm *messageForm = nullptr;
    QStringList portNames;
    // What the module is known to hold: the records of the last complete
    // read, or of the last write it accepted; empty when nothing is known
    // for the cards on show.
    QVector<PortRecord> moduleRecords;
    // Per card, the record read or loaded into it last and what the card
    // showed right after; a card that still shows that gives the record's
    // own bytes (a protocol code of 13 shows as, and would be written as, 0).
    struct Applied {
        QByteArray record;
        QByteArray shown;
    };
    QVector<Applied> applied;
    // The records of the read or write in progress.
    QVector<PortRecord> reading;
    QVector<PortRecord> writing;
    // While the question before a write is open: the records its change list
    // was computed from, which are what "确认" sends, and what the cards
    // showed then.
    QVector<QByteArray> confirming;
    QVector<QByteArray> confirmingShown;
    // What the cards showed when the write in progress was confirmed.
    QVector<QByteArray> writingShown;
    // What each card showed when it was built, before any record reached it.
    QVector<QByteArray> built;
    // The devices present when the list was last filled; the list is filled
    // again only when they change.
    QStringList seenPorts;
    // The device the user chose last, or that was chosen for them (named on
    // the command line, or plugged in): selected again when it comes back.
    QString wantedPort;
    // The wanted device while it is not there: listed last, marked missing.
    QString missingPort;
    bool fillingPorts = false;
    QTimer *portWatch = nullptr;
    std::unique_ptr<FocusRing> focusRing;
    bool dragging = false;
    QPoint dragOffset;
};

#endif // MAINWIDGET_H
