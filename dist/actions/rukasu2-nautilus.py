# Two actions that Files (Nautilus) offers on archives, through its Python
# extension (package python3-nautilus): "Extract here" and "Extract to folder"
# ("ここに解凍" and "フォルダに解凍" in a Japanese session). Each hands every
# selected archive to one automatic run of rukasu2, which extracts it into the
# folder that holds it and tells the desktop how a long or failed run ended.
# They are offered only when every selected file is a local file of a type
# that Rukasu2's menu entry declares, so that the list of types is kept in
# one place. Names go to rukasu2 as their bytes: a name that is not UTF-8
# (Shift_JIS from old media) reaches it as it is on disk.
import os
import sys

import gi

try:
    gi.require_version("Nautilus", "4.0")
except ValueError:
    gi.require_version("Nautilus", "3.0")
from gi.repository import Gio, GLib, GObject, Nautilus

# (name, English label, Japanese label, run mode)
ACTIONS = (
    ("Rukasu2::ExtractHere", "Extract here (Rukasu2)", "ここに解凍 (Rukasu2)", "normal"),
    ("Rukasu2::ExtractToFolder", "Extract to folder (Rukasu2)", "フォルダに解凍 (Rukasu2)", "okavi"),
)


def japanese():
    names = GLib.get_language_names()
    return bool(names) and names[0].startswith("ja")


def archive_types():
    try:
        return set(Gio.DesktopAppInfo.new("org.example.Rukasu2.desktop").get_supported_types())
    except TypeError:  # the menu entry is not installed
        return set()


def run(item, mode, paths):
    argv = [b"rukasu2", b"--auto", b"--here", b"--notify", b"--mode", mode.encode(), b"--"] + paths
    try:
        pid = os.posix_spawnp(argv[0], argv, os.environb)
        # Reaped when it ends, so that Files keeps no finished process around.
        GLib.child_watch_add(GLib.PRIORITY_DEFAULT, pid, lambda pid, status: GLib.spawn_close_pid(pid))
    except Exception as error:  # a failure here must not reach Files
        print("rukasu2: cannot start: %s" % error, file=sys.stderr)


def local_path(file):
    """The file's path as bytes, or None when it is no local file."""
    location = file.get_location()
    path = location.get_path() if location else None
    return os.fsencode(path) if path is not None else None


class Rukasu2Actions(GObject.GObject, Nautilus.MenuProvider):
    def get_file_items(self, *arguments):
        # Files 43 passes the selection alone, earlier versions a window first.
        files = arguments[-1]
        try:
            types = archive_types()
            paths = []
            for file in files:
                path = local_path(file)
                if path is None or file.is_directory() or file.get_mime_type() not in types:
                    return []
                paths.append(path)
        except Exception as error:
            print("rukasu2: %s" % error, file=sys.stderr)
            return []
        if not paths:
            return []
        items = []
        for name, english, japanese_label, mode in ACTIONS:
            label = japanese_label if japanese() else english
            item = Nautilus.MenuItem(name=name, label=label, icon="rukasu2")
            item.connect("activate", run, mode, paths)
            items.append(item)
        return items
