// Reports the process of the focused window to the KORVA driver on every focus change.
import Gio from 'gi://Gio';
import GLib from 'gi://GLib';
import {Extension} from 'resource:///org/gnome/shell/extensions/extension.js';

const SERVICE = 'org.korva.Driver';
const OBJECT = '/org/korva/Driver/Foreground';
const INTERFACE = 'org.korva.Foreground1';

export default class KorvaForegroundExtension extends Extension {
    enable() {
        this._handler = global.display.connect('notify::focus-window', () => this._report());
        this._report();
    }

    disable() {
        global.display.disconnect(this._handler);
        this._handler = null;
    }

    _report() {
        const window = global.display.focus_window;
        // pid 0: no window has the focus (the desktop itself).
        const pid = window && window.get_pid() > 0 ? window.get_pid() : 0;
        // Fire and forget: a driver that is not running must not slow the shell down.
        Gio.DBus.session.call(SERVICE, OBJECT, INTERFACE, 'SetActiveWindow',
            new GLib.Variant('(u)', [pid]), null, Gio.DBusCallFlags.NO_AUTO_START, 1000, null, null);
    }
}
