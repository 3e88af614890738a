#!/usr/bin/env python3
"""Simulated phones for the tests: each one a pseudo-terminal linked into a Wine prefix as a COM
port (Wine maps dosdevices/comN to any tty), answering AT commands from a script.

    simphone.py --prefix DIR [--lifetime S] [--pidfile F] PORT... [--run COMMAND...]

PORT is  N:BEHAVIOUR[,key=value...]  (COM N). Behaviours:
    ready      SIM ready, signal 20, registered at home
    echo       ready, every command echoed back
    chatty     ready, unsolicited lines (RING, +CREG: ..., ^RSSI: ...) before every answer
    pin        the SIM wants its PIN (pin=1234 takes it; a wrong one gets +CME ERROR: 16, and the
               third wrong one in a row blocks the SIM: it then wants its PUK)
    puk        the SIM is blocked and wants its PUK (puk=12345678, with a new PIN; ten tries)
    pin2       the SIM is ready but for its PIN2 (+CPIN: SIM PIN2)
    phsim      the phone is locked to another SIM (+CPIN: PH-SIM PIN)
    phnet      the phone is locked to another network (+CPIN: PH-NET PIN)
    verbosecme the SIM has failed, and errors come in words (+CME ERROR: SIM failure)
    numeric    left in numeric mode (ATV0): results are 0 and 4, and ATV1 does not change that
    ringecho   echo on whatever it is told, and a RING before the echo of every command
    notsupport EF_AD refused, and AT+COPS=3,2 answered COMMAND NOT SUPPORT
    nosignal   signal 99 (unknown), not registered
    denied     registration denied
    searching  searching for a network
    roaming    registered on another operator's network (+CREG: 0,5 and +CGREG: 0,5)
    silent     reads everything, answers nothing
    stuck      reads nothing at all: once its buffer is full, a write to it waits
    slow       answers nothing until 2.5 s (wake=SECONDS) after the first byte, then all of it
    garbage    answers every command with 5 KB of random bytes
    nul        answers every command with NUL bytes
    closes     answers AT, then goes away in the middle of its answer to the next command
    held       a port Windows refuses with access denied, as one that another program holds
               (Wine does not keep a tty to one opener, so it is linked to a folder instead)
    notaport   a device that is no serial port (the null device)
Keys (any behaviour): maker, model, signal, creg, cgreg, pin, imsi, efad (EF_AD as hex, the
answer to AT+CRSM=176,28589,0,0,4; "refused" for a SIM that refuses the read), cops (what
follows "+COPS: "), eol (crlf or cr), wake, sim (ready, pin, puk, pin2, phsim, phnet, absent,
failed), cme (numbers or words), verbose (1, or 0 for numeric results), keepmode (1: ATV and
ATE change nothing), notsupported (commands, separated by "/", answered COMMAND NOT SUPPORT),
puk, lock (the PIN lock: 1 on, 0 off; on for a SIM that starts locked), cpinr (1: AT+CPINR tells the
tries left of each code; 0: ERROR; garbage: a count that is no number), busyafter (N: the first N
AT+CPIN? after each code are answered "SIM busy", +CME ERROR: 14, as real SIMs answer right after
a PIN), iccid (the ICCID, for AT+CCID and EF_ICCID; "none": AT+CCID is answered ERROR and
EF_ICCID refused), spn (the name in EF_SPN: the GSM alphabet for ASCII, else UCS2; "none": the
read is refused, as a SIM without the file answers).
USSD (AT+CUSD=1,"<code>",...): OK at once, then after ussdwait seconds (0.3) an unsolicited
+CUSD: line. balance (the code, *100#) gets +CUSD: 0 with balancetext, in the form ussdform
(text, ucs2 or packed); with menu (its lines separated by "/") it first gets +CUSD: 1 with the
menu, and the answer menuanswer (1) then gets the balance; any other code or answer gets
+CUSD: 2. ussd=never answers OK and nothing after; ussd=notsupported answers +CUSD: 4.
AT+CUSD=2 ends an open menu.
Each phone's SIM has an ICCID of its own (its port's number ends it) unless iccid is given.
of=N makes the port another AT port of the phone on COM N, as a phone's modem and its second
(diagnostic) port are: it takes that phone's keys (its own keys win) and shares its SIM (its state,
its tries, its PIN lock, an open USSD menu); each port answers on its own.
With --log FILE every command a port hears ("COM71 > AT+CUSD=1,...") and every line it sends
unasked ("COM71 < +CUSD: 0,...") is written to FILE (made anew) as it happens.
The SIM counts its tries as a SIM does: three for the PIN (AT+CPIN, AT+CPWD and AT+CLCK all spend
one when wrong, and a right one gives them back), ten for the PUK, after which it has failed.

Without --run it serves until stopped (SIGTERM/SIGINT, by its pid), until its lifetime ends
(120 s unless given), or until its parent ends. With --run it runs COMMAND once every port is
linked, stops when the command ends and exits with its code. It prints "ready" once every port
is linked. Links it made are removed when it stops.
"""
import argparse
import os
import random
import re
import select
import signal
import subprocess
import sys
import time
import tty

