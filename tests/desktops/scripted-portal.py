# A screenshot back-end for the desktop portal where the desktop has none: it answers with a copy
# of PICTURE, or refuses when CHECK... fails.   scripted-portal.py PICTURE CHECK...
import shutil, subprocess, sys, dbus, dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

class Screenshot(dbus.service.Object):
    @dbus.service.method('org.freedesktop.impl.portal.Screenshot', 'ossa{sv}', 'ua{sv}')
    def Screenshot(self, handle, app, parent, options):
        if subprocess.run(sys.argv[2:]).returncode:
            return 2, {}
        shutil.copy(sys.argv[1], sys.argv[1] + '.shot.png')
        return 0, {'uri': 'file://' + sys.argv[1] + '.shot.png'}

DBusGMainLoop(set_as_default=True)
name = dbus.service.BusName('org.freedesktop.impl.portal.desktop.glimmerboxtest', dbus.SessionBus())
Screenshot(dbus.SessionBus(), '/org/freedesktop/portal/desktop')
GLib.MainLoop().run()
