#include "core/texts/run_time_texts.h"

#include "core/keypad/key_table.h"
#include "core/keypad/record_render.h"

namespace RunTimeTexts {

namespace {

const char* const kGestureEnglish[kGestureCount] = {"Like", "Left Swipe", "Right Swipe", "Up Swipe",
                                                    "Down Swipe"};
const char* const kGestureChinese[kGestureCount] = {"点赞", "向左划屏", "向右划屏", "向上划屏", "向下划屏"};
}  // namespace

QString connected(int language) { return pick(language, "Device Connect", "设备已连接"); }


QString disconnected(int language)
{
    return pick(language, "Connect the device with a usb cable", "——请用数据线连接设备——");
}


QString saved(int language) { return pick(language, "Saved successfully", "保存成功"); }



QString saveFailed(int language)
{
    return pick(language, "Save failed — check the cable and try again", "保存失败，请检查连接后重试");
}


QString recordFull(int language)
{
    return pick(language, "This key is full — clear it to assign a new sequence",
                "该按键已满——请先清除再重新设置");
}


QString notAnswering(int language)
{
    return pick(language, "Keypad found but it does not answer — unplug it and plug it in again",
                "已找到键盘但无应答——请拔下后重新插入");
}

QString permissionProblem(int language)
{
    return pick(language, "Keypad found but not accessible: install the udev rule (see README)",
                "已找到键盘但无法访问：请安装 udev 规则（见 README）");
}


QString oldFormatColourCaption(int colour, int language)
{
    return KeyTable::colourName(colour, language);
}

QString oldFormatLedText(uint8_t ledByte, int language, unsigned char variant)
{
    return RecordRender::lightingText(ledByte, language, variant != 2);
}

QString mouseTabCaption(bool withGestures, int language)
{
    return withGestures ? pick(language, "Mouse/Swipe screen", "鼠标/划屏") : pick(language, "Mouse", "鼠标");
}

QString gestureCaption(int gesture, int language)
{
    if (gesture < 0 || gesture >= kGestureCount)
        return QString();
    return pick(language, kGestureEnglish[gesture], kGestureChinese[gesture]);
}

QString oldFormatDelayText(int valueMs) { return RecordRender::oldFormatDelayText(valueMs); }

}  // namespace RunTimeTexts
