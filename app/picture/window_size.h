#pragma once

// The main window's client size, written by its resize handler and read by
// everything that places itself in proportion to the window.
struct WindowSize {
    static inline int W = 1920;
    static inline int H = 1006;
};
