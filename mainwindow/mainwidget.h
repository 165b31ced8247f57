// The program's only window: the view of a module workflow. It reads its form
// (route, mode, cards) when the user acts, calls the workflow, and turns the
// workflow's signals into button looks, status texts, the version text and
// the port cards. What the module holds, what the user confirmed and what
// was written are the workflow's; the cards keep what they were given.
#ifndef MAINWIDGET_H
#define MAINWIDGET_H

#include "moduleworkflow.h"
#include "portrecord.h"

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
    // Records every link the window opens in FILE (see LinkCapture); empty:
    // no capture.
    static void setCapturePath(const QString &path);

public slots:
    void sltAccept(int Id, int index, QString msg, QString currentComboxText);
    void sltSend(int Id, int index, QString msg, QString currentComboxText);

protected:
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
    void onFinished(ModuleWorkflow::Step step, ModuleWorkflow::Outcome outcome);
    void onIdle();
    void onLinkLost();
    void endLink();
    bool discardEditsAllowed();

    std::unique_ptr<Ui::MainWidget> ui;
    ModuleWorkflow *workflow = nullptr;
    PortPanel *panel = nullptr;
    MessageForm *messageForm = nullptr;
    QStringList portNames;
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
};

#endif // MAINWIDGET_H
