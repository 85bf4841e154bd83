"""The OrvStockExcel library through its C interface (shell/CalcExports.h and
shell/outside/calc/CalcHost.h), with ctypes. No LibreOffice here: the host hands in an object that
answers the callbacks (see Bridge)."""

import array
import ctypes
import os
import sys
import traceback
from ctypes import (CFUNCTYPE, POINTER, Structure, c_char_p, c_double, c_int, c_int32, c_size_t,
                    c_uint8, c_uint32, c_void_p)

CELL_EMPTY, CELL_NUMBER, CELL_TEXT, CELL_BOOLEAN, CELL_ERROR, CELL_DATE = range(6)
BUTTONS_OK, BUTTONS_OK_CANCEL, BUTTONS_YES_NO = range(3)
ICON_NONE, ICON_INFORMATION, ICON_EXCLAMATION = range(3)
ANSWER_OK, ANSWER_CANCEL, ANSWER_YES, ANSWER_NO = range(4)
(CONTROL_CHECK_BOX, CONTROL_OPTION_BUTTON, CONTROL_TEXT_BOX, CONTROL_COMBO_BOX, CONTROL_FRAME,
 CONTROL_COMMAND_BUTTON, CONTROL_LABEL, CONTROL_LIST) = range(8)
EDIT_END, EDIT_FAILED = 0, -1  # before the changes: how many writes are to come

LIBRARY_FILE = "libOrvStockExcel.so"


class Area(Structure):
    _fields_ = [("sheet", c_int32), ("first_row", c_int32), ("first_column", c_int32),
                ("last_row", c_int32), ("last_column", c_int32)]


class Cells(Structure):
    _fields_ = [("rows", c_int32), ("columns", c_int32), ("kinds", c_void_p),
                ("numbers", c_void_p), ("texts", c_void_p), ("texts_size", c_size_t)]


class Control(Structure):
    _fields_ = [("name", c_char_p), ("kind", c_int32), ("caption", c_char_p), ("frame", c_char_p),
                ("group", c_char_p), ("tip", c_char_p), ("text", c_char_p), ("value", c_int32),
                ("shown", c_int32), ("enabled", c_int32), ("rows", c_int32),
                ("columns", c_int32), ("first_number", c_int32), ("multiple", c_int32)]


ERROR_TEXT = CFUNCTYPE(c_void_p, c_void_p)
FIND_RANGE = CFUNCTYPE(c_int, c_void_p, c_char_p, POINTER(Area))
GET_CELLS = CFUNCTYPE(c_int, c_void_p, POINTER(Area), POINTER(Cells))
SET_CELLS = CFUNCTYPE(c_int, c_void_p, POINTER(Area), POINTER(Cells))
CLEAR_CELLS = CFUNCTYPE(c_int, c_void_p, POINTER(Area))
GROW_RANGE = CFUNCTYPE(c_int, c_void_p, c_char_p, c_int32)
EDIT = CFUNCTYPE(c_int, c_void_p, c_int32)
SHEET_NAME = CFUNCTYPE(c_int, c_void_p, c_int32, POINTER(c_void_p))
ACTIVE_CELL = CFUNCTYPE(c_int, c_void_p, POINTER(Area))
SELECT_ROWS = CFUNCTYPE(c_int, c_void_p, c_int32, c_int32, c_int32)
MESSAGE_BOX = CFUNCTYPE(c_int, c_void_p, c_char_p, c_int32, c_int32, c_char_p, POINTER(c_int32))
FORM_ACTIONS = CFUNCTYPE(c_int, c_void_p, c_void_p, POINTER(c_void_p))
PROGRESS = CFUNCTYPE(c_int, c_void_p, c_char_p)
NOTICE = CFUNCTYPE(c_int, c_void_p, c_char_p)
ENVIRONMENT = CFUNCTYPE(c_void_p, c_void_p, c_char_p)


class Host(Structure):
    _fields_ = [("size", c_uint32), ("context", c_void_p), ("title", c_char_p),
                ("company", c_char_p), ("companies_file", c_char_p), ("date1904", c_int32),
                ("error_text", ERROR_TEXT), ("find_range", FIND_RANGE), ("get_cells", GET_CELLS),
                ("set_cells", SET_CELLS), ("clear_cells", CLEAR_CELLS),
                ("grow_range", GROW_RANGE), ("edit", EDIT), ("sheet_name", SHEET_NAME),
                ("active_cell", ACTIVE_CELL), ("select_rows", SELECT_ROWS),
                ("message_box", MESSAGE_BOX), ("form_actions", FORM_ACTIONS),
                ("progress", PROGRESS), ("notice", NOTICE), ("environment", ENVIRONMENT)]


def _text(raw):
    return raw.decode("utf-8", "replace") if raw else ""


def _bytes(text):
    return (text or "").encode("utf-8")


