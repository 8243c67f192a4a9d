// Reports the process of the active window to the KORVA driver on every focus change.
const SERVICE = "org.korva.Driver";
const OBJECT = "/org/korva/Driver/Foreground";
const INTERFACE = "org.korva.Foreground1";

function report(window) {
    // pid 0: no window is active (the desktop itself).
    const pid = window && window.pid > 0 ? window.pid : 0;
    callDBus(SERVICE, OBJECT, INTERFACE, "SetActiveWindow", pid);
}

workspace.windowActivated.connect(report);
report(workspace.activeWindow);
