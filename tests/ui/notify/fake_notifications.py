#!/usr/bin/env python3
"""A stand-in for the desktop's notification service on a private session bus.

Prints "ready" once it owns org.freedesktop.Notifications, then one JSON line per Notify call.
Tests drive it through org.corvane.FakeNotifications: Click(id) sends the default action,
Close(id) says the notice was dismissed."""
import json
import sys

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

NAME = "org.freedesktop.Notifications"
PATH = "/org/freedesktop/Notifications"


class Service(dbus.service.Object):
    def __init__(self, bus):
        super().__init__(bus, PATH)
        self.last_id = 0

    @dbus.service.method(NAME, in_signature="susssasa{sv}i", out_signature="u",
                         sender_keyword="sender")
    def Notify(self, app_name, replaces_id, app_icon, summary, body, actions, hints, timeout,
               sender=None):
        self.last_id += 1
        print(json.dumps({"id": self.last_id, "app_name": str(app_name), "icon": str(app_icon),
                          "summary": str(summary), "body": str(body),
                          "actions": [str(a) for a in actions],
                          "hints": sorted(str(k) for k in hints.keys()),
                          "timeout": int(timeout)}), flush=True)
        return self.last_id

    @dbus.service.method(NAME, out_signature="as")
    def GetCapabilities(self):
        return ["actions", "body"]

    @dbus.service.method(NAME, out_signature="ssss")
    def GetServerInformation(self):
        return ("fake", "corvane-tests", "1", "1.2")

    @dbus.service.method(NAME, in_signature="u")
    def CloseNotification(self, notice):
        self.NotificationClosed(notice, 3)

    @dbus.service.signal(NAME, signature="uu")
    def NotificationClosed(self, notice, reason):
        pass

    @dbus.service.signal(NAME, signature="us")
    def ActionInvoked(self, notice, action):
        pass

    @dbus.service.method("org.corvane.FakeNotifications", in_signature="u")
    def Click(self, notice):
        self.ActionInvoked(notice, "default")

    @dbus.service.method("org.corvane.FakeNotifications", in_signature="u")
    def Close(self, notice):
        self.NotificationClosed(notice, 2)


def main():
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    name = dbus.service.BusName(NAME, bus, do_not_queue=True)
    service = Service(bus)
    print("ready", flush=True)
    loop = GLib.MainLoop()
    # Ends with the test: its stdin closes.
    GLib.io_add_watch(sys.stdin, GLib.IO_HUP | GLib.IO_IN, lambda *_: loop.quit())
    loop.run()
    del name, service


if __name__ == "__main__":
    main()
