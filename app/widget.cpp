#include "app/widget.h"

#include "ui_widget.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDebug>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QScreen>
#include <QTabBar>
#include <QTimer>
#include <QTranslator>

#include "app/resources_init.h"
#include "build_config.h"
#include "device/connection_monitor.h"
#include "device/device_exchanges.h"
#include "keys/config_store.h"
#include "keys/key_labels.h"
#include "keys/key_picture_buttons.h"
#include "keys/value_routing.h"
#include "models/custom_tab_style.h"
#include "models/dialog1.h"
#include "models/model_catalogue.h"
#include "models/layout_view.h"
#include "models/window_size.h"
#include "pages/delay_page.h"
#include "pages/led_page.h"
#include "pages/mouse_page.h"
#include "pages/quick_menu_entries.h"
#include "pages/quick_menu_page.h"
#include "pages/run_time_texts.h"

namespace {
ConfigStore& store() { return configStore(); }
bool currentFormat() { return store().currentFormat(); }
}  // namespace

// Routes the monitor's calls into the window without making them public.
class WidgetMonitorHost : public MonitorHost {
public:
    explicit WidgetMonitorHost(Widget& w) : w_(w) {}
    void showConnected() override { w_.Show_Dev_Connected(); }
    void showDisconnected() override { w_.Show_Dev_Disconnected(); }
    void showPermissionProblem() override { w_.showPermissionProblem(); }
    void showNotAnswering() override { w_.showNotAnswering(); }
    void deviceGone() override
    {
        if (QWidget* qr = w_.findChild<QWidget*>(QStringLiteral("QR_Code_Label")))
            qr->hide();
    }
    bool runFirstConnectionSteps() override { return w_.runFirstConnectionSteps(); }
    void layoutCheck() override { w_.adoptChosenModel(); }

private:
    Widget& w_;
};

Widget::Widget(QWidget* parent)
    : QWidget(parent), OwnTransport(std::make_unique<HidapiTransport>()), Transport(OwnTransport.get())
{
    construct();
}

Widget::Widget(HidTransport& transport, QWidget* parent) : QWidget(parent), Transport(&transport)
{
    construct();
}

Widget::~Widget()
{
    Monitor_Timer->stop();
    delete Key_Group;  // created without a parent
    delete ui;
}

