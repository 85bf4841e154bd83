"""A headless LibreOffice of its own for tests and benchmarks: a fresh profile with the Stock
Master extension installed (through scripts/calc-install), on a free port, documents opened
hidden, menu entries dispatched as the menu does, and the scripted user's transcript read back.

Run it as an ordinary user (LibreOffice installs extensions per user, and not for root) with /usr/bin/python3,
whose uno module talks to LibreOffice."""

import json
import os
import shutil
import socket
import subprocess
import time

import uno
from com.sun.star.beans import PropertyValue

SERVICE = "org.orvstock.calc.StockMaster"


def _property(name, value):
    prop = PropertyValue()
    prop.Name = name
    prop.Value = value
    return prop


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


class Office:
    def __init__(self, workdir, oxt, install_script):
        self.workdir = workdir
        self.profile = os.path.join(workdir, "lo-profile")
        self.script = os.path.join(workdir, "script.json")
        self.transcript = os.path.join(workdir, "transcript.jsonl")
        self.oxt = oxt
        self.install_script = install_script
        self.process = None
        self.desktop = None
        self.log = open(os.path.join(workdir, "soffice.log"), "w")

    def start(self):
        subprocess.run([self.install_script, "--profile", self.profile, "--oxt", self.oxt],
                       check=True, stdout=self.log, stderr=subprocess.STDOUT)
        port = free_port()
        env = dict(os.environ, ORVSTOCK_CALC_SCRIPT=self.script)
        self.process = subprocess.Popen(
            ["soffice", "--headless", "--invisible", "--nologo", "--norestore", "--nodefault",
             "--nolockcheck", "-env:UserInstallation=file://" + self.profile,
             "--accept=socket,host=127.0.0.1,port=%d;urp;StarOffice.ComponentContext" % port],
            env=env, stdout=self.log, stderr=subprocess.STDOUT, start_new_session=True)
        local = uno.getComponentContext()
        resolver = local.ServiceManager.createInstanceWithContext(
            "com.sun.star.bridge.UnoUrlResolver", local)
        deadline = time.monotonic() + 60
        while True:
            try:
                self.ctx = resolver.resolve(
                    "uno:socket,host=127.0.0.1,port=%d;urp;StarOffice.ComponentContext" % port)
                break
            except Exception:
                if time.monotonic() > deadline or self.process.poll() is not None:
                    raise RuntimeError("LibreOffice did not start; see " + self.log.name)
                time.sleep(0.1)
        self.desktop = self.ctx.ServiceManager.createInstanceWithContext(
            "com.sun.star.frame.Desktop", self.ctx)
        self.dispatcher = self.ctx.ServiceManager.createInstanceWithContext(
            "com.sun.star.frame.DispatchHelper", self.ctx)

    def log_text(self):
        self.log.flush()
        with open(self.log.name, encoding="utf-8", errors="replace") as log:
            return log.read()

    def alive(self):
        """LibreOffice still answers (an exception that escaped a Python component ends it)."""
        try:
            return self.process.poll() is None and self.desktop.getComponents() is not None
        except Exception:
            return False

    def open(self, path):
        doc = self.desktop.loadComponentFromURL(uno.systemPathToFileUrl(path), "_blank", 0,
                                                (_property("Hidden", True),))
        if doc is None:
            raise RuntimeError("LibreOffice could not open " + path)
        doc.getCurrentController().getFrame().activate()
        return doc

    def dispatch(self, doc, entry, answers=(), scripted=True):
        """Runs the menu entry on the document with the scripted user's answers; the events of
        the transcript. Not scripted: the user interface is LibreOffice's own, whose dialogs and
        message boxes end at once when it runs headless."""
        if scripted:
            with open(self.script, "w", encoding="utf-8") as out:
                json.dump({"answers": list(answers), "transcript": self.transcript}, out)
        elif os.path.exists(self.script):
            os.remove(self.script)
        if os.path.exists(self.transcript):
            os.remove(self.transcript)
        frame = doc.getCurrentController().getFrame()
        frame.activate()
        self.dispatcher.executeDispatch(frame, "service:%s?%s" % (SERVICE, entry), "", 0, ())
        events = []
        if os.path.exists(self.transcript):
            with open(self.transcript, encoding="utf-8") as transcript:
                events = [json.loads(line) for line in transcript]
        return events

    def stop(self):
        if self.process is None:
            return
        try:
            if self.desktop is not None:
                self.desktop.terminate()
        except Exception:
            pass
        try:
            self.process.wait(timeout=20)
        except subprocess.TimeoutExpired:
            os.killpg(self.process.pid, 9)
            self.process.wait()
        self.process = None
        self.log.close()


def column(doc, sheet, first_row, column_index, rows):
    """The values of one column (1-based row and column), as Calc holds them."""
    cells = doc.getSheets().getByIndex(sheet).getCellRangeByPosition(
        column_index - 1, first_row - 1, column_index - 1, first_row + rows - 2)
    return [row[0] for row in cells.getDataArray()]


def named_area(doc, name):
    """(sheet, first row, first column, last row) of a defined name, 1-based."""
    a = doc.NamedRanges.getByName(name).getReferredCells().getRangeAddress()
    return a.Sheet, a.StartRow + 1, a.StartColumn + 1, a.EndRow + 1


def range_values(doc, name):
    sheet, first_row, first_column, last_row = named_area(doc, name)
    return column(doc, sheet, first_row, first_column, last_row - first_row + 1)


def copy(source, folder, name):
    target = os.path.join(folder, name)
    shutil.copyfile(source, target)
    return target
