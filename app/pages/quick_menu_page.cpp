#include "app/pages/quick_menu_page.h"

#include "app/window/window_log.h"
#include "core/keypad/quick_menu_entries.h"

#include <QGridLayout>
#include <QPushButton>
#include <QSizePolicy>
#include <QTabWidget>
#include <QWidget>

namespace QuickMenuPage {

namespace {
const char* const kIdProperty = "quick-menu-id";
const char* const kDataValueProperty = "data-value";

QWidget* page(const QTabWidget* tabs)
{
    const int index = tabIndex(tabs);
    return index < 0 ? nullptr : tabs->widget(index);
}
}  // namespace

int tabIndex(const QTabWidget* tabs)
{
    if (!tabs)
        return -1;
    const QString text = QString::fromLatin1(QuickMenu::tabText());
    for (int i = 0; i < tabs->count(); ++i) {
        if (tabs->tabText(i) == text)
            return i;
    }
    return -1;
}

QString styleSheet()
{
    return QStringLiteral(
        "QPushButton { color: #FFFFFF; border-radius: 2px; font-size: 20px; background-color: rgb(60, 60, 60); }"
        "QPushButton:hover { background-color: #718093; border-color: #2f3640; }"
        "QPushButton:pressed, QPushButton:checked { background-color: qlineargradient(x1: 0, y1: 0, x2: 0, "
        "y2: 1, stop: 0 #273c75, stop: 1 #487eb0); }"
        "QPushButton:disabled { background-color: #dcdde1; border-color: #dcdde1; }");
}

bool build(QTabWidget* tabs, int language, ClickHandler onClick)
{
    if (!tabs || tabIndex(tabs) >= 0)
        return false;

    auto* pageWidget = new QWidget;
    pageWidget->setObjectName(QStringLiteral("procreatePage"));
    tabs->addTab(pageWidget, QString::fromLatin1(QuickMenu::tabText()));
    auto* grid = new QGridLayout(pageWidget);

    const QString style = styleSheet();
    for (const QuickMenuEntry& entry : QuickMenu::entries()) {
        auto* button = new QPushButton(QuickMenu::caption(entry, language), pageWidget);
        button->setObjectName(QStringLiteral("procreate_%1").arg(entry.id));
        button->setProperty(kIdProperty, entry.id);
        button->setProperty(kDataValueProperty, QuickMenu::dataValue(entry));
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        button->setStyleSheet(style);
        grid->addWidget(button, (entry.id - 1) / QuickMenu::kColumns, (entry.id - 1) % QuickMenu::kColumns);
        const int id = entry.id;
        QObject::connect(button, &QPushButton::clicked, button, [onClick, button, id] {
            if (onClick)
                onClick(button, id);
        });
    }
    for (int row = 0; row < grid->rowCount(); ++row)
        grid->setRowStretch(row, 1);
    for (int column = 0; column < grid->columnCount(); ++column)
        grid->setColumnStretch(column, 1);
    return true;
}

bool remove(QTabWidget* tabs)
{
    const int index = tabIndex(tabs);
    if (index < 0)
        return false;
    QWidget* pageWidget = tabs->widget(index);
    tabs->removeTab(index);
    delete pageWidget;
    qCDebug(lcUi) << "Procreate tab removed.";
    return true;
}

void retranslate(QTabWidget* tabs, int language)
{
    QWidget* pageWidget = page(tabs);
    if (!pageWidget)
        return;
    const auto& entries = QuickMenu::entries();
    for (QPushButton* button : pageWidget->findChildren<QPushButton*>()) {
        const int id = button->property(kIdProperty).toInt();
        if (id >= 1 && id <= QuickMenu::kEntryCount)
            button->setText(QuickMenu::caption(entries[static_cast<size_t>(id - 1)], language));
    }
}

std::vector<int> codesOf(const QPushButton* button)
{
    return button ? dataValueCodes(button->property(kDataValueProperty)) : std::vector<int>{};
}

}  // namespace QuickMenuPage