void Widget::construct()
{
    tessaplexInitResources();
    ui = new Ui::Widget;
    Language_Flag = 0;
    MonitorHostAdapter = std::make_unique<WidgetMonitorHost>(*this);
    Monitor = std::make_unique<ConnectionMonitor>(*Transport, *MonitorHostAdapter);

    Dialog = new Dialog1(this);
    ui->setupUi(this);

    showMaximized();
    setWindowState(Qt::WindowMaximized);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());

    KeyButtons = std::make_unique<KeyPictureButtons>(this);
    Labels = std::make_unique<KeyLabels>(*KeyButtons, ui->lineEdit, Language_Flag);
    Key_Group = new QButtonGroup;
    Key_Group->setExclusive(true);
    for (int id = 1; id <= KeyPictureButtons::kSelectable; ++id) {
        if (QPushButton* b = KeyButtons->button(id)) {
            b->setCheckable(true);
            Key_Group->addButton(b, id);
        }
    }
    connect(Key_Group, &QButtonGroup::idClicked, this, &Widget::on_changeButtonGroup);

    Monitor_Timer = new QTimer(this);
    connect(Monitor_Timer, &QTimer::timeout, this, &Widget::timeoutSlot);
    Monitor_Timer->start(100);

    ui->tabWidget->setTabPosition(QTabWidget::West);
    TabStyle = new CustomTabStyle;
    TabStyle->setParent(this);
    ui->tabWidget->tabBar()->setStyle(TabStyle);
    ui->tabWidget->setStyleSheet(QStringLiteral("QTabWidget::pane{ order: 1px solid rgb(108, 117, 125, 65);}"));

    connect(ui->horizontalSlider, &QSlider::valueChanged, this, &Widget::slotSpinbox_slider);
    connect(ui->spinBox, QOverload<int>::of(&QSpinBox::valueChanged), this, &Widget::slotslider_Spinbox);
    Delay = new DelayPage(this, store(), Language_Flag, this);
    Delay->setUp(this, SLOT(onSpinBoxValueChanged(int)));

    store().InitKeyRecords();
    Layer_Group = new QButtonGroup(this);
    Layer_Group->addButton(ui->Layer1, 0);
    Layer_Group->addButton(ui->Layer2, 1);
    Layer_Group->addButton(ui->Layer3, 2);
    ui->Layer1->setChecked(true);
    connect(Layer_Group, &QButtonGroup::idClicked, this, &Widget::SendLayer);
    connect(ui->Read_Configuration, &QPushButton::clicked, this, &Widget::Read_configuration_clicked);
    connect(ui->download, &QPushButton::clicked, this, &Widget::on_confirmButton_clicked);
    connect(ui->cancel, &QPushButton::clicked, this, &Widget::on_CleanButton_clicked);
    connect(ui->cancel_2, &QPushButton::clicked, this, &Widget::on_CleanALLButton_clicked);
    connect(ui->UPDATA_BT, &QPushButton::clicked, this, &Widget::KB_UpData_SoftWare);
    ui->UPDATA_BT->hide();
    Captions.rebuild(0);
    registerValueButtons();

    Led = new LedPage(this, store(), Language_Flag, this);
    if (Build_Variant == 2) {
        ui->LAYER_SELE->hide();
        ui->Layer1->hide();
        ui->Layer2->hide();
        ui->Layer3->hide();
        Led->hideAllColourButtons();
    }

    SendLayer(0);

    QFont actionFont = ui->cancel->font();
    actionFont.setPointSize(13);
    for (QPushButton* b : {ui->cancel, ui->cancel_2, ui->Read_Configuration, ui->download})
        b->setFont(actionFont);
    ui->pushButton_SeleKey->hide();
    QFont textFont = ui->lineEdit->font();
    textFont.setPointSize(15);
    ui->lineEdit->setFont(textFont);
    if (QWidget* qr = findChild<QWidget*>(QStringLiteral("QR_Code_Label")))
        qr->hide();

    on_change_clicked();
    ui->change->hide();

    Layout = std::make_unique<LayoutView>(this);
    rebuildLayoutView();
    Led->setUp();
}

void Widget::registerValueButtons()
{
    ui->tabWidget->setCurrentIndex(0);
    ValueButtons = ui->tabWidget->findChildren<QPushButton*>();
    for (QPushButton* b : qAsConst(ValueButtons)) {
        b->installEventFilter(this);
        qDebug() << "all ley is " << b->text();
    }
    qDebug() << "the  count is " << ValueButtons.size();
}

// ---------------------------------------------------------------- monitor

void Widget::timeoutSlot()
{
    Monitor->tick();
}

bool Widget::deviceReady() const
{
    return Monitor->Dev_Connected == 1;
}

HidHandle Widget::handle() const
{
    return Monitor->Dev_Handle;
}

DeviceLink Widget::deviceLink() const
{
    return DeviceLink{*Transport, Monitor->Dev_Handle};
}

bool Widget::runFirstConnectionSteps()
{
    // A query that could not even be written or read tells nothing about the
    // record format; going on would treat a current keypad as an old one until
    // it is replugged. Ask again on the next tick instead.
    store().ForgetKeypadLeds();
    if (Query_Device_Info() == QueryOutcome::Failed)
        return false;
    resetKeyHighlights();
    if (currentFormat())
        adaptPagesToCurrentFormat();
    else
        adaptPagesToOldFormat();
    return true;
}

void Widget::adaptPagesToCurrentFormat()
{
    qDebug() << "Cur_KeyBoard_KeyNum[2] == 1.0";
    setUpMousePage(this, ui->tabWidget, store().Cur_KeyBoard_KeyNum[2], Language_Flag);
    QuickMenuPage::build(ui->tabWidget, Language_Flag,
                         [this](QPushButton* b, int id) { onQuickMenuClicked(b, id); });
    Read_Config_On_Connect();
    Delay->showCurrentFormat(true);
    Led->applyFormat(true);
}

