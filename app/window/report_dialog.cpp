#include "app/window/report_dialog.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>


ReportDialog::ReportDialog(QWidget* parent, const QString& title, const QString& summary, const QString& details,
                           bool problem)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("report"));
    setWindowTitle(title);
    auto* icon = new QLabel(this);
    const int side = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()
                        ->standardIcon(problem ? QStyle::SP_MessageBoxWarning : QStyle::SP_MessageBoxInformation,
                                       nullptr, this)
                        .pixmap(side, side));
    icon->setAlignment(Qt::AlignTop);
    auto* head = new QLabel(summary, this);
    head->setObjectName(QStringLiteral("reportSummary"));
    head->setWordWrap(true);
    head->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont bold = head->font();
    bold.setBold(true);
    head->setFont(bold);
    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addWidget(head, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    const QScreen* screen = parent && parent->screen() ? parent->screen() : QGuiApplication::primaryScreen();
    const QRect room = screen->availableGeometry();
    setMaximumSize(room.width() * 9 / 10, room.height() * 85 / 100);
    QScrollArea* scroll = nullptr;
    QLabel* text = nullptr;
    if (!details.isEmpty()) {
        text = new QLabel(details, this);
        text->setObjectName(QStringLiteral("reportDetails"));
        text->setWordWrap(true);
        text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        text->setTextFormat(Qt::PlainText);
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
        text->setContentsMargins(6, 6, 6, 6);
        scroll = new QScrollArea(this);
        scroll->setWidget(text);
        scroll->setWidgetResizable(true);
        scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        scroll->setMinimumHeight(text->fontMetrics().lineSpacing() * 4);
        layout->addWidget(scroll, 1);
    }
    layout->addWidget(buttons);
    QSize size = sizeHint();
    if (scroll) {
        // Room for every line of the details, as far as the screen allows;
        // beyond that they scroll.
        const int width = qMax(size.width(), qMin(720, room.width() * 3 / 4));
        const int wanted = text->heightForWidth(width - 60) + 2 * scroll->frameWidth();
        size = QSize(width, size.height() - scroll->sizeHint().height() + wanted);
    }
    resize(size.boundedTo(maximumSize()));
}
