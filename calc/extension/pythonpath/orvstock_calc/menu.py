"""The Stock Master menu's handler: each entry makes the stock component on the open document,
calls its members, and tells the user what they did. Nothing escapes: an exception that left a
Python component would take LibreOffice down with it."""

import os
import traceback

from . import entries
from .dialogs import DEFAULT_TITLE, UnoUser
from .document import Document
from .library import (BUTTONS_OK, Bridge, ICON_EXCLAMATION, ICON_INFORMATION, library_beside)
from .scripted import SCRIPT_VARIABLE, ScriptedUser

_library = None
# The company the user chose for each open document (ChangeOrvConnection), for this session.
_companies = {}


def _load_library():
    global _library
    if _library is None:
        _library = library_beside(__file__)
    return _library


class CalcHost:
    """What the library's callbacks reach: the document, the user, and the notices of the
    action, told at its end in one box."""

    def __init__(self, document, user, presets):
        self.document = document
        self.user = user
        self.presets = dict(presets)
        self.notices = []
        self.find_range = document.find_range
        self.get_cells = document.get_cells
        self.set_cells = document.set_cells
        self.clear_cells = document.clear_cells
        self.grow_range = document.grow_range
        self.edit = document.edit
        self.sheet_name = document.sheet_name
        self.active_cell = document.active_cell
        self.select_rows = document.select_rows
        self.message_box = user.message_box
        self.showing_progress = False

    def form_actions(self, form):
        preset = self.presets.pop(form.name, None)
        return list(preset) if preset is not None else self.user.form_actions(form)

    def notice(self, text):
        self.notices.append(text)

    def progress(self, text):
        self.showing_progress = text is not None
        self.user.progress(text)


def _user(ctx, frame):
    script = os.environ.get(SCRIPT_VARIABLE)
    if script and os.path.exists(script):
        return ScriptedUser(ctx, script)
    return UnoUser(ctx, frame)


def _spreadsheet(frame):
    controller = frame.getController() if frame is not None else None
    model = controller.getModel() if controller is not None else None
    if model is None or not model.supportsService("com.sun.star.sheet.SpreadsheetDocument"):
        return None
    return model


def _run(ctx, key, user, frame):
    entry = entries.find(key)
    if entry is None:
        raise RuntimeError("the menu has no entry \"%s\"" % key)
    model = _spreadsheet(frame)
    if model is None:
        user.message_box("Stock Master works on a spreadsheet: open or activate one first.",
                         BUTTONS_OK, ICON_INFORMATION, DEFAULT_TITLE)
        return
    library = _load_library()
    document = Document(model)
    host = CalcHost(document, user, entry.presets)
    session = model.RuntimeUID
    bridge = Bridge(library, host, title=document.title(), company=_companies.get(session, ""),
                    date1904=document.date1904())
    component = library.create(entries.PROG_ID, bridge)
    if component is None:
        raise RuntimeError("the stock component could not be made: " + library.last_error())
    try:
        members = (("AddRanges",) if entry.document else ()) + entry.members
        for member in members:
            status, answer = component.call(member)
            if status < 0:
                user.message_box("%s is not available: %s" % (entry.title.replace("~", "")
                                                              .rstrip("."), library.last_error()),
                                 BUTTONS_OK, ICON_EXCLAMATION, DEFAULT_TITLE)
                break
            if status > 0:
                break  # the component has told the user why
            if member == "BrowseAvailable" and answer != "1":
                host.notice("No browse is available for this cell.")
                break
        _companies[session] = component.company()
    finally:
        component.release()
        if host.showing_progress:
            host.progress(None)
    if host.notices:
        user.tell(host.notices)


def run(ctx, key):
    user = None
    try:
        desktop = ctx.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", ctx)
        frame = desktop.getCurrentFrame()
        user = _user(ctx, frame)
        _run(ctx, key, user, frame)
    except BaseException as error:  # noqa: B036 - nothing may leave a menu entry
        detail = "".join(traceback.format_exception_only(type(error), error)).strip()
        traceback.print_exc()
        try:
            if user is not None:
                user.message_box("Stock Master stopped: " + detail, BUTTONS_OK, ICON_EXCLAMATION,
                                 DEFAULT_TITLE)
        except BaseException:  # noqa: B036 - the report itself failed: the trace above remains
            traceback.print_exc()
    finally:
        finish = getattr(user, "finish", None)
        if finish is not None:
            try:
                finish()
            except BaseException:  # noqa: B036
                traceback.print_exc()
