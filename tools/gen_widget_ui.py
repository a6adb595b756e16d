#!/usr/bin/env python3
"""Writes app/widget.ui, the Qt Designer form of the main window.

The form has a hundred-odd value buttons whose captions must match the key
table character for character; writing that by hand in Designer invites typos,
so the form is generated from the tables below and checked before it is
written.  Run from anywhere:

    python3 tools/gen_widget_ui.py            # writes app/widget.ui
    python3 tools/gen_widget_ui.py --check    # only verifies the committed file

Standard library only.
"""

import argparse
import os
import sys
import xml.etree.ElementTree as ET

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUTPUT = os.path.join(REPO, "app", "widget.ui")

WINDOW_W, WINDOW_H = 1920, 1006

# ---------------------------------------------------------------------------
# Style sheets
# ---------------------------------------------------------------------------

# Rules for the main window's own controls are scoped by object name: the
# program replaces several of these widgets' style sheets at run time (status
# bar, layer buttons, key buttons), and rules that live on the window survive
# that because they cascade underneath the widget's own sheet.
WINDOW_STYLE = """\
QWidget#TESSAPLEX_MINI { background-color: rgb(60, 60, 60); color: #FFFFFF; }
QPushButton#Dev_Sta_Dsp { background-color: rgb(40, 40, 40); color: #FFFFFF; border: 0px; font-size: 15px; }
QLabel#ALL_KEY_BK { background-color: rgb(40, 40, 40); border: 1px solid rgb(90, 90, 90); border-radius: 18px; }
QPushButton#LAYER_SELE { background-color: transparent; color: #FFFFFF; border: 0px; }
QPushButton#pushButton_SeleKey { background-color: rgb(40, 40, 40); color: #FFFFFF; border: 1px solid rgb(95, 95, 95); border-radius: 4px; }
QTextEdit#lineEdit { background-color: rgb(40, 40, 40); color: #FFFFFF; border: 1px solid rgb(95, 95, 95); border-radius: 6px; padding: 4px; }
QPushButton#dowload_kuang { background-color: rgb(50, 50, 50); border: 1px solid rgb(108, 117, 125); border-radius: 12px; }
QPushButton#cancel, QPushButton#cancel_2, QPushButton#Read_Configuration, QPushButton#UPDATA_BT, QPushButton#change {
  background-color: rgb(75, 75, 75); color: #FFFFFF; border: 1px solid rgb(110, 110, 110); border-radius: 8px; }
QPushButton#cancel:hover, QPushButton#cancel_2:hover, QPushButton#Read_Configuration:hover, QPushButton#UPDATA_BT:hover, QPushButton#change:hover {
  background-color: rgb(95, 95, 95); }
QPushButton#download { background-color: rgb(23, 117, 216); color: #FFFFFF; border: 1px solid rgb(137, 207, 255); border-radius: 8px; }
QPushButton#download:hover { background-color: rgb(40, 135, 235); }
QPushButton#cancel:pressed, QPushButton#cancel_2:pressed, QPushButton#Read_Configuration:pressed, QPushButton#download:pressed,
QPushButton#UPDATA_BT:pressed, QPushButton#change:pressed { background-color: rgb(39, 60, 117); }
QPushButton#cancel:disabled, QPushButton#cancel_2:disabled, QPushButton#Read_Configuration:disabled, QPushButton#download:disabled {
  background-color: rgb(70, 70, 70); color: rgb(130, 130, 130); border-color: rgb(90, 90, 90); }
QTabWidget#tabWidget::pane { background-color: rgb(40, 40, 40); border: 1px solid rgb(90, 90, 90); border-radius: 4px; }
"""

# The pages' rules, scoped to the bodies of the form's pages (class PageBody)
# so they neither reach the quick-menu page the program adds later nor
# anything outside the pages; a page whose buttons are not 14 px says so by
# name. They live in the window's sheet: a page with a sheet of its own has
# its whole tree polished once more when it is added to the tab widget. Few
# selectors matter too: every button is matched against each one.
PAGE_STYLE = """\
PageBody QPushButton { color: #FFFFFF; background-color: rgb(60, 60, 60); border: 1px solid rgb(98, 98, 98);
  border-radius: 5px; margin: 2px; padding: 0px 2px; font-size: 14px; }
PageBody QPushButton:hover { background-color: rgb(82, 82, 82); border-color: rgb(150, 150, 150); }
PageBody QPushButton:pressed, PageBody QPushButton:checked { background-color: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #273c75, stop:1 #487eb0);
  border-color: rgb(137, 207, 255); }
PageBody QPushButton:disabled { color: rgb(130, 130, 130); }
PageBody QLabel { color: rgb(175, 175, 175); font-size: 13px; padding-right: 10px; }
PageBody QSpinBox { color: #FFFFFF; background-color: rgb(30, 30, 30); font-size: 14px; }
PageBody QSpinBox:disabled { color: rgb(120, 120, 120); }
PageBody QPushButton:focus, PageBody QSpinBox:focus { border: 2px dashed #FFFFFF; }
"""

# Page name and its buttons' font size in pixels.
PAGES = (("tab", 13), ("tab1", 14), ("tab2", 15), ("tab3", 14), ("tab4", 15), ("tab5", 14))

# The column of actions at the right, in tab order (the program sets the order
# and makes the buttons that are not in the form). Styled by name, so their
# focus frame is named here too.
ACTION_COLUMN = ("change", "settings", "cancel", "cancel_2", "Read_Configuration", "download",
                 "exportProfile", "importProfile")

