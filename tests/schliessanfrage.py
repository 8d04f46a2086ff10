#!/usr/bin/python3
"""Sends the window manager's close request (WM_DELETE_WINDOW) to a program's top-level window.

Usage: schliessanfrage.py PID [WARTEN]. Waits until a window of that process is mapped, then WARTEN
seconds more, sends the request and prints "gesendet". Exits 1 when no window appears in 60 s.
"""
import sys
import time

from Xlib import X, display, protocol

pid = int(sys.argv[1])
warten = float(sys.argv[2]) if len(sys.argv) > 2 else 0.0
anzeige = display.Display()
wurzel = anzeige.screen().root
NET_WM_PID = anzeige.intern_atom("_NET_WM_PID")
WM_PROTOCOLS = anzeige.intern_atom("WM_PROTOCOLS")
WM_DELETE_WINDOW = anzeige.intern_atom("WM_DELETE_WINDOW")


def fenster_des_programms():
    for kind in wurzel.query_tree().children:
        try:
            eigner = kind.get_full_property(NET_WM_PID, X.AnyPropertyType)
            if eigner is None or eigner.value[0] != pid:
                continue
            if kind.get_attributes().map_state != X.IsViewable:
                continue
            if WM_DELETE_WINDOW in (kind.get_wm_protocols() or []):
                return kind
        except Exception:  # a window that went away meanwhile
            continue
    return None


ende = time.monotonic() + 60
fenster = fenster_des_programms()
while fenster is None and time.monotonic() < ende:
    time.sleep(0.05)
    fenster = fenster_des_programms()
if fenster is None:
    sys.exit(1)
time.sleep(warten)
anfrage = protocol.event.ClientMessage(window=fenster, client_type=WM_PROTOCOLS,
                                       data=(32, [WM_DELETE_WINDOW, X.CurrentTime, 0, 0, 0]))
fenster.send_event(anfrage, event_mask=X.NoEventMask)
anzeige.flush()
print("gesendet", flush=True)
