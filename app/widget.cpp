#include "app/widget.h"

#include "ui_widget.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QGridLayout>
#include <QResizeEvent>
#include <QShortcut>
#include <QTabBar>
#include <QTimer>
#include <QTranslator>

#include "app/window/application_setup.h"
#include "app/picker/board_notice.h"
#include "app/pages/pages_held_back.h"
#include "app/window/edit_history.h"
#include "app/window/edit_texts.h"
#include "app/window/help_window.h"
#include "app/window/exchange_window.h"
#include "app/window/key_editor.h"
#include "app/window/keyboard_navigation.h"
#include "app/window/key_tester_page.h"
#include "app/window/key_tester_shortcut.h"
#include "app/window/keypad_session.h"
#include "app/window/backup_browser.h"
#include "app/window/keypad_backups.h"
#include "app/window/profile_actions.h"
#include "app/window/settings_menu.h"
#include "app/window/resources_init.h"
#include "app/window/status_line.h"
#include "app/window/unsaved_changes.h"
#include "core/keypad/board.h"
#include "app/picture/key_picture_buttons.h"
#include "build_config.h"
#include "core/keypad/keypad_config.h"
#include "core/device/keypad_connection.h"
#include "app/look/custom_tab_style.h"
#include "app/picker/dialog1.h"
#include "app/picture/layout_view.h"
#include "app/pages/delay_page.h"
#include "app/pages/led_page.h"
#include "app/pages/mouse_page.h"

Widget::Widget(QWidget* parent) : QWidget(parent), Connection(new KeypadConnection(this))
{
    construct();
    lockKeypads();  // a keypad on the bus may have other writers
}

void Widget::lockKeypads() { Session->lockKeypads(); }

Widget::Widget(HidTransport& transport, QWidget* parent)
    : QWidget(parent), Connection(new KeypadConnection(transport, this))
{
    construct();
}

Widget::~Widget()
{
    Connection->stop();
    // Pages torn down with the form must not reach the editor meanwhile.
    ui->tabWidget->blockSignals(true);
    delete ui;
}