ACTION_STYLE = """\
QPushButton#exportProfile, QPushButton#importProfile {
  background-color: rgb(75, 75, 75); color: #FFFFFF; border: 1px solid rgb(110, 110, 110); border-radius: 8px; }
QPushButton#exportProfile:hover, QPushButton#importProfile:hover { background-color: rgb(95, 95, 95); }
QPushButton#exportProfile:pressed, QPushButton#importProfile:pressed { background-color: rgb(39, 60, 117); }
QPushButton#settings { background-color: rgb(75, 75, 75); border: 1px solid rgb(110, 110, 110); border-radius: 8px; }
QPushButton#settings:hover { background-color: rgb(95, 95, 95); }
QPushButton#settings::menu-indicator { image: none; width: 0px; }
"""

# The keyboard's focus: a white dashed frame, unlike the yellow one of the
# selected key. The keys of the picture draw the same frame themselves.
FOCUS_FRAME = "border: 2px dashed #FFFFFF;"
FOCUS_STYLE = ("".join("QPushButton#%s:focus { %s }\n" % (name, FOCUS_FRAME)
                       for name in ACTION_COLUMN + ("Layer1", "Layer2", "Layer3")))


def window_style():
    return (WINDOW_STYLE + ACTION_STYLE + FOCUS_STYLE + PAGE_STYLE
            + "".join("QWidget#%s { background-color: rgb(40, 40, 40); }\n" % name for name, _ in PAGES)
            + "".join("QWidget#%s QPushButton { font-size: %dpx; }\n" % (name, font)
                      for name, font in PAGES if font != 14))

# ---------------------------------------------------------------------------
# Page 0: a full-size keyboard on a grid of quarter-key columns, so 1.25, 1.5,
# 1.75 and 2 key wide buttons line up the way they do on a real keyboard.
# Each entry is (caption, objectName, width in quarter keys); a None caption is
# an empty stretch of that width.
# ---------------------------------------------------------------------------

Q = 4  # quarter columns per key width


def _letters(chars):
    return [(c, "key_" + c, Q) for c in chars]


MAIN_ROWS = [
    [("ESC", "key_Esc", Q), (None, None, Q)]
    + [("F%d" % n, "key_F%d" % n, Q) for n in range(1, 5)] + [(None, None, 2)]
    + [("F%d" % n, "key_F%d" % n, Q) for n in range(5, 9)] + [(None, None, 2)]
    + [("F%d" % n, "key_F%d" % n, Q) for n in range(9, 13)],
    [("~、", "key_Grave", Q)]
    + [(c, "key_%s" % c[0], Q) for c in ("1!", "2@", "3#", "4$", "5%", "6^", "7＆", "8*", "9(", "0)")]
    + [("-_", "key_Minus", Q), ("=+", "key_Equal", Q), ("←Back\nspace", "key_Backspace", 2 * Q)],
    [("Tab", "key_Tab", 6)] + _letters("QWERTYUIOP")
    + [("[{", "key_LeftBracket", Q), ("]}", "key_RightBracket", Q), ("\\|", "key_Backslash", 6)],
    [("Caps Lock", "key_CapsLock", 7)] + _letters("ASDFGHJKL")
    + [(";:", "key_Semicolon", Q), ("' \"", "key_Apostrophe", Q), ("~`", "key_NonUSHash", Q),
       ("ENTER", "key_Enter", 5)],
    [("Shift+", "pushButton_Shift", 5), ("><", "key_NonUSBackslash", Q)] + _letters("ZXCVBNM")
    + [(",<", "key_Comma", Q), (".>", "key_Period", Q), ("?/", "key_Slash", Q), (None, None, 11)],
    [("Ctrl+", "pushButton_Ctrl", 6), ("Win+", "pushButton_Win", 5), ("Alt+", "pushButton_Alt", 6),
     ("Space", "key_Space", 28), ("▤", "key_Menu", 5), ("NULL", "pushButton_NULL", 10)],
]

# Navigation block and keypad: (caption, objectName, row, column, rowspan,
# colspan) in whole keys, relative to the block.
NAV_KEYS = [
    ("PrtSc\nSysRq", "key_PrtSc", 0, 0, 1, 1), ("Scroll\nLock", "key_ScrollLock", 0, 1, 1, 1),
    ("Pause\nBreak", "key_Pause", 0, 2, 1, 1),
    ("Insert", "key_Insert", 1, 0, 1, 1), ("Home", "key_Home", 1, 1, 1, 1), ("Page\nUp", "key_PageUp", 1, 2, 1, 1),
    ("Delete", "key_Delete", 2, 0, 1, 1), ("End", "key_End", 2, 1, 1, 1), ("Page\nDown", "key_PageDown", 2, 2, 1, 1),
    ("↑", "key_Up", 4, 1, 1, 1),
    ("←", "key_Left", 5, 0, 1, 1), ("↓", "key_Down", 5, 1, 1, 1), ("→", "key_Right", 5, 2, 1, 1),
]
KEYPAD_KEYS = [
    ("NumLock", "key_NumLock", 1, 0, 1, 1), ("÷", "key_KP_Divide", 1, 1, 1, 1),
    ("×", "key_KP_Multiply", 1, 2, 1, 1), ("－", "key_KP_Minus", 1, 3, 1, 1),
    ("7", "key_KP_7", 2, 0, 1, 1), ("8", "key_KP_8", 2, 1, 1, 1), ("9", "key_KP_9", 2, 2, 1, 1),
    ("＋", "key_KP_Plus", 2, 3, 2, 1),
    ("4", "key_KP_4", 3, 0, 1, 1), ("5", "key_KP_5", 3, 1, 1, 1), ("6", "key_KP_6", 3, 2, 1, 1),
    ("1", "key_KP_1", 4, 0, 1, 1), ("2", "key_KP_2", 4, 1, 1, 1), ("3", "key_KP_3", 4, 2, 1, 1),
    ("Enter", "key_KP_Enter", 4, 3, 2, 1),
    ("0", "key_KP_0", 5, 0, 1, 2), ("▪", "key_KP_Decimal", 5, 2, 1, 1),
]
MAIN_COLS = 15 * Q
BLOCK_GAP = 2  # quarter columns between the main block, navigation and keypad
NAV_COL0 = MAIN_COLS + BLOCK_GAP
KEYPAD_COL0 = NAV_COL0 + 3 * Q + BLOCK_GAP
KEYBOARD_COLS = KEYPAD_COL0 + 4 * Q

