#pragma once

class QApplication;

// What app/main.cpp does around the application object, so that the
// benchmarks pay for the same fonts, translation and resources as the user.
void setApplicationAttributesLikeMain();  // before the QApplication exists
void setUpApplicationLikeMain(QApplication& app);