void Widget::adaptPagesToOldFormat()
{
    qDebug() << "Cur_KeyBoard_KeyNum[2] == ooooooold";
    Read_Config_On_Connect();
    resetKeyHighlights();
    Led->applyFormat(false);
    setUpMousePage(this, ui->tabWidget, store().Cur_KeyBoard_KeyNum[2], Language_Flag);
    Delay->showCurrentFormat(false);
    // The first-connection steps go straight on after removing the tab: a second
    // query and read-back in the next tick would tell the user nothing new.
    QuickMenuPage::remove(ui->tabWidget);
}

void Widget::adoptChosenModel()
{
    ConfigStore& s = store();
    if (!shouldAdoptIdentity(s.Cur_KeyBoard_KeyNum, s.Layout_KeyBoard_KeyNum))
        return;
    std::copy(s.Cur_KeyBoard_KeyNum, s.Cur_KeyBoard_KeyNum + 4, s.Layout_KeyBoard_KeyNum);
    rebuildLayoutView();
    Dialog->hide();
}

QueryOutcome Widget::Query_Device_Info()
{
    const QueryResult result = queryDeviceInfo(deviceLink());
    switch (result.outcome) {
    case QueryOutcome::Answered:
        adoptDeviceInfo(store(), result.info);
        rebuildLayoutView();
        Dialog->hide();
        ui->Read_Configuration->setEnabled(true);
        break;
    case QueryOutcome::NoAnswer:
        Dialog->place(WindowSize::W, WindowSize::H);
        Dialog->show();
        ui->Read_Configuration->setEnabled(false);
        break;
    case QueryOutcome::Failed:
        break;
    }
    return result.outcome;
}

void Widget::Show_Dev_Connected()
{
    if (Save_Notice_Active)
        return;
    applyStatus(RunTimeTexts::connected(Language_Flag), RunTimeTexts::connectedStyle());
}

void Widget::Show_Dev_Disconnected()
{
    if (Save_Notice_Active)
        return;
    applyStatus(RunTimeTexts::disconnected(Language_Flag), RunTimeTexts::disconnectedStyle(Build_Variant));
}

void Widget::showPermissionProblem()
{
    if (Save_Notice_Active)
        return;
    applyStatus(RunTimeTexts::permissionProblem(Language_Flag), RunTimeTexts::permissionProblemStyle());
}

void Widget::showNotAnswering()
{
    if (Save_Notice_Active)
        return;
    applyStatus(RunTimeTexts::notAnswering(Language_Flag), RunTimeTexts::permissionProblemStyle());
}

void Widget::applyStatus(const QString& text, const QString& styleSheet)
{
    // The tick repeats these ten times a second; re-setting an unchanged style
    // sheet would re-polish the button every time.
    if (ui->Dev_Sta_Dsp->text() != text)
        ui->Dev_Sta_Dsp->setText(text);
    if (ui->Dev_Sta_Dsp->styleSheet() != styleSheet)
        ui->Dev_Sta_Dsp->setStyleSheet(styleSheet);
}

// ---------------------------------------------------------------- read-back

void Widget::Read_configuration_clicked()
{
    if (!deviceReady())
        return;
    if (currentFormat())
        Read_Key_Records(3, 25, 0);
    else
        Read_Key_Records(3, 15, 3);
}

void Widget::Read_Config_On_Connect()
{
    if (currentFormat()) {
        Read_Key_Records(3, 25, 0);
        if (store().Select_PHY_Key_Mode == ModeLighting)
            Read_Led_Block();
    } else {
        Read_Key_Records(3, 15, 3);
    }
}

void Widget::Read_Key_Records(int layers, int slotCount, int knobs)
{
    if (handle())
        readKeyRecords(deviceLink(), store(), layers, slotCount, knobs);
    Show_Layer_Key_Labels(store().Select_PHY_Key_Layer);
}

void Widget::Read_Led_Block()
{
    // An open keypad is enough: on first connection the connected flag is set
    // only after these steps, and the LED state would never be read then.
    if (handle())
        readLedBlock(deviceLink(), store(), store().Select_PHY_Key_Layer);
    Led->showLayerLeds();
}

// ---------------------------------------------------------------- download

void Widget::on_confirmButton_clicked()
{
    if (deviceReady())
        Download_Config();
    else if (Monitor->Dev_Found)
        showSaveNotice(false);  // open but not answering: nothing can be saved
}

void Widget::on_download_clicked() {}

void Widget::on_clean_DevData() {}