# ---------------------------------------------------------------------------
# Captions the program looks up.  Copied from the key table; the checker below
# fails the generation if the form and these lists ever disagree.
# ---------------------------------------------------------------------------

KEYBOARD_CAPTIONS = (  # key table indices 112..223 without F13..F24
    ["F%d" % n for n in range(1, 13)]
    + ["←", "PrtSc\nSysRq", "Scroll\nLock", "Pause\nBreak", "Insert", "Delete", "Home", "Page\nUp",
       "Page\nDown", "End", "→", "↑", "↓", "▤", "Caps Lock"]
    + [chr(c) for c in range(ord("A"), ord("Z") + 1)]
    + ["1!", "2@", "3#", "4$", "5%", "6^", "7＆", "8*", "9(", "0)"]
    + ["Enter", "ESC", "←Back\nspace", "Tab", "Space", "-_", "=+", "[{", "]}", "\\|", "~、", ";:",
       "' \"", "~`", ",<", ".>", "?/"]
    + ["＋", "－", "×", "÷", "NumLock", "ENTER", "Enter"]
    + [str(n) for n in range(1, 10)] + ["0", "▪", "><", "NULL"]
)
PAGE0_MODIFIERS = {"pushButton_Ctrl": "Ctrl+", "pushButton_Shift": "Shift+", "pushButton_Win": "Win+",
                   "pushButton_Alt": "Alt+", "pushButton_NULL": "NULL"}

# Page 1, grouped as on the page: (section caption, [(objectName, caption)]).
PAGE1_SECTIONS = [
    ("Modifiers", [("ctrla", "Ctrl+"), ("Shifta", "Shift+"), ("Alta", "Alt+"), ("Wina", "Win+"),
                   ("RightCtrla", "Right Ctrl+"), ("RightShifta", "Right Shift+"),
                   ("RightAlta", "Right Alt+"), ("RightWina", "Right Win+")]),
    ("Combinations", [("CtrlAlta", "Ctrl+Alt+"), ("CtrlShifta", "Ctrl+Shift+"), ("AltShifta", "Alt+Shift+"),
                      ("ShiftWina", "Shift+Win+"), ("CtrlShiftAlta", "Ctrl+Shift+Alt+"),
                      ("CtrlAltWina", "Ctrl+Alt+Win+"), ("CtrlAltShiftWin", "Ctrl+Alt+Shift+Win+")]),
    ("macOS", [("CtrlAlta_2", "control"), ("CtrlAlta_3", "option"), ("CtrlAlta_4", "command"),
               ("CtrlAlta_5", "Right command"), ("CtrlAlta_6", "Right option")]),
    ("Symbols", [("spe_" + chr(ord("a") + i), s) for i, s in enumerate(
        ["~", "!", "@", "#", "$", "%", "^", "＆", "*", "(", ")",
         "-", "+", "{", "}", "|", ":", "\"", "<", ">", "?"])]),
    ("F13–F24", [("spe_u_%d" % (n - 11), "F%d" % n) for n in range(13, 25)]),
]

# Page 2: multimedia, Chinese source captions (the English ones come from the
# translation file).
PAGE2_SECTIONS = [
    ("Playback", [("media_play_pause", "播放/暂停"), ("media_stop", "停止"),
                  ("media_previous", "上一曲"), ("media_next", "下一曲")]),
    ("Volume", [("media_mute", "静音"), ("media_volume_up", "音量+"), ("media_volume_down", "音量-")]),
    ("Tone", [("media_bass_up", "低音+"), ("media_bass_down", "低音-"),
              ("media_treble_up", "高音+"), ("media_treble_down", "高音-")]),
    ("Apps", [("media_my_computer", "我的电脑"), ("media_player", "打开媒体"),
              ("media_calculator", "打开计算器"), ("media_email", "打开邮件")]),
    ("Web", [("media_www_home", "打开浏览器"), ("media_refresh", "网页刷新"),
             ("media_forward", "网页前进"), ("media_back", "网页后退")]),
    ("Display", [("media_brightness_up", "屏幕亮度+"), ("media_brightness_down", "屏幕亮度-")]),
]

# Page 4: one row per kind (buttons, wheel, modifier + wheel, gestures).  No
# row captions: the gesture row is hidden on older keypads and would leave its
# caption standing alone.
PAGE4_ROWS = [
    [("mouse_left", "鼠标左键"), ("mouse_middle", "鼠标中键"), ("mouse_right", "鼠标右键")],
    [("pushButton", "鼠标滚轮+"), ("pushButton_2", "鼠标滚轮-")],
    [("pushButton_4", "Ctrl+鼠标向上"), ("pushButton_3", "Ctrl+鼠标向下"),
     ("pushButton_6", "Shift+鼠标向上"), ("pushButton_5", "Shift+鼠标向下"),
     ("pushButton_8", "Alt+鼠标向上"), ("pushButton_7", "Alt+鼠标向下")],
    [("Like", "点赞"), ("LeftSwipe", "向左划屏"), ("RightSwipe", "向右划屏"),
     ("UpSwipe", "向上划屏"), ("DownSwipe", "向下划屏")],
]
PAGE4_COLS = 30  # divisible by 2, 3, 5 and 6, so every row spans the full width

