#!/usr/bin/env python3
"""A stand-in for the desktop's tray (a StatusNotifierWatcher with a host) on a session bus.

Prints "ready" once it owns org.kde.StatusNotifierWatcher, then one JSON line per item that
registers, with the item's tool tip read back from it."""
import json
import sys

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

WATCHER = "org.kde.StatusNotifierWatcher"
PROPERTIES = "org.freedesktop.DBus.Properties"


class Watcher(dbus.service.Object):
    def __init__(self, bus):
        super().__init__(bus, "/StatusNotifierWatcher")
        self.bus = bus
        self.items = []

    @dbus.service.method(WATCHER, in_signature="s", sender_keyword="sender")
    def RegisterStatusNotifierItem(self, service, sender=None):
        # Qt names its item by bus name; the object sits at /StatusNotifierItem.
        name = service if service.startswith(":") or "." in service else sender
        path = service if service.startswith("/") else "/StatusNotifierItem"
        if service.startswith("/"):
            name = sender
        self.items.append(name)
        self.StatusNotifierItemRegistered(name)
        GLib.idle_add(self.report, name, path)

    def report(self, name, path):
        item = self.bus.get_object(name, path)
        props = dbus.Interface(item, PROPERTIES)
        tip = props.Get("org.kde.StatusNotifierItem", "ToolTip")
        title = str(props.Get("org.kde.StatusNotifierItem", "Title"))
        print(json.dumps({"item": str(name), "title": title,
                          "tooltip_title": str(tip[2]), "tooltip_text": str(tip[3])}),
              flush=True)
        return False

    @dbus.service.method(WATCHER, in_signature="s")
    def RegisterStatusNotifierHost(self, service):
        pass

    @dbus.service.signal(WATCHER, signature="s")
    def StatusNotifierItemRegistered(self, service):
        pass

    # Qt reads the properties through introspection, so they are declared there too.
    @dbus.service.method("org.freedesktop.DBus.Introspectable", out_signature="s")
    def Introspect(self):
        return """<node>
 <interface name="org.kde.StatusNotifierWatcher">
  <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
  <method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
  <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
  <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
  <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
  <property name="ProtocolVersion" type="i" access="read"/>
 </interface>
 <interface name="org.freedesktop.DBus.Properties">
  <method name="Get"><arg type="s" direction="in"/><arg type="s" direction="in"/>
   <arg type="v" direction="out"/></method>
  <method name="GetAll"><arg type="s" direction="in"/><arg type="a{sv}" direction="out"/></method>
 </interface>
</node>"""

    @dbus.service.method(PROPERTIES, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return self.GetAll(interface)[name]

    @dbus.service.method(PROPERTIES, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return {"IsStatusNotifierHostRegistered": True, "ProtocolVersion": dbus.Int32(0),
                "RegisteredStatusNotifierItems": dbus.Array(self.items, signature="s")}


def main():
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    name = dbus.service.BusName(WATCHER, bus, do_not_queue=True)
    watcher = Watcher(bus)
    print("ready", flush=True)
    loop = GLib.MainLoop()
    GLib.io_add_watch(sys.stdin, GLib.IO_HUP | GLib.IO_IN, lambda *_: loop.quit())
    loop.run()
    del name, watcher


if __name__ == "__main__":
    main()
