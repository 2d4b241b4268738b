#!/usr/bin/python3
"""A GTK 3 window for the fcitx5 end-to-end test: a text field and a visible
password field (GTK's input-method modules leave hidden ones alone). Both texts
go to OUT, one a line, at every change; SIGUSR1 saves the screen's top-left
(window and candidate popup) as PNG."""
import signal
import sys

import gi

gi.require_version("Gdk", "3.0")
gi.require_version("Gtk", "3.0")
from gi.repository import Gdk, GLib, Gtk  # noqa: E402

out = sys.argv[1]
shot = sys.argv[2] if len(sys.argv) > 2 else None

window = Gtk.Window(title="DiroruDIV GTK")
window.set_default_size(300, 80)
box = Gtk.Box(orientation=Gtk.Orientation.VERTICAL, spacing=6, margin=8)
text = Gtk.Entry()
password = Gtk.Entry(input_purpose=Gtk.InputPurpose.PASSWORD)
box.add(text)
box.add(password)
window.add(box)


def save(*_):
    with open(out, "w", encoding="utf-8") as f:
        f.write(text.get_text() + "\n" + password.get_text() + "\n")


def screenshot():
    if shot:
        picture = Gdk.pixbuf_get_from_window(Gdk.get_default_root_window(), 0, 0, 420, 130)
        picture.savev(shot, "png", [], [])
    return True


text.connect("changed", save)
password.connect("changed", save)
GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGUSR1, screenshot)
window.connect("destroy", Gtk.main_quit)
window.show_all()
save()
Gtk.main()