REGISTRATION = {"notregistered": 0, "home": 1, "searching": 2, "denied": 3, "roaming": 5}

BEHAVIOURS = {
    "ready": {},
    "echo": {"echo": "1"},
    "chatty": {"chatty": "1"},
    "pin": {"sim": "pin"},
    "puk": {"sim": "puk"},
    "nosignal": {"signal": "99", "creg": "0", "cgreg": "0"},
    "denied": {"creg": "3", "cgreg": "3"},
    "searching": {"creg": "2", "cgreg": "2"},
    "roaming": {"creg": "5", "cgreg": "5"},
    "pin2": {"sim": "pin2"},
    "phsim": {"sim": "phsim"},
    "phnet": {"sim": "phnet"},
    "verbosecme": {"sim": "failed", "cme": "words"},
    "numeric": {"verbose": "0", "keepmode": "1"},
    "ringecho": {"echo": "1", "ringfirst": "1", "keepmode": "1"},
    "notsupport": {"efad": "refused", "notsupported": "AT+COPS=3,2"},
    "silent": {},
    "stuck": {},
    "slow": {},
    "garbage": {},
    "nul": {},
    "closes": {},
    "held": {},
    "notaport": {},
}

DEFAULTS = {
    "maker": "ZOR", "model": "Z100", "signal": "20", "creg": "1", "cgreg": "1", "sim": "ready",
    "pin": "1234", "imsi": "460001234567890", "efad": "00000002", "cops": '0,2,"46000",2',
    "eol": "crlf", "echo": "0", "chatty": "0", "wake": "2.5",
    "cme": "numbers", "verbose": "1", "keepmode": "0", "ringfirst": "0", "notsupported": "",
    "puk": "12345678", "lock": "", "cpinr": "1", "busyafter": "0",
    "iccid": "89860012345678901234", "spn": "ZOR Mobile",
    "ussd": "answer", "ussdwait": "0.3", "balance": "*100#", "balancetext": "Balance: 12.50",
    "ussdform": "text", "menu": "", "menuanswer": "1", "of": "",
}
PIN_TRIES = 3
PUK_TRIES = 10

# What AT+CPIN? says of each SIM state: the line of a SIM that answers, or its +CME error.
CPIN = {"ready": "READY", "pin": "SIM PIN", "puk": "SIM PUK", "pin2": "SIM PIN2", "phsim": "PH-SIM PIN",
        "phnet": "PH-NET PIN"}
CME = {"absent": (10, "SIM not inserted"), "failed": (13, "SIM failure"), "locked": (11, "SIM PIN required"),
       "wrongpin": (16, "incorrect password"), "notallowed": (3, "operation not allowed"),
       "pukneeded": (12, "SIM PUK required"), "busy": (14, "SIM busy")}
# The numeric forms (ATV0) of the results the phones here give.
NUMERIC = {"OK": "0", "ERROR": "4", "COMMAND NOT SUPPORT": "4"}
# The SIM files read by AT+CRSM=176,<file id>,0,0,<length>.
EF_ICCID, EF_SPN = 12258, 28486
SPN_NAME_BYTES = 16
# The data coding schemes of the USSD forms: the default alphabet, and UCS2.
USSD_DCS = {"text": 15, "packed": 15, "ucs2": 72}
# A line of basic settings: ATE<n>, ATV<n> and +CMEE=<n>, in that order, each optional.
SETUP = re.compile(r"^AT(E[01])?(V[01])?(\+CMEE=[012])?$")


class Card:
    """The SIM and the network's session with it: shared by every port of one phone."""

    def __init__(self, settings):
        self.sim = settings["sim"]
        self.pin_tries = 0 if self.sim == "puk" else PIN_TRIES
        self.puk_tries = PUK_TRIES
        self.busy_left = 0  # AT+CPIN? still answered "SIM busy" after the last code
        self.menu_open = False  # a USSD menu waits for its answer
        lock = settings["lock"]
        self.lock = lock == "1" if lock else self.sim in ("pin", "puk")


