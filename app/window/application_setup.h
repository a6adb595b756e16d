#pragma once

class QApplication;
class QWidget;

// What the program does around its application object; shared with the
// benchmarks so they pay for the same fonts, translation and resources.
void setApplicationAttributes();  // before the QApplication exists
void setUpApplication(QApplication& app);
// Settings under $XDG_CONFIG_HOME (or ~/.config) only when that is an absolute
// folder; otherwise says so on standard error, keeps none and returns false.
// Part of setUpApplication.
bool placeSettings();
// Maximised on the primary screen, coming back to a size that fits it.
void maximizeOnScreen(QWidget& window);
