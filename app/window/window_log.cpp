#include "app/window/window_log.h"

Q_LOGGING_CATEGORY(lcUi, "tessaplex.ui", QtInfoMsg)
