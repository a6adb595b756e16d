#pragma once

#include "app/picture/picture_cache.h"

// What the parts of one window read about the window itself: the language it
// shows, its client size and the pictures decoded for it. The window owns it
// and hands it to its parts; nothing of it is process-wide.
struct WindowState {
    int Language = 0;  // 1 English, anything else Chinese (Widget::Language_Flag)
    int W = 1920;      // client size, written by the window's resize handler
    int H = 1006;
    PictureCache Pictures;  // the keypad picture's and the model picker's
};
