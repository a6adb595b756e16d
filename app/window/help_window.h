#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

struct WindowState;
class QDialog;
class QWidget;

// F1's help, the README's "Using it" shown in the window, and the settings
// menu's About. Each is a window of its own that stays open beside the main
// one, in the language in force when it is asked for.
class HelpWindows : public QObject {
    Q_OBJECT

public:
    HelpWindows(QWidget& window, const WindowState& state, QObject* parent = nullptr);

    void showHelp();
    void showAbout();

    // Markdown: the README's "Using it" (English) or its translation.
    static QString helpText(int languageFlag);
    // The version, the licence and where the program keeps its files, as
    // the program itself finds those places.
    static QString aboutText(int languageFlag);

    QDialog* helpDialog() const { return Help; }
    QDialog* aboutDialog() const { return About; }

private:
    QString text(const char* english, const char* chinese) const;

    QWidget& Window;
    const int& Language_Flag;
    QPointer<QDialog> Help;
    QPointer<QDialog> About;
};
