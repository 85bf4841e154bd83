"""The user, as LibreOffice shows things to them: message boxes, the library's dialogs built as UNO
dialogs from the form's controls, and the document's status bar for progress."""

import uno
import unohelper
from com.sun.star.awt import XActionListener

from .library import (ANSWER_CANCEL, ANSWER_NO, ANSWER_OK, ANSWER_YES, BUTTONS_OK,
                      BUTTONS_OK_CANCEL, BUTTONS_YES_NO, CONTROL_CHECK_BOX, CONTROL_COMBO_BOX,
                      CONTROL_COMMAND_BUTTON, CONTROL_FRAME, CONTROL_LABEL, CONTROL_LIST,
                      CONTROL_OPTION_BUTTON, CONTROL_TEXT_BOX, ICON_EXCLAMATION,
                      ICON_INFORMATION)

DEFAULT_TITLE = "Stock Master"
# com.sun.star.awt.MessageBoxButtons and MessageBoxResults.
_BUTTONS = {BUTTONS_OK: 1, BUTTONS_OK_CANCEL: 2, BUTTONS_YES_NO: 3}
_RESULTS = {1: ANSWER_OK, 2: ANSWER_YES, 3: ANSWER_NO}
_REFUSAL = {BUTTONS_OK: ANSWER_OK, BUTTONS_OK_CANCEL: ANSWER_CANCEL, BUTTONS_YES_NO: ANSWER_NO}
# A list shows "code - description"; the code is what the form takes.
_LIST_SEPARATOR = " - "

# Layout of a built dialog, in dialog units.
_WIDTH = 230
_LINE = 14
_MARGIN = 6
_LIST_LINES = 12


def list_line(number, row):
    return "%d   %s" % (number, "   ".join(row))


def message_type(icon, buttons):
    kind = "INFOBOX" if icon == ICON_INFORMATION else (
        "WARNINGBOX" if icon == ICON_EXCLAMATION else "MESSAGEBOX")
    if buttons != BUTTONS_OK and icon != ICON_EXCLAMATION:
        kind = "QUERYBOX"
    return uno.Enum("com.sun.star.awt.MessageBoxType", kind)


def list_item(code, description):
    return code + _LIST_SEPARATOR + description if description else code


def list_code(item):
    return item.split(_LIST_SEPARATOR, 1)[0]


class _Clicked(unohelper.Base, XActionListener):
    def __init__(self, name, dialog, clicked):
        self.name = name
        self.dialog = dialog
        self.clicked = clicked

    def actionPerformed(self, _event):
        self.clicked.append(self.name)
        self.dialog.endExecute()

    def disposing(self, _event):
        pass


def build_dialog(ctx, form):
    """A UNO dialog showing the form's visible controls, top to bottom, buttons at the foot.
    Returns the dialog and the controls shown in it by name."""
    smgr = ctx.ServiceManager
    model = smgr.createInstanceWithContext("com.sun.star.awt.UnoControlDialogModel", ctx)
    model.Title = form.caption or DEFAULT_TITLE
    shown = {}
    y = _MARGIN
    buttons = []

    def add(kind, name, height, x=_MARGIN, width=_WIDTH - 2 * _MARGIN, **properties):
        element = model.createInstance("com.sun.star.awt.UnoControl%sModel" % kind)
        element.PositionX, element.PositionY, element.Width, element.Height = x, y, width, height
        for key, value in properties.items():
            setattr(element, key, value)
        model.insertByName(name, element)
        return element

    for control in form.controls:
        if not control.shown:
            continue
        name = control.name
        if control.kind == CONTROL_COMMAND_BUTTON:
            buttons.append(control)
            continue
        if control.kind == CONTROL_FRAME:
            add("FixedLine", name, 10, Label=control.caption)
        elif control.kind == CONTROL_LABEL:
            add("FixedText", name, 10, Label=control.caption, MultiLine=True)
        elif control.kind == CONTROL_CHECK_BOX:
            add("CheckBox", name, 10, Label=control.caption, State=int(control.value),
                Enabled=control.enabled, HelpText=control.tip)
        elif control.kind == CONTROL_OPTION_BUTTON:
            add("RadioButton", name, 10, Label=control.caption, State=int(control.value),
                Enabled=control.enabled, HelpText=control.tip)
        elif control.kind == CONTROL_TEXT_BOX:
            add("FixedText", name + ".label", 10, width=90, Label=control.caption)
            add("Edit", name, 12, x=100, width=_WIDTH - 100 - _MARGIN, Text=control.text,
                Enabled=control.enabled, HelpText=control.tip)
        elif control.kind == CONTROL_LIST:
            add("FixedText", name + ".label", 10, Label="   ".join(control.captions))
            y += 10
            add("ListBox", name, _LIST_LINES * 8, MultiSelection=control.multiple,
                StringItemList=tuple(list_line(control.first_number + i, row)
                                     for i, row in enumerate(control.rows)),
                SelectedItems=tuple(i for i, chosen in enumerate(control.chosen) if chosen),
                Enabled=control.enabled, HelpText=control.tip)
            y += _LIST_LINES * 8 - _LINE + 2
        elif control.kind == CONTROL_COMBO_BOX:
            add("FixedText", name + ".label", 10, width=90, Label=control.caption)
            items = tuple(list_item(code, description) for code, description in control.rows)
            current = next((item for item in items if list_code(item) == control.text),
                           control.text)
            add("ComboBox", name, 12, x=100, width=_WIDTH - 100 - _MARGIN, Dropdown=True,
                StringItemList=items, Text=current, Enabled=control.enabled,
                HelpText=control.tip, LineCount=12)
        else:
            continue
        shown[name] = control
        y += _LINE
    y += _MARGIN
    width = 60
    for index, control in enumerate(buttons):
        add("Button", control.name, 14, x=_WIDTH - (len(buttons) - index) * (width + _MARGIN),
            width=width, Label=control.caption, Enabled=control.enabled, HelpText=control.tip)
    model.Width = _WIDTH
    model.Height = y + 14 + _MARGIN
    dialog = smgr.createInstanceWithContext("com.sun.star.awt.UnoControlDialog", ctx)
    dialog.setModel(model)
    return dialog, shown, buttons


