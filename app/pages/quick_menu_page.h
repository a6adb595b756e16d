#pragma once

#include <functional>
#include <vector>

class QPushButton;
class QTabWidget;
class QString;

// The "Procreate" tab of drawing-application shortcuts, offered only while a
// current-format keypad is connected.
namespace QuickMenuPage {

using ClickHandler = std::function<void(QPushButton* button, int id)>;

// Adds the tab as the last page unless it is already there; true when added.
bool build(QTabWidget* tabs, int language, ClickHandler onClick);
// Removes the tab and deletes its page; true when there was one.
bool remove(QTabWidget* tabs);
// Captions in the given language (the data values never change).
void retranslate(QTabWidget* tabs, int language);

int tabIndex(const QTabWidget* tabs);  // -1 when absent
QString styleSheet();
// The codes behind a quick-menu button's "data-value"; empty when it has none.
std::vector<int> codesOf(const QPushButton* button);

}  // namespace QuickMenuPage
