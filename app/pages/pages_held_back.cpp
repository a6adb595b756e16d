#include "app/pages/pages_held_back.h"

#include <QCoreApplication>
#include <QLayout>
#include <QTabWidget>

PagesHeldBack::PagesHeldBack(QTabWidget& tabs)
{
    for (int i = 0; i < tabs.count(); ++i) {
        QWidget* page = tabs.widget(i);
        auto* body = page->findChild<QWidget*>(page->objectName() + QLatin1String("_body"),
                                               Qt::FindDirectChildrenOnly);
        if (i == tabs.currentIndex() || !body || !page->layout())
            continue;
        body->setParent(nullptr);
        Held.append(qMakePair(page, body));
    }
}

PagesHeldBack::~PagesHeldBack()
{
    // A page that is not shown is no visible parent: the body comes back
    // without being shown, so nothing polishes it before its page is.
    for (const auto& held : Held) {
        held.second->setParent(held.first);
        held.first->layout()->addWidget(held.second);
        // Each widget asked to be polished when it was made; showing the
        // page polishes them all anyway, so the requests would only bring
        // the work back into the start.
        QCoreApplication::removePostedEvents(held.second, QEvent::PolishRequest);
        for (QWidget* control : held.second->findChildren<QWidget*>())
            QCoreApplication::removePostedEvents(control, QEvent::PolishRequest);
    }
}