TABS = [("tab", "基础按键"), ("tab1", "Ctrl Shift Alt"), ("tab2", "多媒体"),
        ("tab3", "RGB页"), ("tab4", "鼠标"), ("tab5", "延时")]

DELAY_SLOTS = 18
DELAY_COLUMNS = 3
LED_COLOURS = 56
LED_COLOUR_COLUMNS = 8

# ---------------------------------------------------------------------------
# XML helpers
# ---------------------------------------------------------------------------


def sub(parent, tag, text=None, **attrs):
    el = ET.SubElement(parent, tag, {k: str(v) for k, v in attrs.items()})
    if text is not None:
        el.text = str(text)
    return el


def prop(widget, name, kind, value, stdset=True):
    p = sub(widget, "property", name=name) if stdset else sub(widget, "property", name=name, stdset="0")
    if kind == "string":
        text, notr = value if isinstance(value, tuple) else (value, False)
        s = sub(p, "string", text)
        if notr:
            s.set("notr", "true")
    elif kind in ("number", "enum", "set", "bool"):
        sub(p, kind, str(value).lower() if kind == "bool" else value)
    elif kind == "rect":
        r = sub(p, "rect")
        for tag, v in zip(("x", "y", "width", "height"), value):
            sub(r, tag, v)
    elif kind == "size":
        s = sub(p, "size")
        sub(s, "width", value[0])
        sub(s, "height", value[1])
    elif kind == "sizepolicy":
        sp = sub(p, "sizepolicy", hsizetype=value[0], vsizetype=value[1])
        sub(sp, "horstretch", 0)
        sub(sp, "verstretch", 0)
    else:
        raise ValueError(kind)
    return p


def widget(parent, cls, name):
    return sub(parent, "widget", **{"class": cls, "name": name})


def layout(parent, cls, name, margins=(6, 6, 6, 6), spacing=None, hspacing=None, vspacing=None, **attrs):
    lay = sub(parent, "layout", **{"class": cls, "name": name}, **attrs)
    for side, m in zip(("leftMargin", "topMargin", "rightMargin", "bottomMargin"), margins):
        prop(lay, side, "number", m)
    if spacing is not None:
        prop(lay, "spacing", "number", spacing)
    if hspacing is not None:
        prop(lay, "horizontalSpacing", "number", hspacing)
    if vspacing is not None:
        prop(lay, "verticalSpacing", "number", vspacing)
    return lay


def grid_item(lay, row, col, rowspan=1, colspan=1):
    attrs = {"row": row, "column": col}
    if rowspan != 1:
        attrs["rowspan"] = rowspan
    if colspan != 1:
        attrs["colspan"] = colspan
    return sub(lay, "item", **attrs)


def spacer(item, name, orientation, size, size_type="QSizePolicy::Fixed"):
    sp = sub(item, "spacer", name=name)
    prop(sp, "orientation", "enum", orientation)
    prop(sp, "sizeType", "enum", size_type)
    prop(sp, "sizeHint", "size", size, stdset=False)
    return sp


def value_button(parent, name, caption, notr, focus="Qt::TabFocus"):
    """A value button on a page: grows with the page, may shrink well below its text width.
    Tab reaches it; a click does not leave the focus on it."""
    b = widget(parent, "QPushButton", name)
    prop(b, "sizePolicy", "sizepolicy", ("Expanding", "Expanding"))
    prop(b, "minimumSize", "size", (16, 16))
    prop(b, "focusPolicy", "enum", focus)
    prop(b, "text", "string", (caption, notr))
    return b


def section_label(parent, name, caption):
    lab = widget(parent, "QLabel", name)
    prop(lab, "sizePolicy", "sizepolicy", ("Preferred", "Expanding"))
    prop(lab, "text", "string", (caption, True))
    prop(lab, "alignment", "set", "Qt::AlignRight|Qt::AlignVCenter")
    return lab


def stretch_list(values):
    return ",".join(str(v) for v in values)


# ---------------------------------------------------------------------------
# Main window controls (absolute geometry; the window re-places them on every
# resize, these rectangles are what it computes for 1920 x 1006).
# ---------------------------------------------------------------------------


def scaled(f, size):
    return int(f * size + 1e-9)


def fixed_rect(fx, fy, fw, fh):
    return (scaled(fx, WINDOW_W), scaled(fy, WINDOW_H), scaled(fw, WINDOW_W), scaled(fh, WINDOW_H))


def default_keypad_rects():
    """Rectangles of the 15-key, 3-knob picture shown at start, keyed by button number."""
    H = WINDOW_H
    kw = scaled(0.08, H)
    gap = scaled(0.01, H)
    x0, y0 = scaled(0.169, H), scaled(0.15, H)
    rects = {}
    for n in range(1, 16):
        r, c = divmod(n - 1, 5)
        rects[n] = (x0 + c * (kw + gap), y0 + r * (kw + gap), kw, kw)
    knobs = [((16, 17, 18), 1.25, [(0.625, 0.111), (0.64, 0.16), (0.695, 0.111)]),
             ((19, 20, 21), 1.25, [(0.785, 0.111), (0.8, 0.16), (0.855, 0.111)]),
             ((22, 23, 24), 1.7, [(0.622, 0.326), (0.705, 0.27), (0.843, 0.326)])]
    for ids, mult, spots in knobs:
        kd = int(mult * kw)
        side = int(0.6 * kd)
        for n, (fx, fy), size in zip(ids, spots, (side, kd, side)):
            rects[n] = (scaled(fx, H), scaled(fy, H), size, size)
    # 25..27 belong to a fourth knob that the default picture does not show;
    # the layouts that use them give them their place.
    for n in (25, 26, 27):
        rects[n] = (0, 0, 0, 0)
    return rects