class Phone:
    def __init__(self, number, behaviour, settings, prefix):
        self.number = number
        self.behaviour = behaviour
        self.settings = dict(DEFAULTS, **BEHAVIOURS[behaviour], **settings)
        self.link = os.path.join(prefix, "dosdevices", "com%d" % number)
        self.master = self.slave = None
        self.target = None
        self.line = b""
        self.first_byte = None
        self.held_back = []
        self.asked_after_at = 0
        self.card = Card(self.settings)
        self.unsolicited = []  # lines to send a while after the answer: (when, bytes)
        self.log = None  # where what the port hears and sends is written, when asked for

    # Linking and ending.
    def start(self, hold_dir):
        if os.path.lexists(self.link):
            os.unlink(self.link)
        if self.behaviour == "held":
            self.target = hold_dir
        elif self.behaviour == "notaport":
            self.target = os.devnull
        else:
            self.master, self.slave = os.openpty()
            tty.setraw(self.slave)
            os.set_blocking(self.master, False)
            self.target = os.ttyname(self.slave)
        os.symlink(self.target, self.link)

    def stop(self):
        for fd in (self.master, self.slave):
            if fd is not None:
                try:
                    os.close(fd)
                except OSError:
                    pass
        self.master = self.slave = None
        try:
            if os.path.islink(self.link) and os.readlink(self.link) == self.target:
                os.unlink(self.link)
        except OSError:
            pass

    # Talking.
    def eol(self):
        return b"\r" if self.settings["eol"] == "cr" else b"\r\n"

    def send(self, data):
        if self.master is None:
            return
        try:
            os.write(self.master, data)
        except (BlockingIOError, OSError):
            pass  # nobody reads: what does not fit is lost, as on a real line

    def answer(self, lines, final="OK"):
        eol = self.eol()
        if self.settings["verbose"] == "0":
            out = b"".join(line.encode() + eol for line in lines)
            return out + NUMERIC.get(final, final).encode() + b"\r"
        out = b""
        for line in lines:
            out += eol + line.encode() + eol
        return out + eol + final.encode() + eol

    def cme(self, reason):
        number, words = CME[reason]
        return "+CME ERROR: " + (words if self.settings["cme"] == "words" else str(number))

    def reply_to(self, command):
        s = self.settings
        upper = command.upper()
        if upper == "AT":
            return self.answer([])
        if upper in s["notsupported"].split("/"):
            return self.answer([], "COMMAND NOT SUPPORT")
        setup = SETUP.match(upper)
        if setup and upper != "AT":
            if s["keepmode"] != "1":
                echo, verbose, _ = setup.groups()
                if echo:
                    s["echo"] = echo[-1]
                if verbose:
                    s["verbose"] = verbose[-1]
            return self.answer([])
        if upper == "AT+CGMI":
            return self.answer([s["maker"]])
        if upper == "AT+CGMM":
            return self.answer([s["model"]])
        if upper == "ATI":
            return self.answer(["Manufacturer: " + s["maker"], "Model: " + s["model"], "Revision: 1.0"])
        if upper == "AT+CPIN?":
            if self.card.busy_left > 0:
                self.card.busy_left -= 1
                return self.answer([], self.cme("busy"))
            if self.card.sim in CME:
                return self.answer([], self.cme(self.card.sim))
            return self.answer(["+CPIN: " + CPIN[self.card.sim]])
        if upper.startswith("AT+CPIN="):
            given = codes(command[len("AT+CPIN="):])
            if self.card.sim == "pin" and len(given) == 1:
                return self.try_pin(given[0], lambda: setattr(self.card, "sim", "ready"))
            if self.card.sim == "puk" and len(given) == 2:
                return self.try_puk(given[0], given[1])
            return self.answer([], self.cme("notallowed"))
        if upper == "AT+CPINR" or upper.startswith("AT+CPINR="):
            if s["cpinr"] == "0":
                return self.answer([], "ERROR")
            pin = "x" if s["cpinr"] == "garbage" else str(self.card.pin_tries)
            return self.answer(["+CPINR: SIM PIN,%s,%d" % (pin, PIN_TRIES),
                                "+CPINR: SIM PUK,%d,%d" % (self.card.puk_tries, PUK_TRIES),
                                "+CPINR: SIM PIN2,3,3", "+CPINR: SIM PUK2,10,10"])
        if upper.startswith('AT+CPWD="SC",'):
            given = codes(command[len('AT+CPWD="SC",'):])
            if self.card.sim != "ready" or len(given) != 2 or not valid_pin(given[1]):
                return self.answer([], self.cme("notallowed"))
            return self.try_pin(given[0], lambda: s.__setitem__("pin", given[1]))
        if upper == 'AT+CLCK="SC",2':
            return self.answer(["+CLCK: %d" % (1 if self.card.lock else 0)])
        if upper.startswith('AT+CLCK="SC",'):
            mode, *given = codes(command[len('AT+CLCK="SC",'):])
            if self.card.sim != "ready" or mode not in ("0", "1") or len(given) != 1:
                return self.answer([], self.cme("notallowed"))
            return self.try_pin(given[0], lambda: setattr(self.card, "lock", mode == "1"))
        if upper == "AT+CSQ":
            return self.answer(["+CSQ: %s,99" % s["signal"]])
        if upper == "AT+CREG?":
            return self.answer(["+CREG: 0,%s" % s["creg"]])
        if upper == "AT+CGREG?":
            return self.answer(["+CGREG: 0,%s" % s["cgreg"]])
        if upper == "AT+CIMI":
            ready = self.card.sim in ("ready", "pin2")
            return self.answer([s["imsi"]]) if ready else self.answer([], self.cme("locked"))
        if upper == "AT+CRSM=176,28589,0,0,4":
            if s["efad"] == "refused":
                return self.answer(['+CRSM: 106,130,""'])  # security status not satisfied
            return self.answer(['+CRSM: 144,0,"%s"' % s["efad"]])
        if upper == "AT+COPS?":
            return self.answer(["+COPS: " + s["cops"]])
        if upper == "AT+CCID":
            if s["iccid"] == "none":
                return self.answer([], "ERROR")
            return self.answer(["+CCID: " + s["iccid"]])
        if upper.startswith("AT+CRSM=176,%d," % EF_ICCID) or upper.startswith("AT+CRSM=176,%d," % EF_SPN):
            if self.card.sim not in ("ready", "pin2"):
                return self.answer([], self.cme("locked"))
            data = iccid_file(s["iccid"]) if upper.startswith("AT+CRSM=176,%d," % EF_ICCID) else spn_file(s["spn"])
            return self.answer(['+CRSM: 144,0,"%s"' % data] if data else ['+CRSM: 106,130,""'])
        if upper.startswith("AT+CUSD"):
            return self.ussd(command)
        if upper.startswith("AT+CGDCONT") or upper.startswith("AT+COPS="):
            return self.answer([])
        return self.answer([], "ERROR")

    def ussd(self, command):
        """AT+CUSD: the answer now, and the network's reply as an unsolicited line later."""
        s = self.settings
        if command.upper() == "AT+CUSD?":
            return self.answer(["+CUSD: 1"])
        given = codes(command[len("AT+CUSD="):]) if "=" in command else []
        if not given or given[0] not in ("0", "1", "2"):
            return self.answer([], "ERROR")
        if given[0] == "2":
            self.card.menu_open = False
            return self.answer([])
        if len(given) < 2 or s["ussd"] == "never":
            return self.answer([])
        code = given[1]
        if s["ussd"] == "notsupported":
            self.later("+CUSD: 4")
        elif (self.card.menu_open and code == s["menuanswer"]) or (not self.card.menu_open and code == s["balance"] and not s["menu"]):
            self.card.menu_open = False
            self.later(ussd_line(0, s["balancetext"], s["ussdform"]))
        elif not self.card.menu_open and code == s["balance"]:
            self.card.menu_open = True
            self.later(ussd_line(1, "\r\n".join(s["menu"].split("/")), s["ussdform"]))
        else:
            self.card.menu_open = False
            self.later("+CUSD: 2")
        return self.answer([])

    def later(self, line):
        eol = self.eol()
        self.unsolicited.append((time.monotonic() + float(self.settings["ussdwait"]), eol + line.encode() + eol))

    def try_pin(self, given, on_right):
        """A PIN given to the SIM: a right one runs on_right and restores the tries; a wrong
        one spends a try, and the last one blocks the SIM."""
        self.card.busy_left = int(self.settings["busyafter"])
        if self.card.pin_tries > 0 and given == self.settings["pin"]:
            self.card.pin_tries = PIN_TRIES
            on_right()
            return self.answer([])
        self.card.pin_tries = max(0, self.card.pin_tries - 1)
        if self.card.pin_tries == 0:
            self.card.sim = "puk"
            return self.answer([], self.cme("pukneeded"))
        return self.answer([], self.cme("wrongpin"))

    def try_puk(self, puk, new_pin):
        self.card.busy_left = int(self.settings["busyafter"])
        if valid_pin(new_pin) and self.card.puk_tries > 0 and puk == self.settings["puk"]:
            self.settings["pin"] = new_pin
            self.card.pin_tries, self.card.puk_tries = PIN_TRIES, PUK_TRIES
            self.card.sim = "ready"
            return self.answer([])
        self.card.puk_tries = max(0, self.card.puk_tries - 1)
        if self.card.puk_tries == 0:
            self.card.sim = "failed"
        return self.answer([], self.cme("wrongpin"))

    def note(self, direction, text):
        if self.log:
            self.log.write("COM%d %s %s\n" % (self.number, direction, text.strip()))
            self.log.flush()

    def on_command(self, command, now):
        self.note(">", command)
        if self.settings["ringfirst"] == "1":
            self.send(self.eol() + b"RING" + self.eol())
        if self.settings["echo"] == "1":
            self.send(command.encode() + b"\r")
        b = self.behaviour
        if b == "silent":
            return
        if b == "garbage":
            self.send(bytes(random.getrandbits(8) for _ in range(5120)))
            return
        if b == "nul":
            self.send(b"\0" * 64)
            return
        if b == "closes" and command.upper() != "AT":
            self.send(self.eol() + self.settings["maker"][:2].encode())
            time.sleep(0.05)
            self.stop()
            return
        reply = self.reply_to(command)
        if self.settings["chatty"] == "1":
            eol = self.eol()
            reply = eol + b"RING" + eol + eol + b'+CREG: 1,"1A2B","00C3"' + eol + b"^RSSI: 14" + eol + reply
        if b == "slow" and now < self.first_byte + float(self.settings["wake"]):
            self.held_back.append(reply)
            return
        self.send(reply)

    def on_readable(self, now):
        try:
            data = os.read(self.master, 4096)
        except (BlockingIOError, InterruptedError):
            return
        except OSError:
            data = b""
        if not data:
            return
        if self.first_byte is None:
            self.first_byte = now
        self.line += data
        while True:
            ends = [i for i in (self.line.find(b"\r"), self.line.find(b"\n")) if i >= 0]
            if not ends:
                break
            end = min(ends)
            command = self.line[:end].decode("latin-1").strip()
            self.line = self.line[end + 1:]
            if command:
                self.on_command(command, now)
            if self.master is None:
                break

    def on_tick(self, now):
        due = [data for when, data in self.unsolicited if when <= now]
        if due:
            self.unsolicited = [(when, data) for when, data in self.unsolicited if when > now]
            for data in due:
                self.note("<", data.decode("latin-1"))
            self.send(b"".join(due))
        if self.held_back and now >= self.first_byte + float(self.settings["wake"]):
            self.send(b"".join(self.held_back))
            self.held_back = []