class Library:
    """The loaded library: its version, the components it makes, the forms it hands over."""

    def __init__(self, path):
        self.path = path
        lib = ctypes.CDLL(path)
        lib.orv_calc_version.restype = c_char_p
        lib.orv_calc_last_error.restype = c_char_p
        lib.orv_calc_create.argtypes = [c_char_p, POINTER(Host)]
        lib.orv_calc_create.restype = c_void_p
        lib.orv_calc_call.argtypes = [c_void_p, c_char_p, POINTER(c_char_p)]
        lib.orv_calc_call.restype = c_int
        lib.orv_calc_company.argtypes = [c_void_p]
        lib.orv_calc_company.restype = c_char_p
        lib.orv_calc_release.argtypes = [c_void_p]
        lib.orv_calc_release.restype = None
        for name in ("orv_calc_form_name", "orv_calc_form_caption", "orv_calc_form_describe"):
            getattr(lib, name).argtypes = [c_void_p]
            getattr(lib, name).restype = c_char_p
        lib.orv_calc_form_control_count.argtypes = [c_void_p]
        lib.orv_calc_form_control_count.restype = c_int32
        lib.orv_calc_form_control.argtypes = [c_void_p, c_int32, POINTER(Control)]
        lib.orv_calc_form_control.restype = c_int
        lib.orv_calc_form_list_text.argtypes = [c_void_p, c_int32, c_int32, c_int32]
        lib.orv_calc_form_list_text.restype = c_char_p
        lib.orv_calc_form_list_caption.argtypes = [c_void_p, c_int32, c_int32]
        lib.orv_calc_form_list_caption.restype = c_char_p
        lib.orv_calc_form_list_chosen.argtypes = [c_void_p, c_int32, c_int32]
        lib.orv_calc_form_list_chosen.restype = c_int
        self.lib = lib

    def version(self):
        return _text(self.lib.orv_calc_version())

    def last_error(self):
        return _text(self.lib.orv_calc_last_error())

    def create(self, prog_id, bridge):
        handle = self.lib.orv_calc_create(_bytes(prog_id), ctypes.byref(bridge.table))
        return Component(self, handle) if handle else None

    def form(self, handle):
        return Form(self, handle)


def library_beside(module_file):
    """The library the extension carries, at its root."""
    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(module_file))))
    return Library(os.path.join(root, LIBRARY_FILE))


class Component:
    def __init__(self, library, handle):
        self.library = library
        self.handle = handle

    def call(self, member):
        """(status, answer): 0 done, 1 reported an error to the user, -1 could not be called
        (library.last_error() tells why)."""
        result = c_char_p()
        status = self.library.lib.orv_calc_call(self.handle, _bytes(member), ctypes.byref(result))
        return status, _text(result.value)

    def company(self):
        return _text(self.library.lib.orv_calc_company(self.handle))

    def release(self):
        if self.handle:
            self.library.lib.orv_calc_release(self.handle)
            self.handle = None


class FormControl:
    """A control of a form; lists carry their rows (each a tuple of column texts), the captions
    of their columns and which rows are chosen."""

    def __init__(self, index, control, rows, captions, chosen):
        self.index = index
        self.name = _text(control.name)
        self.kind = control.kind
        self.caption = _text(control.caption)
        self.frame = _text(control.frame)
        self.group = _text(control.group)
        self.tip = _text(control.tip)
        self.text = _text(control.text)
        self.value = bool(control.value)
        self.shown = bool(control.shown)
        self.enabled = bool(control.enabled)
        self.rows = rows
        self.captions = captions
        self.chosen = chosen
        self.first_number = control.first_number
        self.multiple = bool(control.multiple)


class Form:
    """A dialog the library asks the host to show, read through the form functions."""

    def __init__(self, library, handle):
        lib = library.lib
        self.name = _text(lib.orv_calc_form_name(handle))
        self.caption = _text(lib.orv_calc_form_caption(handle))
        self.description = _text(lib.orv_calc_form_describe(handle))
        self.controls = []
        for index in range(lib.orv_calc_form_control_count(handle)):
            control = Control()
            if lib.orv_calc_form_control(handle, index, ctypes.byref(control)) != 0:
                continue
            rows = [tuple(_text(lib.orv_calc_form_list_text(handle, index, row, column))
                          for column in range(control.columns))
                    for row in range(control.rows)]
            captions = [_text(lib.orv_calc_form_list_caption(handle, index, column))
                        for column in range(control.columns)]
            chosen = [bool(lib.orv_calc_form_list_chosen(handle, index, row))
                      for row in range(control.rows)]
            self.controls.append(FormControl(index, control, rows, captions, chosen))


def decode_cells(cells):
    """A block from the library: (rows, columns, kinds, numbers, texts), each a flat sequence,
    column after column."""
    count = cells.rows * cells.columns
    if count == 0:
        return cells.rows, cells.columns, b"", [], []
    kinds = ctypes.string_at(cells.kinds, count)
    numbers = array.array("d")
    numbers.frombytes(ctypes.string_at(cells.numbers, count * 8))
    texts = ctypes.string_at(cells.texts, cells.texts_size).decode("utf-8").split("\0")[:count]
    return cells.rows, cells.columns, kinds, numbers, texts