void Widget::Download_Config()
{
    const DownloadResult result = downloadConfig(deviceLink(), store());
    showSaveNotice(result.outcome != DownloadOutcome::Failed);
}

void Widget::showSaveNotice(bool success)
{
    if (success)
        showNotice(RunTimeTexts::saved(Language_Flag), RunTimeTexts::savedNoticeStyle());
    else
        showNotice(RunTimeTexts::saveFailed(Language_Flag), RunTimeTexts::saveFailedStyle());
}

// The status button holds a notice for 1500 ms; the monitor's texts wait.
void Widget::showNotice(const QString& text, const QString& styleSheet)
{
    Save_Notice_Active = 1;
    ui->Dev_Sta_Dsp->setStyleSheet(styleSheet);
    ui->Dev_Sta_Dsp->setText(text);
    auto* timer = new QTimer(this);
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, this, &Widget::onTimeupDestroy);
    connect(timer, &QTimer::timeout, timer, &QObject::deleteLater);
    timer->start(1500);
}

void Widget::onTimeupDestroy()
{
    Save_Notice_Active = 0;
    ui->Dev_Sta_Dsp->setStyleSheet(RunTimeTexts::savedNoticeEndStyle());
}

void Widget::Set_Keyboard_Ver_SLOT(int model)
{
    if (sendSetModel(deviceLink(), model, deviceReady()) != SetModelOutcome::Sent)
        return;
    SetRgb_Led_Key(kModelSwitchLedIndexA);
    SetRgb_Led_Key(kModelSwitchLedIndexB);
    Download_Config();
    Transport->sleepMs(kCommitPauseMs);
    Query_Device_Info();
}

void Widget::KB_UpData_SoftWare()
{
    if (deviceReady())
        requestUpgradeMode(deviceLink());
}

// ---------------------------------------------------------------- selection

void Widget::SendLayer(int index)
{
    if (index < 0 || index >= kLayers)
        return;
    ConfigStore& s = store();
    s.Select_PHY_Key_Layer = static_cast<uint8_t>(index);
    QPushButton* layers[] = {ui->Layer1, ui->Layer2, ui->Layer3};
    for (int i = 0; i < kLayers; ++i)
        layers[i]->setStyleSheet(i == index ? QStringLiteral("QPushButton{background-color: #FFFFFF;color:#383838;}")
                                            : QStringLiteral("QPushButton{background-color: #383838;color:#FFFFFF;}"));
    s.Select_PHY_Key = 0;
    ui->pushButton_SeleKey->setText(QStringLiteral("NULL"));
    ui->lineEdit->setText(QString());
    Show_Layer_Key_Labels(index);
    qDebug("Select_PHY_Key_Layer = %d\n", index);
    if (currentFormat() && s.Select_PHY_Key_Mode == ModeLighting)
        Read_Led_Block();
}

void Widget::on_changeButtonGroup(int id)
{
    ConfigStore& s = store();
    if (!currentFormat() && s.Select_PHY_Key_Mode == ModeLighting)
        return;
    if (QAbstractButton* checked = Key_Group->checkedButton())
        qDebug() << QStringLiteral("被选中按钮的objectName==%1").arg(checked->objectName());
    ui->pushButton_SeleKey->setText(KeyTable::physicalKeyName(id, Language_Flag));
    qDebug("Select_PHY_Key value is  %d ", id);
    s.Select_PHY_Key = static_cast<uint8_t>(id);
    s.WriteSelectionHeader(static_cast<uint8_t>(id));
    Show_Key_Text();
    if (currentFormat() && s.Select_PHY_Key_Mode == ModeDelay) {
        Delay->refresh();
        Delay->loadFromSelectedRecord();
    } else if (s.Select_PHY_Key_Mode == ModeDelay) {
        Delay->loadOldFormatDelay();
    }
    highlightKey(id);
}

