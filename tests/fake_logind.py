#!/usr/bin/python3
"""A fake systemd-logind on a private bus, for the tests of the shutdown service.

Usage: fake_logind.py DIR [PARAMETERS_JSON | --bus-only]

Starts a dbus-daemon of its own listening on DIR/system_bus_socket and, unless
--bus-only, python-dbusmock's logind template as org.freedesktop.login1 on it;
PARAMETERS_JSON goes to the template (e.g. {"CanReboot": "no"}). Tests shape the
fake further through dbusmock's org.freedesktop.DBus.Mock interface.

Every method call that reaches the fake, except those on that control interface,
is appended to DIR/requests.log the moment it arrives, one line each:

    PATH INTERFACE.MEMBER(SIG VALUE, ...) [interactive]

where "interactive" marks the allow-interactive-authorisation header flag. This
is read off the wire because dbusmock's own call log converts arguments to the
signature the mock declares (a u sent for a t, or a string for a b, would go
unnoticed), leaves out calls of methods the fake lacks and cannot see the flag.

Prints "ready" once the fake answers, then runs until SIGTERM or until stdin is
closed (so it also goes away when the test process dies).
"""

import json
import os
import signal
import subprocess
import sys

import dbus
import dbus.lowlevel
import dbus.mainloop.glib
import dbus.service
from dbusmock import mockobject
from gi.repository import GLib

BUS_CONFIG = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path={socket}</listen>
  <policy context="default">
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
    <allow own="*"/>
  </policy>
</busconfig>
"""

MANAGER_PATH = "/org/freedesktop/login1"


def value_text(value):
    if isinstance(value, dbus.Boolean):
        return "true" if value else "false"
    return str(value)


def recorder(log):
    def record(_connection, message):
        if (isinstance(message, dbus.lowlevel.MethodCallMessage)
                and message.get_interface() != mockobject.MOCK_IFACE):
            arguments = ", ".join(
                f"{signature} {value_text(value)}"
                for signature, value in zip(dbus.Signature(message.get_signature() or ""),
                                            message.get_args_list()))
            line = f"{message.get_path()} {message.get_interface()}.{message.get_member()}({arguments})"
            if message.get_allow_interactive_authorization():
                line += " interactive"
            log.write(line + "\n")
        # Anything else (None included) would count as handled and the call would never be answered.
        return dbus.lowlevel.HANDLER_RESULT_NOT_YET_HANDLED
    return record


def serve_logind(address, parameters, directory, log):
    bus = dbus.bus.BusConnection(address)
    bus.add_message_filter(recorder(log))
    name = dbus.service.BusName("org.freedesktop.login1", bus)
    manager = mockobject.DBusMockObject(name, MANAGER_PATH, "org.freedesktop.login1.Manager", {},
                                        os.path.join(directory, "dbusmock.log"))
    manager.AddTemplate("logind", parameters)
    mockobject.objects[MANAGER_PATH] = manager
    return bus, name, manager


def main():
    directory = sys.argv[1]
    option = sys.argv[2] if len(sys.argv) > 2 else "{}"
    config = os.path.join(directory, "bus.conf")
    with open(config, "w", encoding="utf-8") as file:
        file.write(BUS_CONFIG.format(socket=os.path.join(directory, "system_bus_socket")))

    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    daemon = subprocess.Popen(["dbus-daemon", "--nofork", "--nopidfile", "--print-address=1",
                               f"--config-file={config}"], stdout=subprocess.PIPE, text=True)
    try:
        address = daemon.stdout.readline().strip()
        if not address:
            sys.exit("dbus-daemon did not start")
        with open(os.path.join(directory, "requests.log"), "w", buffering=1,
                  encoding="utf-8") as log:
            # The fake's objects must stay referenced while the loop serves them.
            fake = None if option == "--bus-only" else serve_logind(
                address, json.loads(option), directory, log)
            loop = GLib.MainLoop()
            GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGTERM, loop.quit)
            GLib.io_add_watch(sys.stdin.fileno(), GLib.PRIORITY_DEFAULT, GLib.IO_IN | GLib.IO_HUP,
                              lambda *_: loop.quit())
            print("ready", flush=True)
            loop.run()
            del fake
    finally:
        daemon.terminate()
        daemon.wait()


if __name__ == "__main__":
    main()
