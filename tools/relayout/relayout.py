#!/usr/bin/env python3
"""Moves the sources to the folder of their layer and rewrites every path
that names them.

    core/  tessaplex_core (Qt Core, hidapi, libudev): no widgets, no window
    app/   tessaplex_gui: the window, its pages, picture, picker and look
    cli/   tessaplex-cli: includes core/ only
    tests/ mirrors that

Run it from anywhere inside a work tree with everything committed or at
least staged (it uses `git mv`), then build and commit what it did:

    python3 tools/relayout/relayout.py            # move and rewrite
    python3 tools/relayout/relayout.py --dry-run  # only print what it would do
    git status && cmake --build build && git commit -am "..."

Merging a branch that was made before the move, then mending it:

    git -c merge.directoryRenames=false merge BRANCH
        (without that option git guesses where files new to an old folder go,
        and puts widget files into core/; edits of moved files follow them
        either way)
    # Conflicts: an old folder's CMakeLists.txt "deleted here, modified there":
    #   keep it (git add keys/CMakeLists.txt), the script reads and removes it;
    # a new folder's CMakeLists.txt: keep both sides' lines.
    git commit
    python3 tools/relayout/relayout.py
    cmake --build build && git commit -am "Files added before the move to their layer's folder"

It is idempotent: on a tree already laid out it does nothing. On a tree that
has more files (say another branch added keys/macro_table.cpp before it was
merged) it moves those by the folder lines of mapping.txt: a file whose .h or
.cpp includes a widget or picture header (<QWidget>, <QPixmap>, "ui_...",
anything in app/...) goes to the folder for widgets, any other to the
widget-free one; a file directly in app/ goes to core/startup/ only when
cli/ includes it. Such a file is added to its new folder's CMakeLists.txt
(a test's lines are carried over from the old tests/ folder's CMakeLists.txt)
and printed, so check those lines. An old folder left with only its
CMakeLists.txt loses that too (printed: see whether it held anything but a
source list), and add_subdirectory() lines for removed folders are dropped.

Paths are rewritten in every tracked text file except the translation
sources (*.ts) and this folder: `#include "keys/key_table.h"`, a `<header>`
in a .ui form, a CMake or script path, a README sentence. Also applies the
symbol renames listed at the end of mapping.txt ("rename A -> B in HEADER"),
adding the header's include where a file starts using B.
"""

import os
import re
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
DRY = "--dry-run" in sys.argv

GUI_INCLUDE = re.compile(
    r'#\s*include\s*(<Q(Widget|Abstract\w+|PushButton|ToolButton|Label|Dialog|\w*Box|TabWidget|TabBar|Pixmap|Image\w*'
    r'|Painter|Icon|Application|MainWindow|Menu|Action|\w*Layout|\w*Edit|Slider|Proxy\w*|Style\w*|Screen|ButtonGroup'
    r'|Frame|ScrollArea|Font\w*|Palette|Color|Gui\w*|Widgets|Window|Movie|Movie|Test)>'
    r'|"ui_\w+\.h"|"app/[^"]+"|"widget_harness\.h"|"test_form\.h")')


def git(*args, capture=True):
    return subprocess.run(["git", *args], check=True, text=True,
                          stdout=subprocess.PIPE if capture else None).stdout


def read_mapping():
    files, folders, renames = {}, [], []
    for raw in open(os.path.join(HERE, "mapping.txt"), encoding="utf-8"):
        line = raw.split("#", 1)[0].strip()
        if not line:
            continue
        m = re.match(r"rename\s+(\S+)\s*->\s*(\S+)\s+in\s+(\S+)$", line)
        if m:
            renames.append(m.groups())
            continue
        old, new = [part.strip() for part in line.split("->", 1)]
        if old.endswith("/"):
            dests = [d.strip() for d in new.split("|")]
            folders.append((old, dests[0], dests[-1]))
        else:
            files[old] = new
    return files, folders, renames


def text_of(path):
    try:
        with open(path, encoding="utf-8") as f:
            return f.read()
    except (UnicodeDecodeError, FileNotFoundError, IsADirectoryError):
        return None


