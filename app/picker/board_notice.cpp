#include "app/picker/board_notice.h"

#include "app/picker/dialog1.h"
#include "app/window/settings_menu.h"
#include "app/window/status_line.h"
#include "app/window/window_state.h"
#include "build_config.h"
#include "core/device/keypad_connection.h"
#include "core/keypad/layout_table.h"
#include "core/texts/run_time_texts.h"

bool BoardNotice::isKnownBoard(const KeypadIdentity& identity)
{
    const DeviceInfo& d = identity.info;
    if (d.keys == 15 && d.knobs == 3)
        return true;
    return chooseLayout(d.keys, d.knobs, d.version, d.variant, identity.productId, Build_Variant) != kDefaultLayout;
}

QString BoardNotice::text(const KeypadIdentity& identity, int languageFlag)
{
    if (!identity.answered || isKnownBoard(identity))
        return QString();
    const DeviceInfo& d = identity.info;
    if (RunTimeTexts::isEnglish(languageFlag))
        return QStringLiteral("unknown board: the keypad reports %1 keys, %2 knobs (version %3, variant %4); "
                              "showing the 15-key, 3-knob picture")
            .arg(d.keys)
            .arg(d.knobs)
            .arg(d.version)
            .arg(d.variant);
    return QStringLiteral("未知键盘：设备报告 %1 键、%2 旋钮（版本 %3，型号 %4）；显示 15 键 3 旋钮的图片")
        .arg(d.keys)
        .arg(d.knobs)
        .arg(d.version)
        .arg(d.variant);
}

void BoardNotice::follow(KeypadConnection& connection, StatusLine& status, SettingsMenu& settings, Dialog1& picker,
                         const WindowState& state)
{
    QObject::connect(&connection, &KeypadConnection::connected, &settings,
                     [&status, &settings](const KeypadIdentity& identity) {
                         status.setBoardNote(text(identity, 1), text(identity, 0));
                         settings.offerModelPicker(!identity.answered);
                     });
    QObject::connect(&settings, &SettingsMenu::modelPickerWanted, &picker, [&picker, &state] {
        picker.place(state.W, state.H);
        picker.show();
        picker.raise();
    });
}
