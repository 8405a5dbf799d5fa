# Two actions that Files (Nautilus) offers on archives, through its Python
# extension (package python3-nautilus): "ここに解凍 (Rukasu2)" and
# "フォルダに解凍 (Rukasu2)". Each hands every selected archive to one
# automatic run of rukasu2, which extracts it into the folder that holds it and
# tells the desktop how a long or failed run ended. They are offered only when
# every selected file is a local file of a type that Rukasu2's menu entry
# declares, so that the list of types is kept in one place.
import sys

import gi

try:
    gi.require_version("Nautilus", "4.0")
except ValueError:
    gi.require_version("Nautilus", "3.0")
from gi.repository import Gio, GLib, GObject, Nautilus

ACTIONS = (
    ("Rukasu2::ExtractHere", "ここに解凍 (Rukasu2)", "normal"),
    ("Rukasu2::ExtractToFolder", "フォルダに解凍 (Rukasu2)", "okavi"),
)


def archive_types():
    try:
        return set(Gio.DesktopAppInfo.new("org.example.Rukasu2.desktop").get_supported_types())
    except TypeError:  # the menu entry is not installed
        return set()


def run(item, mode, paths):
    argv = ["rukasu2", "--auto", "--here", "--notify", "--mode", mode, "--"] + paths
    try:
        pid = GLib.spawn_async(argv, flags=GLib.SpawnFlags.SEARCH_PATH | GLib.SpawnFlags.DO_NOT_REAP_CHILD)[0]
    except GLib.Error as error:
        print("rukasu2: cannot start: " + error.message, file=sys.stderr)
        return
    # Reaped when it ends, so that Files keeps no finished process around.
    GLib.child_watch_add(GLib.PRIORITY_DEFAULT, pid, lambda pid, status: GLib.spawn_close_pid(pid))


class Rukasu2Actions(GObject.GObject, Nautilus.MenuProvider):
    def get_file_items(self, *arguments):
        # Files 43 passes the selection alone, earlier versions a window first.
        files = arguments[-1]
        types = archive_types()
        paths = []
        for file in files:
            location = file.get_location()
            path = location.get_path() if location else None
            if path is None or file.is_directory() or file.get_mime_type() not in types:
                return []
            paths.append(path)
        if not paths:
            return []
        items = []
        for name, label, mode in ACTIONS:
            item = Nautilus.MenuItem(name=name, label=label, icon="rukasu2")
            item.connect("activate", run, mode, paths)
            items.append(item)
        return items
