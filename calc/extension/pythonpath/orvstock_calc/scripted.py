"""A user who answers from a script instead of a screen, for headless runs (tests): the file that
ORVSTOCK_CALC_SCRIPT names, when it exists, holds {"answers": [...], "transcript": PATH}. A message box with more
than OK takes the next answer ("OK", "Cancel", "Yes", "No"), a dialog the next answer (a list of
form actions, or "close"); an unanswered question is refused. Every message, dialog, progress
text and what the action told is appended to the transcript, one JSON object a line (a dialog
with the rows its numbered lists show)."""

import json

from .dialogs import build_dialog
from .library import (ANSWER_CANCEL, ANSWER_NO, ANSWER_OK, ANSWER_YES, BUTTONS_OK,
                      BUTTONS_OK_CANCEL, CONTROL_LIST)

SCRIPT_VARIABLE = "ORVSTOCK_CALC_SCRIPT"
_WORDS = {"OK": ANSWER_OK, "Cancel": ANSWER_CANCEL, "Yes": ANSWER_YES, "No": ANSWER_NO}
_NAMES = {value: key for key, value in _WORDS.items()}


class ScriptedUser:
    def __init__(self, ctx, path):
        self.ctx = ctx
        with open(path, encoding="utf-8") as script_file:
            script = json.load(script_file)
        self.answers = list(script.get("answers", []))
        self.transcript = script["transcript"]

    def _log(self, **event):
        with open(self.transcript, "a", encoding="utf-8") as out:
            out.write(json.dumps(event) + "\n")

    def message_box(self, prompt, buttons, icon, title):
        if buttons == BUTTONS_OK:
            answer = ANSWER_OK
        elif self.answers and self.answers[0] in _WORDS:
            answer = _WORDS[self.answers.pop(0)]
        else:
            answer = ANSWER_CANCEL if buttons == BUTTONS_OK_CANCEL else ANSWER_NO
        self._log(event="message", text=prompt, title=title, icon=icon, answer=_NAMES[answer])
        return answer

    def form_actions(self, form):
        # Built as the user would see it, so that a form the dialog builder cannot show fails here.
        dialog, _shown, _buttons = build_dialog(self.ctx, form)
        dialog.dispose()
        answer = self.answers.pop(0) if self.answers else "close"
        actions = None if answer == "close" else list(answer)
        lists = {control.name: control.rows for control in form.controls
                 if control.kind == CONTROL_LIST and control.shown}
        self._log(event="form", name=form.name, caption=form.caption, lists=lists,
                  actions=actions)
        return actions

    def progress(self, text):
        self._log(event="progress", text=text)

    def tell(self, lines):
        self._log(event="told", lines=lines)

    def finish(self):
        self._log(event="done", unused=self.answers)