class EncodedCells:
    """A block for the library, kept alive until the next callback."""

    def __init__(self, rows, columns, kinds, numbers, texts):
        self.kinds = ctypes.create_string_buffer(bytes(kinds), len(kinds) or 1)
        self.numbers = array.array("d", numbers)
        blob = ("\0".join(texts) + "\0").encode("utf-8") if texts else b""
        self.texts = ctypes.create_string_buffer(blob, len(blob) or 1)
        self.cells = Cells(rows, columns, ctypes.addressof(self.kinds),
                           self.numbers.buffer_info()[0] if numbers else 0,
                           ctypes.addressof(self.texts), len(blob))


class Bridge:
    """The callback table over a host object: every callback calls the method of the same name;
    an exception becomes a failed callback whose reason the library reports to the user.
    Texts and blocks handed back stay alive until the next callback."""

    def __init__(self, library, host, title="", company="", companies_file="", date1904=False):
        self.library = library
        self.host = host
        self.failure = None
        self._keep = None
        self._error = ctypes.create_string_buffer(1)
        self._strings = [_bytes(title), _bytes(company), _bytes(companies_file)]
        callbacks = {}
        for name, kind in Host._fields_[6:]:
            callbacks[name] = kind(getattr(self, "_" + name))
        self._callbacks = callbacks  # ctypes needs them alive as long as the table
        self.table = Host(ctypes.sizeof(Host), None, self._strings[0], self._strings[1],
                          self._strings[2], 1 if date1904 else 0, **callbacks)

    def _guard(self, body):
        try:
            return body()
        except Exception as error:  # every error goes back to the library as a failed callback
            self.failure = error
            text = str(error) or type(error).__name__
            if not isinstance(error, (RuntimeError, ValueError)):
                text = "%s: %s" % (type(error).__name__, text)
            self._error = ctypes.create_string_buffer(_bytes(text))
            print("orvstock-calc: " + "".join(traceback.format_exception_only(type(error), error)),
                  file=sys.stderr, end="")
            return -1

    def _error_text(self, _context):
        return ctypes.addressof(self._error)

    def _environment(self, _context, name):
        # The profile is found from this process's environment, as orvstock finds its own.
        value = os.environ.get(_text(name))
        if value is None:
            return None
        self._variable = ctypes.create_string_buffer(_bytes(value))
        return ctypes.addressof(self._variable)

    def _find_range(self, _context, name, area):
        def body():
            found = self.host.find_range(_text(name))
            if found is None:
                return 0
            area[0].sheet, area[0].first_row, area[0].first_column, area[0].last_row, \
                area[0].last_column = found
            return 1
        return self._guard(body)

    def _get_cells(self, _context, area, cells):
        def body():
            a = area[0]
            rows, columns, kinds, numbers, texts = self.host.get_cells(
                (a.sheet, a.first_row, a.first_column, a.last_row, a.last_column))
            self._keep = EncodedCells(rows, columns, kinds, numbers, texts)
            cells[0] = self._keep.cells
            return 0
        return self._guard(body)

    def _set_cells(self, _context, area, cells):
        def body():
            a = area[0]
            self.host.set_cells((a.sheet, a.first_row, a.first_column, a.last_row, a.last_column),
                                *decode_cells(cells[0]))
            return 0
        return self._guard(body)

    def _clear_cells(self, _context, area):
        def body():
            a = area[0]
            self.host.clear_cells((a.sheet, a.first_row, a.first_column, a.last_row,
                                   a.last_column))
            return 0
        return self._guard(body)

    def _grow_range(self, _context, name, last_row):
        return self._guard(lambda: self.host.grow_range(_text(name), last_row) or 0)

    def _edit(self, _context, state):
        return self._guard(lambda: self.host.edit(state) or 0)

    def _sheet_name(self, _context, sheet, name):
        def body():
            self._keep = ctypes.create_string_buffer(_bytes(self.host.sheet_name(sheet)))
            name[0] = ctypes.addressof(self._keep)
            return 0
        return self._guard(body)

    def _active_cell(self, _context, cell):
        def body():
            sheet, row, column = self.host.active_cell()
            cell[0].sheet, cell[0].first_row, cell[0].first_column = sheet, row, column
            cell[0].last_row, cell[0].last_column = row, column
            return 0
        return self._guard(body)

    def _select_rows(self, _context, sheet, first_row, last_row):
        return self._guard(lambda: self.host.select_rows(sheet, first_row, last_row) or 0)

    def _message_box(self, _context, prompt, buttons, icon, title, answer):
        def body():
            answer[0] = self.host.message_box(_text(prompt), buttons, icon, _text(title))
            return 0
        return self._guard(body)

    def _form_actions(self, _context, form, actions):
        def body():
            chosen = self.host.form_actions(self.library.form(form))
            if chosen is None:
                actions[0] = None
            else:
                self._keep = ctypes.create_string_buffer(_bytes("\n".join(chosen)))
                actions[0] = ctypes.addressof(self._keep)
            return 0
        return self._guard(body)

    def _progress(self, _context, text):
        return self._guard(lambda: self.host.progress(None if text is None else _text(text)) or 0)

    def _notice(self, _context, text):
        return self._guard(lambda: self.host.notice(_text(text)) or 0)
