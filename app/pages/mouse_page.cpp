#include "app/pages/mouse_page.h"

#include "app/window/window_log.h"
#include "core/texts/run_time_texts.h"

#include <QPushButton>
#include <QTabWidget>
#include <QWidget>

namespace {
const char* const kGestureButtons[RunTimeTexts::kGestureCount] = {"Like", "LeftSwipe", "RightSwipe", "UpSwipe",
                                                                  "DownSwipe"};

template <typename Action>
void forEachGestureButton(QWidget* root, Action action)
{
    if (!root)
        return;
    for (int g = 0; g < RunTimeTexts::kGestureCount; ++g) {
        const QString name = QString::fromLatin1(kGestureButtons[g]);
        if (auto* button = root->findChild<QPushButton*>(name))
            action(button, g);
        else
            qCWarning(lcUi) << "Button not found:" << name;
    }
}
}  // namespace

using namespace MousePage;

void setUpMousePage(QWidget* root, QTabWidget* tabs, uint8_t formatByte, int language)
{
    const bool withGestures = formatByte >= kFirstGestureFormat;
    if (tabs && tabs->count() > kTabIndex)
        tabs->setTabText(kTabIndex, RunTimeTexts::mouseTabCaption(withGestures, language));
    forEachGestureButton(root, [withGestures](QPushButton* button, int) { button->setVisible(withGestures); });
    setGestureCaptions(root, language);
}

void setGestureCaptions(QWidget* root, int language)
{
    forEachGestureButton(root, [language](QPushButton* button, int gesture) {
        button->setText(RunTimeTexts::gestureCaption(gesture, language));
    });
}