def uses_widgets(path, tracked):
    stem, _ = os.path.splitext(path)
    for twin in {path, stem + ".h", stem + ".cpp"}:
        if twin in tracked and GUI_INCLUDE.search(text_of(twin) or ""):
            return True
    return False


def cli_includes(path, tracked):
    needle = '#include "%s"' % path
    stem, _ = os.path.splitext(path)
    header = stem + ".h"
    return any(f.startswith("cli/") and (needle in (text_of(f) or "") or ('#include "%s"' % header) in (text_of(f) or ""))
               for f in tracked)


def plan(tracked, files, folders, gui_paths):
    moves = {}
    for old, new in files.items():
        if old in tracked and old != new:
            moves[old] = new
    for f in sorted(tracked):
        if f in files or f in moves:
            continue
        folder, name = os.path.split(f)
        folder += "/"
        if name == "CMakeLists.txt":
            continue
        for old, free, widgets in folders:
            if folder != old:
                continue
            if free == widgets:
                dest = free
            elif old == "app/":
                dest = free if (not uses_widgets(f, tracked) and cli_includes(f, tracked)) else widgets
            else:
                dest = widgets if (uses_widgets(f, tracked) or any(g in (text_of(f) or "") for g in gui_paths)) else free
            moves[f] = dest + name
    return moves


def add_to_cmake(old, new, tracked):
    """A moved file that no CMakeLists of its new folder names yet."""
    folder, name = os.path.split(new)
    cmake = os.path.join(folder, "CMakeLists.txt")
    if not name.endswith((".cpp", ".h")) or not os.path.exists(cmake):
        return
    body = open(cmake, encoding="utf-8").read()
    if re.search(r"(?<![\w.])%s(?![\w.])" % re.escape(name), body):
        return
    if new.startswith("tests/"):
        if not name.endswith(".cpp"):
            return
        stem = os.path.splitext(name)[0]
        old_cmake = os.path.join(os.path.dirname(old), "CMakeLists.txt")
        carried = []
        old_body = text_of(old_cmake) or ""
        for m in re.finditer(r"^[ \t]*\w+\((?:[^()]|\([^()]*\))*\)", old_body, re.M):
            if re.search(r"(?<![\w])%s(?![\w])" % re.escape(stem), m.group(0)):
                carried.append(m.group(0).strip())
        if not carried:
            gui = " GUI" if new.startswith("tests/app/") else ""
            carried = ["tessaplex_add_test(%s SOURCES %s%s)" % (stem, name, gui)]
        addition = "\n".join(carried)
    else:
        target = "tessaplex_core" if new.startswith("core/") else "tessaplex_gui"
        addition = "target_sources(%s PRIVATE %s)" % (target, name)
    print("  %s: + %s" % (cmake, addition.replace("\n", "\n    ")))
    if not DRY:
        with open(cmake, "a", encoding="utf-8") as f:
            f.write(("" if body.endswith("\n") else "\n") + addition + "\n")


def rewrite_paths(tracked, path_moves, renames):
    keys = sorted(path_moves, key=len, reverse=True)
    if keys:
        pattern = re.compile(r"(?<![\w.\-])(?:(\.\./)+|\}/)?(%s)(?![\w])" % "|".join(re.escape(k) for k in keys))
    changed = []
    for f in sorted(tracked):
        if f.endswith(".ts") or f.startswith("tools/relayout/") or not os.path.isfile(f):
            continue
        text = text_of(f)
        if text is None or "\0" in text:
            continue
        new_text = text
        if keys:
            def sub(m):
                start = m.start(2)
                before = new_text_src[max(0, m.start() - 1):m.start()]
                if m.group(1) is None and before == "/":
                    return m.group(0)
                return m.group(0)[: start - m.start()] + path_moves[m.group(2)]
            new_text_src = new_text
            new_text = pattern.sub(sub, new_text)
        for old_sym, new_sym, header in renames:
            if f.endswith((".h", ".cpp")) and re.search(r"(?<![\w:])%s(?![\w])" % re.escape(old_sym), new_text):
                new_text = re.sub(r"(?<![\w:])%s(?![\w])" % re.escape(old_sym), new_sym, new_text)
                inc = '#include "%s"' % header
                if inc not in new_text and f != header and os.path.splitext(f)[0] != os.path.splitext(header)[0]:
                    incs = list(re.finditer(r'^#include "[^"]+"\n', new_text, re.M))
                    at = incs[-1].end() if incs else 0
                    new_text = new_text[:at] + inc + "\n" + new_text[at:]
        if new_text != text:
            changed.append(f)
            if not DRY:
                with open(f, "w", encoding="utf-8") as out:
                    out.write(new_text)
    return changed