void Widget::construct()
{
    tessaplexInitResources();
    ui = new Ui::Widget;
    View.Language = 0;
    Config = new KeypadConfig(this);

    Dialog = new Dialog1(View.Pictures, this);
    ui->setupUi(this);
    connectByName();

    {
        const PagesHeldBack unopenedPages(*ui->tabWidget);
        maximizeOnScreen(*this);
    }

    Status = new StatusLine(ui->Dev_Sta_Dsp, View, this);
    Editor = new KeyEditor(*ui, *this, *Config, *Status, View, this);
    Key_Group = Editor->keyGroup();
    Session = new KeypadSession(*ui, *this, *Connection, *Config, *Editor, *Status, *Dialog, View, this);
    connect(Session, &KeypadSession::layoutChanged, this, &Widget::rebuildLayoutView);
    History = new EditHistory(*Config, this);
    Unsaved = new UnsavedChanges(*this, *Config, *Connection, View, this);
    wireHistory();
    Profiles = new ProfileActions(*this, *Config, *Connection, *Editor, *Status, *History, View, this);
    Backups = new KeypadBackups(*this, *Config, *Connection, *Status, View, this);
    connect(Session, &KeypadSession::firstReadBack, Backups, &KeypadBackups::afterFirstRead);
    Session->setBeforeWriting([this](KeypadSession::Proceed proceed) { Backups->beforeWriting(std::move(proceed)); });
    Session->setAfterWriting([this](bool changed) { Backups->written(changed); });

    if (auto* polling = qobject_cast<PollingBusWatch*>(&Connection->busWatch()))
        Monitor_Timer = polling->timer();
    Connection->start();
    startLooksAfterFirstPaint(*this, *Connection);
    connect(&Connection->exchanges(), &ExchangeWorker::exchangeFinished, Unsaved, &UnsavedChanges::refresh);

    ui->tabWidget->setTabPosition(QTabWidget::West);
    TabStyle = new CustomTabStyle(View);
    TabStyle->setParent(this);
    ui->tabWidget->tabBar()->setStyle(TabStyle);

    connect(ui->horizontalSlider, &QSlider::valueChanged, this, &Widget::slotSpinbox_slider);
    connect(ui->spinBox, QOverload<int>::of(&QSpinBox::valueChanged), this, &Widget::slotslider_Spinbox);
    Editor->delayPage().setUp(this, SLOT(onSpinBoxValueChanged(int)));

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
    Editor->registerValueButtons();
    // After the value buttons are known: neither is a value of the tables.
    Tester = new KeyTesterPage(*ui->tabWidget, *Editor, *Config, View, *this, this);
    connect(Connection, &KeypadConnection::connected, Tester, &KeyTesterPage::keypadConnected);
    Recorder = new ShortcutRecorder(*this, findChild<QGridLayout*>(QStringLiteral("keyboardGrid")), *Editor, *Config,
                                    *Status, View, this);
    connect(ui->tabWidget, &QTabWidget::currentChanged, Recorder, &ShortcutRecorder::cancel);
    showAllControls(false);

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

    Settings = new SettingsMenu(*this, View, this);
    Unsaved->addActionsTo(*Settings->menu());
    Status->addHistoryActionTo(*Settings->menu());
    on_change_clicked();
    if (ViewSettings::language() == 0)
        on_change_clicked();
    ui->change->hide();
    // After the switch itself, so the language stored is the one now shown.
    connect(ui->change, &QPushButton::clicked, this, [this] { ViewSettings::setLanguage(Language_Flag); });
    connect(Settings, &SettingsMenu::allControlsChanged, this, &Widget::showAllControls);
    connect(Settings, &SettingsMenu::backupsWanted, this, &Widget::openBackupBrowser);
    BoardNotice::follow(*Connection, *Status, *Settings, *Dialog, View);
    SettingsMenu::makeActionColumnReachable(*this);
    Settings->showAllControls(ViewSettings::allControls(), false);

    Navigation = new KeyboardNavigation(*this, *ui->tabWidget, {ui->Layer1, ui->Layer2, ui->Layer3}, *Key_Group, this);
    Help = new HelpWindows(*this, View, this);
    connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, Help, &HelpWindows::showHelp);
    connect(Settings, &SettingsMenu::aboutWanted, Help, &HelpWindows::showAbout);

    Layout = std::make_unique<LayoutView>(this, View.Pictures);
    Layout->holdPicturesUntilExposed();
    rebuildLayoutView();
    Editor->ledPage().setUp();
}

// The three connections the form's object names make; the other slots whose
// names start with on_ name no form object and are wired explicitly.
void Widget::connectByName()
{
    connect(ui->tabWidget, SIGNAL(currentChanged(int)), this, SLOT(on_tabWidget_currentChanged(int)));
    connect(ui->download, SIGNAL(clicked()), this, SLOT(on_download_clicked()));
    connect(ui->change, SIGNAL(clicked()), this, SLOT(on_change_clicked()));
}

void Widget::wireHistory()
{
    Editor->setHistory(History);
    History->addShortcutsTo(this);
    connect(History, &EditHistory::restored, Unsaved, &UnsavedChanges::refresh);
    connect(Connection, &KeypadConnection::connected, History, &EditHistory::clear);
    Unsaved->setSave([this] { on_confirmButton_clicked(); });
    Unsaved->setDiscard([this] {
        // Steps taken before the discard would bring the edits back; those
        // made while the keypad is read stay undoable.
        History->clear();
        Session->discardUnsavedEdits([this](bool complete) {
            if (!complete)
                Status->showInfo(EditTexts::discardIncomplete(Language_Flag), true);
        });
    });
}

// The layer, colour and language controls as the other editions show them.
void Widget::showAllControls(bool shown)
{
    for (QWidget* w : {static_cast<QWidget*>(ui->LAYER_SELE), static_cast<QWidget*>(ui->Layer1),
                       static_cast<QWidget*>(ui->Layer2), static_cast<QWidget*>(ui->Layer3)})
        w->setVisible(shown || Build_Variant != 2);
    ui->change->setVisible(shown);
    if (Build_Variant == 2)
        Editor->ledPage().showAllColours(shown);
}

void Widget::openBackupBrowser()
{
    auto* browser = new BackupBrowser(*this, Backups->store(), Backups->keypad(), Connection->isConnected(), *Config,
                                      *Editor, *Profiles, View);
    browser->setAttribute(Qt::WA_DeleteOnClose);
    browser->show();
}

