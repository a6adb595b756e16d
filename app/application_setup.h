#pragma once

class QApplication;

// What the program does around its application object; shared with the
// benchmarks so they pay for the same fonts, translation and resources.
void setApplicationAttributes();  // before the QApplication exists
void setUpApplication(QApplication& app);