def fix_test_local_includes(moves, tracked_after):
    """A test moved away from a helper header it includes by bare name."""
    for old, new in moves.items():
        if not new.startswith("tests/") or not new.endswith((".cpp", ".h")):
            continue
        path = new if not DRY else old
        text = text_of(path) or ""
        def sub(m):
            name = m.group(1)
            sibling_old = os.path.join(os.path.dirname(old), name)
            sibling_new = moves.get(sibling_old, sibling_old)
            if os.path.dirname(sibling_new) == os.path.dirname(new):
                return m.group(0)
            if sibling_new not in tracked_after:
                return m.group(0)
            return '#include "%s"' % os.path.relpath(sibling_new, "tests")
        fixed = re.sub(r'#include "([\w.]+)"', sub, text)
        if fixed != text and not DRY:
            open(path, "w", encoding="utf-8").write(fixed)


def main():
    os.chdir(git("rev-parse", "--show-toplevel").strip())
    files, folders, renames = read_mapping()
    tracked = set(git("ls-files").splitlines())
    gui_paths = ['"%s"' % n for o, n in files.items() if n.startswith("app/")]
    moves = plan(tracked, files, folders, gui_paths)
    for old, new in sorted(moves.items()):
        if os.path.exists(new):
            sys.exit("relayout: %s exists already; move %s by hand" % (new, old))
        print("git mv %s %s" % (old, new))
        if not DRY:
            os.makedirs(os.path.dirname(new), exist_ok=True)
            git("mv", old, new)
    tracked_after = {moves.get(f, f) for f in tracked}
    fix_test_local_includes(moves, tracked_after)
    # Every known move ever made, so a file that still names an old path is
    # mended even when the move itself happened in an earlier run.
    path_moves = {o: n for o, n in files.items() if o != n}
    path_moves.update(moves)
    # "models/dialog1.*" in prose names a pair.
    for old, new in list(path_moves.items()):
        o_stem, o_ext = os.path.splitext(old)
        n_stem, n_ext = os.path.splitext(new)
        if o_ext == ".h" and path_moves.get(o_stem + ".cpp") == n_stem + ".cpp":
            path_moves[o_stem + ".*"] = n_stem + ".*"
    for f in rewrite_paths(tracked_after, path_moves, renames):
        print("rewrote %s" % f)
    for old, new in sorted(moves.items()):
        if old not in files:
            add_to_cmake(old, new, tracked_after)
    emptied = set()
    for old, _, _ in folders:
        cmake = old + "CMakeLists.txt"
        if cmake in tracked_after and not any(f.startswith(old) and f != cmake for f in tracked_after):
            print("git rm %s (its folder holds nothing else now: check it held only a source list)" % cmake)
            emptied.add(old.rstrip("/"))
            if not DRY:
                git("rm", "-q", "-f", cmake)
    gone = {old.rstrip("/") for old, _, _ in folders
            if not any(f.startswith(old) for f in tracked_after if f != old + "CMakeLists.txt")}
    for top in ("CMakeLists.txt", "tests/CMakeLists.txt"):
        base = "" if top == "CMakeLists.txt" else "tests/"
        body = text_of(top) or ""
        kept = [l for l in body.splitlines(True)
                if not (re.match(r"\s*add_subdirectory\((\w+)\)\s*$", l)
                        and (base + re.match(r"\s*add_subdirectory\((\w+)\)", l).group(1)) in gone)]
        if "".join(kept) != body:
            print("%s: dropped add_subdirectory() of a removed folder" % top)
            if not DRY:
                open(top, "w", encoding="utf-8").write("".join(kept))


if __name__ == "__main__":
    main()