def main_window_controls(top):
    keypad = default_keypad_rects()

    plate = widget(top, "QLabel", "ALL_KEY_BK")
    prop(plate, "geometry", "rect", (scaled(0.13, WINDOW_H), scaled(0.1, WINDOW_H),
                                     scaled(0.82, WINDOW_H), scaled(0.35, WINDOW_H)))
    prop(plate, "text", "string", ("", True))

    # Pictures first, so the transparent click buttons lie on top of them.
    for n in range(1, 28):
        lab = widget(top, "QLabel", "pushButton_K%d_BK" % n)
        prop(lab, "geometry", "rect", keypad[n])
        prop(lab, "text", "string", ("", True))
        prop(lab, "alignment", "set", "Qt::AlignCenter")
    for n in range(1, 28):
        b = widget(top, "QPushButton", "pushButton_K%d" % n)
        prop(b, "geometry", "rect", keypad[n])
        prop(b, "focusPolicy", "enum", "Qt::TabFocus")
        prop(b, "styleSheet", "string",
             ("QPushButton{background-color: rgba(125, 125, 125, 5);border-radius:10px;color:#FFFFFF;}", True))
        # Not translatable: a language switch must not wipe the assignment labels.
        prop(b, "text", "string", ("NULL", True))

    frame = widget(top, "QPushButton", "dowload_kuang")
    prop(frame, "geometry", "rect", fixed_rect(0.86, 0.03, 0.135, 0.47))
    prop(frame, "focusPolicy", "enum", "Qt::NoFocus")
    prop(frame, "text", "string", ("", True))

    for name, fy, caption in (("cancel", 0.11, "清除"), ("cancel_2", 0.19, "清除全部"),
                              ("Read_Configuration", 0.27, " 查看配置"), ("download", 0.35, " 保存配置")):
        b = widget(top, "QPushButton", name)
        prop(b, "geometry", "rect", fixed_rect(0.8725, fy, 0.11, 0.07))
        prop(b, "text", "string", caption)

    b = widget(top, "QPushButton", "UPDATA_BT")
    prop(b, "geometry", "rect", fixed_rect(0.8725, 0.43, 0.11, 0.05))
    prop(b, "text", "string", " 点击进入  升级模式")

    b = widget(top, "QPushButton", "LAYER_SELE")
    prop(b, "geometry", "rect", fixed_rect(0.675, 0.04, 0.045, 0.035))
    prop(b, "focusPolicy", "enum", "Qt::NoFocus")
    prop(b, "text", "string", "层级：")
    side = scaled(0.035, WINDOW_H)
    for i, fx in enumerate((0.72, 0.75, 0.78), start=1):
        b = widget(top, "QPushButton", "Layer%d" % i)
        prop(b, "geometry", "rect", (scaled(fx, WINDOW_W), scaled(0.04, WINDOW_H), side, side))
        prop(b, "checkable", "bool", True)
        prop(b, "focusPolicy", "enum", "Qt::TabFocus")
        prop(b, "text", "string", (str(i), True))

    b = widget(top, "QPushButton", "change")
    prop(b, "geometry", "rect", (scaled(0.81, WINDOW_W), scaled(0.04, WINDOW_H), scaled(0.045, WINDOW_W), side))
    prop(b, "text", "string", "English")

    b = widget(top, "QPushButton", "pushButton_SeleKey")
    prop(b, "geometry", "rect", fixed_rect(0.007, 0.458, 0.068, 0.04))
    prop(b, "focusPolicy", "enum", "Qt::NoFocus")
    prop(b, "text", "string", ("NULL", True))

    edit = widget(top, "QTextEdit", "lineEdit")
    prop(edit, "geometry", "rect", (scaled(1.0, WINDOW_H), scaled(0.1, WINDOW_H),
                                    scaled(0.15, WINDOW_H), scaled(0.35, WINDOW_H)))
    prop(edit, "readOnly", "bool", True)
    # It repeats the selected key's caption: a click may select its text, Tab passes by.
    prop(edit, "focusPolicy", "enum", "Qt::ClickFocus")

    qr = widget(top, "QLabel", "QR_Code_Label")
    prop(qr, "geometry", "rect", (scaled(1.08, WINDOW_H), scaled(0.24, WINDOW_H),
                                  scaled(0.2, WINDOW_H), scaled(0.2, WINDOW_H)))
    prop(qr, "text", "string", ("", True))
    prop(qr, "scaledContents", "bool", True)

    tabs = widget(top, "QTabWidget", "tabWidget")
    prop(tabs, "geometry", "rect", fixed_rect(0.006, 0.5, 0.988, 0.5))
    prop(tabs, "tabPosition", "enum", "QTabWidget::West")
    prop(tabs, "currentIndex", "number", 0)
    # In the form rather than set afterwards: set once the pages exist, the
    # sheet would have the whole page tree polished a second time at start.
    prop(tabs, "styleSheet", "string", ("QTabWidget::pane{ border: 1px solid rgba(108, 117, 125, 65);}", True))

    # Last, so the status bar stays above the frame that reaches into it.
    status = widget(top, "QPushButton", "Dev_Sta_Dsp")
    prop(status, "geometry", "rect", fixed_rect(0, 0, 1, 0.035))
    prop(status, "focusPolicy", "enum", "Qt::NoFocus")
    prop(status, "text", "string", " 请连接设备！")
    return tabs


# ---------------------------------------------------------------------------
# Pages
# ---------------------------------------------------------------------------


def page(tabs, name, title):
    """The page and, filling it, the body that holds its controls: the program
    keeps the bodies of pages not yet opened out of the window's polish."""
    assert name in dict(PAGES), name
    p = widget(tabs, "QWidget", name)
    sub(sub(p, "attribute", name="title"), "string", title)
    frame = layout(p, "QVBoxLayout", name + "_frame", margins=(0, 0, 0, 0), spacing=0)
    return widget(sub(frame, "item"), "PageBody", name + "_body")


