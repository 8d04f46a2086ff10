#!/usr/bin/python3
"""What the program shows a screen reader through AT-SPI, read with pyatspi (Orca's own library).

  zugangsbaum.py status   waits until the status bar carries the gallery's count, prints it
  zugangsbaum.py frames   prints every object below the program's window with the role "frame"
                          and exits 1 if there is one

Run it with the environment of orca-speech (LOGDIR/env), so that it finds the same AT-SPI bus.
"""
import sys, time
import pyatspi


def fenster():
    for anwendung in pyatspi.Registry.getDesktop(0):
        if anwendung is not None and anwendung.name == 'Nummernfibel':
            for kind in anwendung:
                if kind is not None:
                    return kind
    return None


def alle(objekt):
    for kind in objekt:
        if kind is None:
            continue
        yield kind
        # The gallery's tiles are hundreds of buttons without children.
        if kind.getRole() != pyatspi.ROLE_PUSH_BUTTON:
            yield from alle(kind)


def status(frist=180):
    ende = time.time() + frist
    while time.time() < ende:
        w = fenster()
        if w is not None:
            for o in alle(w):
                if o.getRole() == pyatspi.ROLE_STATUS_BAR and 'Nummernfibel' in (o.name or ''):
                    print(o.name.strip())
                    return 0
        time.sleep(0.5)
    print('no count in the status bar', file=sys.stderr)
    return 1


def frames():
    w = fenster()
    if w is None:
        print('no window of Nummernfibel on the AT-SPI bus', file=sys.stderr)
        return 1
    gefunden = 0
    for o in alle(w):
        if o.getRole() == pyatspi.ROLE_FRAME:
            gefunden += 1
            print('frame: %r, parent %r %r' % (o.name, o.parent.getRoleName(), o.parent.name))
    return 1 if gefunden else 0


if __name__ == '__main__':
    sys.exit({'status': status, 'frames': frames}[sys.argv[1]]())