def codes(text):
    """The comma-separated arguments of a command, without their quotes."""
    return [part.strip().strip('"') for part in text.split(",")] if text else []


def iccid_file(iccid):
    """EF_ICCID: the digits as BCD, each byte's two swapped, 'F' filling ten bytes."""
    if iccid == "none":
        return ""
    digits = iccid.ljust(20, "F")
    return "".join(digits[i + 1] + digits[i] for i in range(0, 20, 2))


def spn_file(name):
    """EF_SPN: display condition 0, then the name in the GSM alphabet (ASCII here) or, for any
    other text, UCS2 after 0x80; FF fills the rest."""
    if name == "none":
        return ""
    if name.isascii() and "@" not in name:
        data = name.encode("ascii")
    else:
        data = b"\x80" + name.encode("utf-16-be")
    return ("00" + data[:SPN_NAME_BYTES].hex().upper()).ljust(2 + 2 * SPN_NAME_BYTES, "F")


def packed_septets(text):
    """ASCII text as the GSM alphabet's septets packed into octets, in hex ('@' is septet 0)."""
    bits = count = 0
    out = bytearray()
    for septet in (0 if c == "@" else ord(c) for c in text):
        bits |= septet << count
        count += 7
        while count >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            count -= 8
    if count:
        out.append(bits & 0xFF)
    return out.hex().upper()