void Widget::on_tabWidget_currentChanged(int index)
{
    ConfigStore& s = store();
    ui->tabWidget->setCurrentIndex(index);
    qDebug("ui->tabWidget->setCurrentIndex = %d\n", index);
    if (currentFormat() && s.Select_PHY_Key_Mode == ModeLighting && index != 3) {
        KeyButtons->resetHighlights();
        if (s.Select_PHY_Key != 0)
            KeyButtons->highlight(s.Select_PHY_Key);
    }
    switch (index) {
    case 0:
    case 1:
    case 6:
        s.Select_PHY_Key_Mode = ModeKeys;
        break;
    case 2:
        s.Select_PHY_Key_Mode = ModeMultimedia;
        break;
    case 3:
        s.Select_PHY_Key_Mode = ModeLighting;
        if (!currentFormat()) {
            s.Select_PHY_Key = 0;
            KeyButtons->resetHighlights();
        } else {
            Read_Led_Block();
        }
        break;
    case 4:
        s.Select_PHY_Key_Mode = ModeMouse;
        setGestureCaptions(this, Language_Flag);
        break;
    case 5:
        s.Select_PHY_Key_Mode = ModeDelay;
        Delay->enter();
        break;
    default:
        break;
    }
    qDebug("Select_PHY_Key_Mode = %d\n", s.Select_PHY_Key_Mode);
}

void Widget::resetKeyHighlights()
{
    KeyButtons->resetHighlights();
}

void Widget::highlightKey(int id)
{
    KeyButtons->highlightKey(id, store().Select_PHY_Key_Mode == ModeLighting);
}

bool Widget::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::MouseButtonRelease)
        return QWidget::eventFilter(watched, event);
    auto* button = qobject_cast<QPushButton*>(watched);
    if (!button || !ValueButtons.contains(button))
        return QWidget::eventFilter(watched, event);

    ConfigStore& s = store();
    switch (valueFilterStage(ui->tabWidget->currentIndex(), currentFormat(), s.Select_PHY_Key_Mode)) {
    case ValueFilterStage::Swallow:
        return true;
    case ValueFilterStage::LeaveToPage:
        return false;
    case ValueFilterStage::Route:
        break;
    }
    // A release outside the button is no click; assigning on it would surprise.
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (button->rect().contains(mouse->pos()) && mouse->button() == Qt::LeftButton)
        handleValueClick(button);
    qDebug() << "KEY Touch";
    return false;
}

void Widget::handleValueClick(QPushButton* button)
{
    ConfigStore& s = store();
    const QString caption = button->text();
    qDebug() << "select the value is " << caption;
    const int index = Captions.indexOf(caption);
    const ValueRoute route = routeValueClick(index, s.Select_PHY_Key, currentFormat());
    if (route == ValueRoute::NotFound || route == ValueRoute::NoKeySelected)
        return;
    if (route == ValueRoute::OldLighting) {
        SetRgb_Led_Key(index);
        qDebug() << "select the value is " << index << caption;
        return;
    }

    // A record holds actions of one mode, and a mouse action replaces whatever
    // the key did before.
    if (route == ValueRoute::Mouse || s.selectedRecord()[3] != s.Select_PHY_Key_Mode)
        on_CleanButton_clicked();
    WriteResult result = WriteResult::Ignored;
    switch (route) {
    case ValueRoute::Modifier: result = s.AddModifier(index); break;
    case ValueRoute::Media: result = s.SetMediaKey(index); break;
    case ValueRoute::Mouse: result = s.SetMouseKey(index); break;
    default: result = s.AddKeyCode(index); break;
    }
    if (result == WriteResult::RecordFull)
        showNotice(RunTimeTexts::recordFull(Language_Flag), RunTimeTexts::recordFullStyle());
    if (result != WriteResult::Written)
        return;
    // A second media choice replaces the first in the record, so the key's
    // label must not keep the first one in front of it.
    if (route == ValueRoute::Media)
        KeyButtons->setText(s.Select_PHY_Key, QStringLiteral("NULL"));
    Append_Key_Label(caption);
    qDebug() << "select the value is " << index << caption;
}

void Widget::onQuickMenuClicked(QPushButton* button, int id)
{
    Q_UNUSED(id);
    ConfigStore& s = store();
    if (s.Select_PHY_Key == 0)
        return;
    // A shortcut replaces an action of another kind whole: a mouse record's
    // subtype must not stay behind in a key record.
    if (s.selectedRecord()[3] != s.Select_PHY_Key_Mode)
        on_CleanButton_clicked();
    if (s.SetDataValue(dataValueCodes(button->property("data-value"))) != WriteResult::Written)
        return;
    const int key = s.Select_PHY_Key;
    if (key >= 1 && key <= KeyPictureButtons::kSelectable) {
        Labels->setSelectedKeyText(key, button->text());
    } else {
        qWarning() << "Invalid Select_PHY_Key:" << key;
    }
}

