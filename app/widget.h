#pragma once

#include <QWidget>

#include <memory>

#include "device/device_exchanges.h"
#include "device/hid_transport.h"
#include "keys/key_table.h"

class QButtonGroup;
class QPushButton;
class QTimer;
class Dialog1;
class ConnectionMonitor;
class CustomTabStyle;
class LayoutView;
class KeyLabels;
class KeyPictureButtons;
class LedPage;
class DelayPage;
class WidgetMonitorHost;

namespace Ui {
class Widget;
}

// Plain base the main window carries; its only member is one string.
class HID_Key_Val {
public:
    QString Key_Val_Str;
};

// The main window: owns the form, the model picker, the button groups, the
// monitor timer and the open keypad. It wires the pieces together; what each
// page or exchange does lives in device/, keys/, pages/ and models/.
class Widget : public QWidget, public HID_Key_Val {
    Q_OBJECT

public:
    explicit Widget(QWidget* parent = nullptr);
    // Attaches the given transport (a simulated keypad, say) instead of hidapi.
    explicit Widget(HidTransport& transport, QWidget* parent = nullptr);
    ~Widget() override;

    bool eventFilter(QObject* watched, QEvent* event) override;

    // Operations other parts of the program and the tests drive.
    QueryOutcome Query_Device_Info();
    void Read_Config_On_Connect();
    void Read_Key_Records(int layers, int slotCount, int knobs);
    void Read_Led_Block();
    void Download_Config();
    void Show_Dev_Connected();
    void Show_Dev_Disconnected();
    void Show_Key_Text();
    void Show_Layer_Key_Labels(int layer);
    void Append_Key_Label(const QString& caption);
    void SetRgb_Led_Key(int index);
    void rebuildLayoutView();

    int Language_Flag = 0;
    QButtonGroup* Key_Group = nullptr;
    QButtonGroup* Layer_Group = nullptr;
    QTimer* Monitor_Timer = nullptr;
    Dialog1* dialog1() const { return Dialog; }
    ConnectionMonitor& monitor() { return *Monitor; }
    const CaptionLookup& captions() const { return Captions; }
    bool saveNoticeActive() const { return Save_Notice_Active != 0; }

public slots:
    void on_confirmButton_clicked();
    void on_CleanButton_clicked();
    void on_CleanALLButton_clicked();
    void Read_configuration_clicked();
    void on_clean_DevData();
    void SendLayer(int index);
    void timeoutSlot();
    void on_changeButtonGroup(int id);
    void Set_Keyboard_Ver_SLOT(int model);
    void onSpinBoxValueChanged(int value);
    void on_tabWidget_currentChanged(int index);
    void on_download_clicked();
    void slotSpinbox_slider();
    void slotslider_Spinbox();
    void onTimeupDestroy();
    void on_change_clicked();
    void KB_UpData_SoftWare();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class WidgetMonitorHost;

    void construct();
    void registerValueButtons();
    bool runFirstConnectionSteps();
    void adaptPagesToCurrentFormat();
    void adaptPagesToOldFormat();
    void adoptChosenModel();
    void showPermissionProblem();
    void showNotAnswering();
    void showSaveNotice(bool success);
    void showNotice(const QString& text, const QString& styleSheet);
    void applyStatus(const QString& text, const QString& styleSheet);
    void handleValueClick(QPushButton* button);
    void onQuickMenuClicked(QPushButton* button, int id);
    void resetKeyHighlights();
    void highlightKey(int id);
    bool deviceReady() const;
    HidHandle handle() const;
    DeviceLink deviceLink() const;

    Ui::Widget* ui = nullptr;
    std::unique_ptr<HidTransport> OwnTransport;
    HidTransport* Transport = nullptr;
    std::unique_ptr<WidgetMonitorHost> MonitorHostAdapter;
    std::unique_ptr<ConnectionMonitor> Monitor;
    Dialog1* Dialog = nullptr;
    CustomTabStyle* TabStyle = nullptr;
    std::unique_ptr<LayoutView> Layout;
    std::unique_ptr<KeyPictureButtons> KeyButtons;
    std::unique_ptr<KeyLabels> Labels;
    LedPage* Led = nullptr;
    DelayPage* Delay = nullptr;
    CaptionLookup Captions;
    QList<QPushButton*> ValueButtons;
    unsigned char Save_Notice_Active = 0;
};