def build_keyboard_page(tabs):
    p = page(tabs, "tab", "基础按键")
    # Row 1 is the small gap under the function keys.
    rows = 7
    lay = layout(p, "QGridLayout", "keyboardGrid", margins=(6, 6, 6, 6), hspacing=0, vspacing=0,
                 rowstretch=stretch_list([0 if r == 1 else 1 for r in range(rows)]),
                 columnstretch=stretch_list([0 if MAIN_COLS <= c < NAV_COL0 or
                                             NAV_COL0 + 3 * Q <= c < KEYPAD_COL0 else 1
                                             for c in range(KEYBOARD_COLS)]))

    def key(caption, name, row, col, rowspan, colspan):
        value_button(grid_item(lay, row, col, rowspan, colspan), name, caption, notr=True)

    for i, keys in enumerate(MAIN_ROWS):
        row = 0 if i == 0 else i + 1
        col = 0
        for caption, name, width in keys:
            if caption is not None:
                key(caption, name, row, col, 1, width)
            col += width
        assert col == MAIN_COLS, "row %d is %d quarter keys wide" % (i, col)

    def block(keys, col0):
        for caption, name, r, c, rs, cs in keys:
            row = 0 if r == 0 else r + 1
            key(caption, name, row, col0 + c * Q, rs, cs * Q)

    block(NAV_KEYS, NAV_COL0)
    block(KEYPAD_KEYS, KEYPAD_COL0)
    spacer(grid_item(lay, 1, 0), "functionRowGap", "Qt::Vertical", (20, 8))
    spacer(grid_item(lay, 0, MAIN_COLS, 1, BLOCK_GAP), "navigationGap", "Qt::Horizontal", (14, 20))
    spacer(grid_item(lay, 0, NAV_COL0 + 3 * Q, 1, BLOCK_GAP), "keypadGap", "Qt::Horizontal", (14, 20))