// ---------------------------------------------------------------- labels

void Widget::Show_Key_Text()
{
    Labels->showSelectedKeyText(store());
}

void Widget::Show_Layer_Key_Labels(int layer)
{
    Labels->showLayer(store(), layer);
}

void Widget::Append_Key_Label(const QString& caption)
{
    Labels->appendToSelectedKey(store(), caption);
}

void Widget::on_CleanButton_clicked()
{
    ConfigStore& s = store();
    // With no key selected the clear would hit slot 0, which holds the layer's
    // lighting on older keypads.
    if (s.Select_PHY_Key == 0)
        return;
    s.ClearSelectedRecord();
    Labels->clearKey(s.Select_PHY_Key);
    Delay->resetForClear(false);
}

void Widget::on_CleanALLButton_clicked()
{
    store().ClearLayerRecords(store().Select_PHY_Key_Layer);
    Delay->resetForClear(true);
    Labels->clearAll();
}

// ---------------------------------------------------------------- pages

void Widget::SetRgb_Led_Key(int index)
{
    if (store().SetRgb_Led_Key(index) != WriteResult::Written)
        return;
    const uint8_t ledByte = store().PHY_KEY_Value[store().Select_PHY_Key_Layer][0][11];
    ui->lineEdit->setText(Led->oldFormatLedText(ledByte));
}

void Widget::onSpinBoxValueChanged(int value)
{
    Delay->onValueChanged(sender(), value);
}

void Widget::slotSpinbox_slider()
{
    Delay->sliderChanged();
}

void Widget::slotslider_Spinbox()
{
    Delay->spinBoxChanged(ui->lineEdit);
}

void Widget::on_change_clicked()
{
    if (Language_Flag != 0 && Language_Flag != 1)
        return;
    const bool toEnglish = Language_Flag == 0;
    // Lives only for the switch: the form texts it sets stay, later lookups
    // through the translation system fall back to the sources.
    QTranslator translator;
    translator.load(toEnglish ? QStringLiteral(":/lanague_en.qm") : QStringLiteral(":/lanague_cn.qm"));
    qApp->installTranslator(&translator);
    Language_Flag = toEnglish ? 1 : 0;
    ui->retranslateUi(this);
    ui->change->setText(toEnglish ? QStringLiteral("中文") : QStringLiteral("English"));
    Captions.rebuild(Language_Flag);

    // Re-applying the form texts puts the Chinese sources and "NULL" back on
    // controls whose captions the program set; give them their state again.
    if (!KeyButtons)
        return;
    Show_Layer_Key_Labels(store().Select_PHY_Key_Layer);
    if (store().Select_PHY_Key != 0) {
        ui->pushButton_SeleKey->setText(KeyTable::physicalKeyName(store().Select_PHY_Key, Language_Flag));
        Show_Key_Text();
    }
    QuickMenuPage::retranslate(ui->tabWidget, Language_Flag);
    setGestureCaptions(this, Language_Flag);
    if (store().Select_PHY_Key_Mode == ModeDelay)
        Delay->refresh();
    if (Monitor->Dev_Connected == 1) {
        Led->applyFormat(currentFormat());
        setUpMousePage(this, ui->tabWidget, store().Cur_KeyBoard_KeyNum[2], Language_Flag);
    }
}

// ---------------------------------------------------------------- layout

void Widget::rebuildLayoutView()
{
    if (Layout)
        Layout->apply(store().Layout_KeyBoard_KeyNum, Monitor->Cur_PID, WindowSize::W, WindowSize::H);
}

void Widget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    WindowSize::H = event->size().height();
    WindowSize::W = event->size().width();
    Dialog->place(WindowSize::W, WindowSize::H);
    if (Layout)
        Layout->placeFixedControls(WindowSize::W, WindowSize::H);
    ui->tabWidget->tabBar()->setStyle(TabStyle);
    rebuildLayoutView();
    // The first resize comes from showMaximized(), before the buttons are found.
    if (KeyButtons)
        highlightKey(store().Select_PHY_Key);
}
