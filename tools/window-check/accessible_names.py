#!/usr/bin/env python3
"""What a screen reader is told: opens every window (window_check --hold) on a
private X server with a private D-Bus session and accessibility bus, walks the
program's tree over AT-SPI and lists each control one acts on that has no name.
    accessible_names.py WINDOW_CHECK     exit 0 clean, 1 faults, 77 no AT-SPI here"""
import collections
import os
import select
import shutil
import subprocess
import sys
import tempfile
import time

SKIP = 77
# The roles a user acts on; a screen reader reads their name when they get the focus.
ACTS = {"push button", "toggle button", "check box", "radio button", "combo box", "list", "list box",
        "tree", "tree table", "table", "text", "entry", "password text", "spin button", "slider",
        "menu", "menu item", "check menu item", "radio menu item", "page tab"}
WINDOWS = 5  # the main window and the four dialogs window_check opens


def skip(why):
    print("accessible_names: skipped: " + why)
    sys.exit(SKIP)


def read_line(stream, seconds):
    """One line of the child's output, or "" once `seconds` passed."""
    if not select.select([stream], [], [], seconds)[0]:
        return ""
    return stream.readline().decode(errors="replace").strip()


def start_session(env, started):
    """Xvfb and a D-Bus session of their own; their variables go into `env`."""
    for tool in ("Xvfb", "dbus-daemon"):
        if not shutil.which(tool):
            skip(tool + " is not installed")
    if not os.path.exists("/usr/libexec/at-spi-bus-launcher"):
        skip("at-spi2-core is not installed")
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, start_new_session=True)
    started.append(xvfb)
    display = read_line(xvfb.stdout, 30)
    if not display:
        skip("Xvfb did not start")
    env["DISPLAY"] = ":" + display
    bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address"], env=env,
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, start_new_session=True)
    started.append(bus)
    address = read_line(bus.stdout, 30)
    if not address:
        skip("the D-Bus session did not start")
    env["DBUS_SESSION_BUS_ADDRESS"] = address
    os.environ.update(env)  # for Atspi in this process


def bindings():
    """Atspi and Gio from Debian's python3-gi, under the system's interpreter if need be."""
    try:
        import gi
        gi.require_version("Atspi", "2.0")
        from gi.repository import Atspi, Gio
        return Atspi, Gio
    except (ImportError, ValueError) as error:
        if os.path.realpath(sys.executable) != os.path.realpath("/usr/bin/python3") and os.path.exists("/usr/bin/python3"):
            os.execv("/usr/bin/python3", ["/usr/bin/python3"] + sys.argv)
        skip("python3-gi with gir1.2-atspi-2.0 is not installed (%s)" % error)


def accessibility_bus(Atspi, Gio):
    """Atspi ready on the session's accessibility bus; skips where that cannot start."""
    try:
        reply = Gio.bus_get_sync(Gio.BusType.SESSION, None).call_sync(
            "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", None, None,
            Gio.DBusCallFlags.NONE, 20000, None)
    except Exception as error:  # GLib.Error of any kind: no bus to check over
        skip("the AT-SPI bus cannot start: %s" % error)
    os.environ["AT_SPI_BUS_ADDRESS"] = reply.unpack()[0]  # rather than a look at the X server's root window
    Atspi.init()


def find_application(Atspi, pid, seconds=60):
    """The program's application object once all its windows are in the tree."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        desktop = Atspi.get_desktop(0)
        for i in range(desktop.get_child_count()):
            app = desktop.get_child_at_index(i)
            if app is not None and app.get_process_id() == pid and app.get_child_count() >= WINDOWS:
                return app
        time.sleep(0.5)
    return None


def walk(node, path, roles, faults):
    """Counts the roles under `node` and lists its unnamed controls with the way to them."""
    role = node.get_role_name()
    name = (node.get_name() or "").strip()
    roles[role] += 1
    here = "%s/%s \"%s\"" % (path, role, name) if name or not path else path + "/" + role
    if role in ACTS and not name:
        faults.append(here + " has no name")
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        if child is not None:
            walk(child, here, roles, faults)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    Atspi, Gio = bindings()
    started = []
    home = tempfile.TemporaryDirectory()
    runtime = os.path.join(home.name, "runtime")
    os.mkdir(runtime, 0o700)
    env = dict(os.environ, HOME=home.name, XDG_CONFIG_HOME=os.path.join(home.name, "config"), XDG_RUNTIME_DIR=runtime,
               QT_QPA_PLATFORM="xcb", QT_ACCESSIBILITY="1", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", LANG="C.UTF-8")
    env.pop("WAYLAND_DISPLAY", None)
    try:
        start_session(env, started)
        accessibility_bus(Atspi, Gio)
        check = subprocess.Popen([sys.argv[1], "--hold"], env=env, stdout=subprocess.PIPE, start_new_session=True)
        started.append(check)
        line = read_line(check.stdout, 300)
        if line != "holding":
            sys.exit("accessible_names: window_check did not open its windows (%r)" % line)
        app = find_application(Atspi, check.pid)
        if app is None:
            sys.exit("accessible_names: the program's %d windows did not appear in the AT-SPI tree" % WINDOWS)
        roles, faults = collections.Counter(), []
        walk(app, "", roles, faults)
        for fault in faults:
            print(fault)
        print("accessible_names: %d objects in %d windows (%s): %d without a name"
              % (sum(roles.values()), app.get_child_count(),
                 ", ".join("%s %d" % item for item in sorted(roles.items())), len(faults)))
        return 1 if faults else 0
    finally:
        for process in reversed(started):
            try:
                os.killpg(process.pid, 15)
            except ProcessLookupError:
                pass
            process.wait()


if __name__ == "__main__":
    sys.exit(main())