def ussd_line(status, text, form):
    shown = {"text": lambda t: t, "ucs2": lambda t: t.encode("utf-16-be").hex().upper(),
             "packed": packed_septets}[form](text)
    return '+CUSD: %d,"%s",%d' % (status, shown, USSD_DCS[form])


def valid_pin(pin):
    return 4 <= len(pin) <= 8 and pin.isdigit()


def parse_port(text):
    number, _, rest = text.partition(":")
    behaviour, *pairs = rest.split(",")
    if not number.isdigit() or behaviour not in BEHAVIOURS:
        raise argparse.ArgumentTypeError("not a port: %r (N:BEHAVIOUR[,key=value...])" % text)
    settings = {}
    for pair in pairs:
        key, sep, value = pair.partition("=")
        if not sep or key not in DEFAULTS:
            raise argparse.ArgumentTypeError("unknown setting %r in %r" % (pair, text))
        settings[key] = value
    return int(number), behaviour, settings


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--prefix", default=os.environ.get("WINEPREFIX"), help="the Wine prefix (default $WINEPREFIX)")
    parser.add_argument("--lifetime", type=float, default=120.0, help="seconds before it stops by itself")
    parser.add_argument("--pidfile", help="write the pid here")
    parser.add_argument("--log", help="write here every command a port hears and every line it sends unasked")
    parser.add_argument("ports", nargs="+", type=parse_port)
    argv = sys.argv[1:]
    run = []
    if "--run" in argv:
        at = argv.index("--run")
        argv, run = argv[:at], argv[at + 1:]
    args = parser.parse_args(argv)
    if not args.prefix or not os.path.isdir(os.path.join(args.prefix, "dosdevices")):
        parser.error("no Wine prefix with a dosdevices folder: %r" % args.prefix)

    stopping = []
    signal.signal(signal.SIGTERM, lambda *_: stopping.append(True))
    signal.signal(signal.SIGINT, lambda *_: stopping.append(True))
    parent = os.getppid()
    hold_dir = os.path.join(args.prefix, "simphone-held")
    os.makedirs(hold_dir, exist_ok=True)

    given = {n: (b, s) for n, b, s in args.ports}
    phones = []
    for number, behaviour, settings in args.ports:
        of = settings.get("of")
        if of:
            if not of.isdigit() or int(of) not in given or given[int(of)][1].get("of"):
                parser.error("COM%d: of=%s names no phone of its own" % (number, of))
            settings = dict(given[int(of)][1], **settings)
        elif "iccid" not in settings:
            # Every phone a SIM of its own: the last digits are its port's number.
            settings["iccid"] = DEFAULTS["iccid"][:15] + "%05d" % number
        phones.append(Phone(number, behaviour, settings, args.prefix))
    by_number = {phone.number: phone for phone in phones}
    if args.log:
        os.makedirs(os.path.dirname(os.path.abspath(args.log)), exist_ok=True)
    log = open(args.log, "w") if args.log else None
    for phone in phones:
        phone.log = log
        if phone.settings["of"]:
            phone.card = by_number[int(phone.settings["of"])].card
    child = None
    try:
        for phone in phones:
            phone.start(hold_dir)
        if args.pidfile:
            with open(args.pidfile, "w") as f:
                f.write("%d\n" % os.getpid())
        print("ready", flush=True)
        if run:
            child = subprocess.Popen(run)
        end = time.monotonic() + args.lifetime
        while not stopping:
            now = time.monotonic()
            if now >= end:
                print("simphone: lifetime over, stopping", file=sys.stderr)
                break
            if os.getppid() != parent:
                break  # the parent ended: nobody will stop us
            if child is not None and child.poll() is not None:
                break
            masters = {p.master: p for p in phones if p.master is not None and p.behaviour != "stuck"}
            readable, _, _ = select.select(list(masters), [], [], 0.02)
            now = time.monotonic()
            for fd in readable:
                if fd in masters:
                    masters[fd].on_readable(now)
            for phone in phones:
                phone.on_tick(now)
    finally:
        for phone in phones:
            phone.stop()
        if args.pidfile:
            try:
                os.unlink(args.pidfile)
            except OSError:
                pass
        if child is not None and child.poll() is None:
            child.terminate()  # only the command this run started
            try:
                child.wait(10)
            except subprocess.TimeoutExpired:
                child.kill()
    if child is not None:
        return child.returncode if child.returncode >= 0 else 128 - child.returncode
    return 0


if __name__ == "__main__":
    sys.exit(main())
