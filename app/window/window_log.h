#pragma once

#include <QLoggingCategory>

// What the window's controls do, for following a session; debug output is
// off unless QT_LOGGING_RULES="tessaplex.ui.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcUi)
