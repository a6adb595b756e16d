#pragma once

#include <QDialog>
#include <QString>

// A report that may be longer than a screen (what an import left out, say):
// a one-line summary first, the details below in a box that scrolls, and the
// whole dialog never taller or wider than the screen it opens on, so its OK
// button stays in reach.
class ReportDialog : public QDialog {
    Q_OBJECT

public:
    ReportDialog(QWidget* parent, const QString& title, const QString& summary, const QString& details,
                 bool problem);
};
