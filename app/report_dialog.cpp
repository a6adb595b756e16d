#include "app/report_dialog.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
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
    QPlainTextEdit* text = nullptr;
    if (!details.isEmpty()) {
        text = new QPlainTextEdit(details, this);
        text->setObjectName(QStringLiteral("reportDetails"));
        text->setReadOnly(true);
        text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        text->setMinimumHeight(text->fontMetrics().lineSpacing() * 4);
        layout->addWidget(text, 1);
    }
    layout->addWidget(buttons);
    QSize size = sizeHint();
    if (text) {
        // Room for every line of the details, as far as the screen allows;
        // beyond that they scroll.
        const int lines = details.count(QLatin1Char('\n')) + 2;
        const int wanted = text->fontMetrics().lineSpacing() * lines + 2 * text->frameWidth() + 8;
        size.setHeight(size.height() - text->sizeHint().height() + wanted);
        size.setWidth(qMax(size.width(), qMin(720, room.width() * 3 / 4)));
    }
    resize(size.boundedTo(maximumSize()));
}