def read_actions(dialog, shown):
    """What the user changed, as form actions: ticks and choices first (they may show or hide
    other controls; rows chosen refer to the page shown), then texts and drop-down lists."""
    choices, texts = [], []
    for name, control in shown.items():
        model = dialog.getControl(name).getModel()
        if control.kind == CONTROL_LIST:
            # A chosen row chosen again is taken back (several at once) or stays (one at once).
            selected = set(model.SelectedItems)
            for i, chosen in enumerate(control.chosen):
                if (i in selected) != chosen and (control.multiple or i in selected):
                    choices.append(str(control.first_number + i))
        elif control.kind == CONTROL_CHECK_BOX and bool(model.State) != control.value:
            choices.append("%s=%d" % (name, 1 if model.State else 0))
        elif control.kind == CONTROL_OPTION_BUTTON and model.State and not control.value:
            choices.append(name)
        elif control.kind == CONTROL_TEXT_BOX:
            text = model.Text.replace("\r", " ").replace("\n", " ")
            if text != control.text:
                texts.append("%s=%s" % (name, text))
        elif control.kind == CONTROL_COMBO_BOX:
            code = list_code(model.Text.replace("\r", " ").replace("\n", " "))
            if code != control.text:
                texts.append("%s=%s" % (name, code))
    return choices + texts


class UnoUser:
    """The person at the screen."""

    def __init__(self, ctx, frame):
        self.ctx = ctx
        self.frame = frame
        self.status = None

    def _parent(self):
        return self.frame.getContainerWindow() if self.frame is not None else None

    def message_box(self, prompt, buttons, icon, title):
        toolkit = self.ctx.ServiceManager.createInstanceWithContext("com.sun.star.awt.Toolkit",
                                                                    self.ctx)
        box = toolkit.createMessageBox(self._parent(), message_type(icon, buttons),
                                       _BUTTONS[buttons], title or DEFAULT_TITLE, prompt)
        try:
            result = box.execute()
        finally:
            box.dispose()
        answer = _RESULTS.get(result, _REFUSAL[buttons])
        if buttons == BUTTONS_OK_CANCEL and answer not in (ANSWER_OK, ANSWER_CANCEL):
            answer = ANSWER_CANCEL
        return answer

    def form_actions(self, form):
        dialog, shown, buttons = build_dialog(self.ctx, form)
        clicked = []
        listeners = []
        try:
            toolkit = self.ctx.ServiceManager.createInstanceWithContext(
                "com.sun.star.awt.Toolkit", self.ctx)
            dialog.createPeer(toolkit, self._parent())
            for control in buttons:
                listener = _Clicked(control.name, dialog, clicked)
                listeners.append(listener)
                dialog.getControl(control.name).addActionListener(listener)
            dialog.execute()
            if not clicked:
                return None
            return read_actions(dialog, shown) + clicked[-1:]
        finally:
            dialog.dispose()

    def progress(self, text):
        if text is None:
            if self.status is not None:
                self.status.end()
                self.status = None
            return
        if self.status is None:
            if self.frame is None:
                return
            self.status = self.frame.createStatusIndicator()
            self.status.start(text, 0)
        self.status.setText(text)

    def tell(self, lines):
        """What the action did, in one box at its end."""
        self.message_box("\n".join(lines), BUTTONS_OK, ICON_INFORMATION, DEFAULT_TITLE)