def build_sectioned_page(tabs, name, title, sections, prefix, columns, spans):
    """Rows of buttons with a caption at the left; spans[i] is how many grid
    columns one button of section i covers (a section may wrap to more rows)."""
    p = page(tabs, name, title)
    row_counts = [(len(buttons) + per_row - 1) // per_row for (_, buttons), (_, per_row) in zip(sections, spans)]
    lay = layout(p, "QGridLayout", prefix + "Grid", margins=(8, 8, 12, 8), hspacing=0, vspacing=2,
                 rowstretch=stretch_list([1] * sum(row_counts)),
                 columnstretch=stretch_list([0] + [1] * columns))
    row = 0
    for (caption, buttons), (span, per_row), label_rows in zip(sections, spans, row_counts):
        label = section_label(grid_item(lay, row, 0, label_rows, 1),
                              "%s_caption_%s" % (prefix, caption.split("–")[0].lower()), caption)
        prop(label, "minimumSize", "size", (110, 0))
        for i, (obj, text) in enumerate(buttons):
            r, c = divmod(i, per_row)
            value_button(grid_item(lay, row + r, 1 + c * span, 1, span), obj, text, notr=(prefix == "combo"))
        row += label_rows


def build_led_page(tabs):
    p = page(tabs, "tab3", "RGB页")
    outer = layout(p, "QVBoxLayout", "ledPageLayout", margins=(8, 8, 8, 8), spacing=8, stretch="2,7,0")
    modes = layout(sub(outer, "item"), "QHBoxLayout", "ledModeRow", margins=(0, 0, 0, 0), spacing=0)
    for m in range(6):
        b = value_button(sub(modes, "item"), "LED_Mode_%d" % m, "LED模式%d" % m, notr=False)
        prop(b, "maximumSize", "size", (16777215, 72))
    rows = (LED_COLOURS + LED_COLOUR_COLUMNS - 1) // LED_COLOUR_COLUMNS
    colours = layout(sub(outer, "item"), "QGridLayout", "ledColourGrid", margins=(0, 0, 0, 0),
                     hspacing=0, vspacing=0, rowstretch=stretch_list([1] * rows),
                     columnstretch=stretch_list([1] * LED_COLOUR_COLUMNS))
    for n in range(1, LED_COLOURS + 1):
        r, c = divmod(n - 1, LED_COLOUR_COLUMNS)
        value_button(grid_item(colours, r, c), "LED_color_%d" % n, "", notr=True)
    # Takes the room of the colour grid when the program hides the colours.
    spacer(sub(outer, "item"), "ledPageFiller", "Qt::Vertical", (20, 0), "QSizePolicy::Expanding")


def build_mouse_page(tabs):
    p = page(tabs, "tab4", "鼠标")
    lay = layout(p, "QGridLayout", "mouseGrid", margins=(12, 10, 12, 10), hspacing=0, vspacing=6,
                 rowstretch=stretch_list([1] * len(PAGE4_ROWS)), columnstretch=stretch_list([1] * PAGE4_COLS))
    for r, buttons in enumerate(PAGE4_ROWS):
        span = PAGE4_COLS // len(buttons)
        for i, (obj, text) in enumerate(buttons):
            value_button(grid_item(lay, r, i * span, 1, span), obj, text, notr=False)


def build_delay_page(tabs):
    p = page(tabs, "tab5", "延时")
    # The single delay row and the slot grid replace each other depending on
    # the keypad; with the row on top both states read from the top down.
    outer = layout(p, "QVBoxLayout", "delayPageLayout", margins=(10, 8, 10, 8), spacing=8, stretch="0,1")
    single = layout(sub(outer, "item"), "QHBoxLayout", "singleDelayRow", margins=(0, 0, 0, 0), spacing=10,
                    stretch="0,1,0,0")
    # The sheets of this page's controls are the program's (its delay page
    # sets them when it takes the page over): a control with a sheet of its
    # own is polished again each time its page changes parent.
    lab = widget(sub(single, "item"), "QLabel", "label")
    prop(lab, "text", "string", " 延时：")
    slider = widget(sub(single, "item"), "QSlider", "horizontalSlider")
    prop(slider, "minimumSize", "size", (0, 28))
    prop(slider, "maximum", "number", 6000)
    prop(slider, "orientation", "enum", "Qt::Horizontal")
    spin = widget(sub(single, "item"), "QSpinBox", "spinBox")
    prop(spin, "minimumSize", "size", (110, 30))
    prop(spin, "maximum", "number", 6000)
    lab = widget(sub(single, "item"), "QLabel", "label_2")
    prop(lab, "text", "string", "MS")
    per_col = DELAY_SLOTS // DELAY_COLUMNS
    stretches = []
    for c in range(DELAY_COLUMNS):
        stretches += [5, 4, 0 if c == DELAY_COLUMNS - 1 else 1]
    grid = layout(sub(outer, "item"), "QGridLayout", "delaySlotGrid", margins=(0, 0, 0, 0),
                  hspacing=4, vspacing=2, rowstretch=stretch_list([1] * per_col),
                  columnstretch=stretch_list(stretches))
    for n in range(1, DELAY_SLOTS + 1):
        c, r = divmod(n - 1, per_col)
        col = c * 3
        # Shows the entry's key; nothing to press.
        b = value_button(grid_item(grid, r, col), "pushButton_delay_%d" % n, "", notr=True, focus="Qt::NoFocus")
        # The slot number rides inside the key button, so it disappears
        # together with the slot when the program hides the slot widgets.
        # A label takes no clicks; they fall through to the button.
        badge = widget(b, "QLabel", "delay_slot_%d" % n)
        prop(badge, "geometry", "rect", (6, 4, 28, 16))
        prop(badge, "text", "string", (str(n), True))
        spin = widget(grid_item(grid, r, col + 1), "QSpinBox", "delay_spinBox_%d" % n)
        prop(spin, "sizePolicy", "sizepolicy", ("Expanding", "Fixed"))
        prop(spin, "minimumSize", "size", (60, 30))
        prop(spin, "maximum", "number", 6000)
        if c < DELAY_COLUMNS - 1:
            spacer(grid_item(grid, r, col + 2), "delayColumnGap_%d" % n, "Qt::Horizontal", (24, 10))


def build_form():
    ui = ET.Element("ui", version="4.0")
    sub(ui, "class", "Widget")
    top = widget(ui, "QWidget", "TESSAPLEX_MINI")
    prop(top, "geometry", "rect", (0, 0, WINDOW_W, WINDOW_H))
    prop(top, "windowTitle", "string", "TESSAPLEX_MINI")
    prop(top, "styleSheet", "string", (window_style(), True))
    tabs = main_window_controls(top)
    build_keyboard_page(tabs)
    build_sectioned_page(tabs, "tab1", "Ctrl Shift Alt", PAGE1_SECTIONS, "combo", 24,
                         [(3, 8), (3, 7), (4, 5), (2, 11), (2, 12)])
    build_sectioned_page(tabs, "tab2", "多媒体", PAGE2_SECTIONS, "media", 4,
                         [(1, 4)] * len(PAGE2_SECTIONS))
    build_led_page(tabs)
    build_mouse_page(tabs)
    build_delay_page(tabs)
    custom = sub(sub(ui, "customwidgets"), "customwidget")
    sub(custom, "class", "PageBody")
    sub(custom, "extends", "QWidget")
    sub(custom, "header", "app/pages/page_body.h")
    sub(ui, "resources")
    sub(ui, "connections")
    return ui


# ---------------------------------------------------------------------------
# Checks: everything the program finds by name or by caption.
# ---------------------------------------------------------------------------


def _text_of(w):
    for p in w.findall("property"):
        if p.get("name") == "text":
            s = p.find("string")
            return s.text or "", s.get("notr") == "true"
    return None, False


def _widgets(el):
    return [w for w in el.iter("widget")]


def check_form(ui):
    problems = []

    def need(cond, msg):
        if not cond:
            problems.append(msg)

    top = ui.find("widget")
    need(ui.findtext("class") == "Widget", "form class must be Widget")
    need(top.get("name") == "TESSAPLEX_MINI" and top.get("class") == "QWidget", "top widget")
    all_w = _widgets(top)
    by_name = {}
    for w in all_w:
        need(w.get("name") not in by_name, "duplicate object name " + w.get("name"))
        by_name[w.get("name")] = w

    def expect(name, cls, text=None):
        w = by_name.get(name)
        need(w is not None, "missing " + name)
        if w is None:
            return
        need(w.get("class") == cls, "%s should be %s" % (name, cls))
        if text is not None:
            need(_text_of(w)[0] == text, "%s caption %r, want %r" % (name, _text_of(w)[0], text))

    direct = [w for w in top.findall("widget")]
    direct_names = [w.get("name") for w in direct]
    expect("Dev_Sta_Dsp", "QPushButton", " 请连接设备！")
    for n in range(1, 28):
        expect("pushButton_K%d" % n, "QPushButton", "NULL")
        expect("pushButton_K%d_BK" % n, "QLabel")
        need(direct_names.index("pushButton_K%d_BK" % n) < direct_names.index("pushButton_K1"),
             "picture %d must lie under the key buttons" % n)
    expect("ALL_KEY_BK", "QLabel")
    need(direct_names[0] == "ALL_KEY_BK", "ALL_KEY_BK must be the lowest widget")
    for name, text in (("LAYER_SELE", "层级："), ("Layer1", "1"), ("Layer2", "2"), ("Layer3", "3"),
                       ("pushButton_SeleKey", "NULL"), ("cancel", "清除"), ("cancel_2", "清除全部"),
                       ("Read_Configuration", " 查看配置"), ("download", " 保存配置"),
                       ("UPDATA_BT", " 点击进入  升级模式"), ("change", "English"), ("dowload_kuang", "")):
        expect(name, "QPushButton", text)
    for n in (1, 2, 3):
        need(any(p.get("name") == "checkable" for p in by_name["Layer%d" % n].findall("property")),
             "Layer%d must be checkable" % n)
    need(direct_names.index("dowload_kuang") < min(direct_names.index(n) for n in
                                                   ("cancel", "cancel_2", "Read_Configuration", "download")),
         "the frame must lie under its buttons")
    expect("lineEdit", "QTextEdit")
    expect("QR_Code_Label", "QLabel")
    expect("tabWidget", "QTabWidget")
    for name in direct_names:
        need(by_name[name].find("layout") is None or name == "tabWidget", name + " must be placed absolutely")

    tabs = by_name["tabWidget"]
    pages = tabs.findall("widget")
    need([(p.get("name"), p.find("attribute/string").text) for p in pages] == TABS, "tab pages and titles")
    page_buttons = {p.get("name"): [w for w in p.iter("widget") if w.get("class") == "QPushButton"]
                    for p in pages}

    # Page 0: every keyboard caption exactly once, keyboard captions untranslated.
    texts0 = [_text_of(w)[0] for w in page_buttons["tab"]]
    for caption in set(KEYBOARD_CAPTIONS):
        need(texts0.count(caption) == 1, "page 0 has %r %d times" % (caption, texts0.count(caption)))
    for name, caption in PAGE0_MODIFIERS.items():
        expect(name, "QPushButton", caption)
    allowed0 = set(KEYBOARD_CAPTIONS) | set(PAGE0_MODIFIERS.values())
    for w in page_buttons["tab"]:
        text, notr = _text_of(w)
        need(text in allowed0, "page 0 button %s has stray caption %r" % (w.get("name"), text))
        need(notr, "page 0 caption %r must be notr" % text)
        need(w.get("name").startswith(("key_", "pushButton_")), "page 0 name " + w.get("name"))
    need(len(page_buttons["tab"]) == len(set(KEYBOARD_CAPTIONS)) + 4, "page 0 button count")

    # Page 1.
    expected1 = [b for _, buttons in PAGE1_SECTIONS for b in buttons]
    need(len(expected1) == 20 + 21 + 12, "page 1 table size")
    for name, caption in expected1:
        expect(name, "QPushButton", caption)
    need(len(page_buttons["tab1"]) == len(expected1), "page 1 has extra buttons")
    need([c for _, c in PAGE1_SECTIONS[3][1]][7] == "＆" and PAGE1_SECTIONS[3][1][20] == ("spe_u", "?"),
         "symbol order")

    # Page 2: the 21 multimedia captions, Chinese sources, translatable.
    expected2 = [b for _, buttons in PAGE2_SECTIONS for b in buttons]
    need(len({c for _, c in expected2}) == 21, "page 2 needs 21 distinct captions")
    need(len(page_buttons["tab2"]) == 21, "page 2 button count")
    for w in page_buttons["tab2"]:
        need(not _text_of(w)[1], "multimedia captions are translated")

    # Page 3.
    for m in range(6):
        expect("LED_Mode_%d" % m, "QPushButton", "LED模式%d" % m)
    for n in range(1, LED_COLOURS + 1):
        expect("LED_color_%d" % n, "QPushButton", "")
    need(len(page_buttons["tab3"]) == 6 + LED_COLOURS, "page 3 button count")

    # Page 4.
    expected4 = [b for row in PAGE4_ROWS for b in row]
    need(len(expected4) == 16, "page 4 table size")
    for name, caption in expected4:
        expect(name, "QPushButton", caption)
    need(len(page_buttons["tab4"]) == 16, "page 4 button count")

    # Page 5.
    for n in range(1, DELAY_SLOTS + 1):
        expect("delay_spinBox_%d" % n, "QSpinBox")
        expect("pushButton_delay_%d" % n, "QPushButton", "")
    for name, cls, text in (("horizontalSlider", "QSlider", None), ("spinBox", "QSpinBox", None),
                            ("label", "QLabel", " 延时："), ("label_2", "QLabel", "MS")):
        expect(name, cls, text)
    need(len(page_buttons["tab5"]) == DELAY_SLOTS, "page 5 button count")

    # No page button may carry a caption of some other page's meaning by accident
    # (labels never act as values, buttons always do).
    for p in pages:
        for w in p.iter("widget"):
            if w.get("class") == "QLabel":
                need(w.get("name").startswith(("combo_caption_", "media_caption_", "delay_slot_", "label")),
                     "unexpected label " + w.get("name"))
    return problems


def serialise(ui):
    ET.indent(ui, space=" ")
    return '<?xml version="1.0" encoding="UTF-8"?>\n' + ET.tostring(ui, encoding="unicode") + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true", help="verify that app/widget.ui is up to date")
    parser.add_argument("-o", "--output", default=OUTPUT)
    args = parser.parse_args()

    ui = build_form()
    problems = check_form(ui)
    if problems:
        for p in problems:
            print("widget.ui: " + p, file=sys.stderr)
        return 1
    text = serialise(ui)
    if args.check:
        with open(args.output, encoding="utf-8") as f:
            if f.read() != text:
                print("widget.ui is out of date; run tools/gen_widget_ui.py", file=sys.stderr)
                return 1
        return 0
    with open(args.output, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