QMenu* Widget::settingsMenu() const
{
    return Settings->menu();
}

const CaptionLookup& Widget::captions() const
{
    return Editor->captions();
}

bool Widget::saveNoticeActive() const
{
    return Status->noticeActive();
}

void Widget::timeoutSlot()
{
    Connection->lookNow();
}

void Widget::on_confirmButton_clicked()
{
    Session->save();
    History->keypadWritten();
    Unsaved->refresh();
}

void Widget::on_CleanButton_clicked()
{
    Editor->clearSelectedKey();
}

void Widget::on_CleanALLButton_clicked()
{
    Editor->clearLayer();
}

void Widget::Read_configuration_clicked()
{
    Session->readConfiguration([this](const KeyReadResult& read) {
        Status->showReadBack(read, allKeyRecordReplies(Config->currentFormat()));
        History->clear();
        Unsaved->refresh();
    });
}

void Widget::on_clean_DevData() {}

void Widget::on_download_clicked() {}

void Widget::SendLayer(int index)
{
    Editor->selectLayer(index);
    if (Unsaved)
        Unsaved->refresh();
}

void Widget::on_changeButtonGroup(int id)
{
    Editor->selectKey(id);
}

void Widget::on_tabWidget_currentChanged(int index)
{
    Editor->showPage(index);
}

void Widget::Set_Keyboard_Ver_SLOT(int model)
{
    Session->switchModel(model);
    History->clear();
    Unsaved->refresh();
}

void Widget::KB_UpData_SoftWare()
{
    Session->requestUpgrade();
}

void Widget::onTimeupDestroy()
{
    Status->endNotice();
}

void Widget::onSpinBoxValueChanged(int value)
{
    Editor->entryDelayChanged(sender(), value);
}

void Widget::slotSpinbox_slider()
{
    Editor->delayPage().sliderChanged();
}

void Widget::slotslider_Spinbox()
{
    Editor->oldFormatDelayChanged();
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
    View.Language = toEnglish ? 1 : 0;
    ui->retranslateUi(this);
    ui->change->setText(toEnglish ? QStringLiteral("中文") : QStringLiteral("English"));

    if (Settings)
        Settings->retranslate();
    // Re-applying the form texts puts the Chinese sources and "NULL" back on
    // controls whose captions the program set; give them their state again.
    if (!Editor)
        return;
    Editor->retranslate();
    Unsaved->refresh();
    Profiles->retranslate();
    Status->refresh();
    if (Connection->isConnected())
        Session->adaptPages();
    if (Tester) {
        Tester->keepLast();
        Tester->retranslate();
        Recorder->retranslate();
    }
}

void Widget::rebuildLayoutView()
{
    if (Layout)
        Layout->apply(Config->store().Layout_KeyBoard_KeyNum, Connection->productId(), View.W,
                      View.H);
    if (!Editor)
        return;  // a resize while the window is still being built
    const uint8_t* n = Config->store().Layout_KeyBoard_KeyNum;
    Editor->pictureButtons().nameFor(Board(DeviceInfo{n[0], n[1], n[2], n[3]}, Connection->productId()));
}

void Widget::closeEvent(QCloseEvent* event)
{
    if (closeAfterExchanges(*this, Connection->exchanges())) {
        // A read is cut short (nothing is lost but the answer); a save or a
        // model switch runs to its end, so no layer is left half written.
        Connection->exchanges().cancelReads();
        event->ignore();
        return;
    }
    if (Unsaved && !Unsaved->mayClose()) {
        // A save chosen in the question is still running: the window closes
        // once it has saved everything; after a failure it stays open.
        closeAfterExchanges(*this, Connection->exchanges(), [this] { return !Config->anyUnsaved(); });
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

bool Widget::focusNextPrevChild(bool next)
{
    return (Navigation && Navigation->focusNext(next)) || QWidget::focusNextPrevChild(next);
}

void Widget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    View.H = event->size().height();
    View.W = event->size().width();
    Dialog->place(View.W, View.H);
    if (Layout)
        Layout->placeFixedControls(View.W, View.H);
    ui->tabWidget->tabBar()->setStyle(TabStyle);
    rebuildLayoutView();
    // The first resize comes from showMaximized(), before the editor exists.
    if (Editor)
        Editor->highlightSelectedKey();
}
