"""The open spreadsheet document as the library's host sees it: defined names, blocks of cells
(whole areas at once: a call to the document costs far more than a cell), the cursor and the
selection. Sheets count from 0, rows and columns from 1, as in the library."""

from .library import CELL_BOOLEAN, CELL_DATE, CELL_EMPTY, CELL_NUMBER, CELL_TEXT
from .library import EDIT_FAILED

# com.sun.star.sheet.CellFlags: VALUE, DATETIME, STRING and FORMULA: the contents, not the formats.
CONTENTS = 1 | 2 | 4 | 16
DATETIME = 2
FORMULA = 16
DATE_FORMAT = 2  # com.sun.star.util.NumberFormat.DATE
UNDO_TITLE = "Stock Master"


class Document:
    def __init__(self, model):
        self.model = model
        self.controller = model.getCurrentController()
        self._names = None
        self._to_come = 0
        self._kept = []  # what the writes of this action replaced, to put back should one fail
        self._locked = False
        self._adjusting_heights = None

    def title(self):
        return self.model.getURL() or self.model.getTitle()

    def date1904(self):
        null = self.model.NullDate
        return (null.Year, null.Month, null.Day) == (1904, 1, 1)

    # Names: the document's own first, then the active sheet's, without regard to case.
    def _lookup(self, name):
        if self._names is None:
            scopes = [self.model.NamedRanges, self.controller.getActiveSheet().NamedRanges]
            self._names = [{n.lower(): n for n in scope.getElementNames()} for scope in scopes]
            self._scopes = scopes
        for scope, names in zip(self._scopes, self._names):
            stored = names.get(name.lower())
            if stored is not None:
                return scope.getByName(stored)
        return None

    def find_range(self, name):
        named = self._lookup(name)
        cells = named.getReferredCells() if named is not None else None
        if cells is None:
            return None
        a = cells.getRangeAddress()
        return a.Sheet, a.StartRow + 1, a.StartColumn + 1, a.EndRow + 1, a.EndColumn + 1

    def _range(self, area):
        sheet, first_row, first_column, last_row, last_column = area
        return self.model.getSheets().getByIndex(sheet).getCellRangeByPosition(
            first_column - 1, first_row - 1, last_column - 1, last_row - 1)

    def get_cells(self, area):
        block = self._range(area)
        rows = block.getDataArray()
        columns = list(zip(*rows)) if rows else []
        row_count, column_count = len(rows), len(columns)
        kinds = bytearray()
        numbers = []
        texts = []
        for column in columns:
            for value in column:
                if isinstance(value, float):
                    kinds.append(CELL_NUMBER)
                    numbers.append(value)
                    texts.append("")
                else:
                    kinds.append(CELL_TEXT if value else CELL_EMPTY)
                    numbers.append(0.0)
                    texts.append(value)
        if CELL_NUMBER in kinds:
            first_row, first_column = area[1], area[2]
            for dates in block.queryContentCells(DATETIME).getRangeAddresses():
                for column in range(dates.StartColumn + 1, dates.EndColumn + 2):
                    for row in range(dates.StartRow + 1, dates.EndRow + 2):
                        at = (column - first_column) * row_count + (row - first_row)
                        if kinds[at] == CELL_NUMBER:
                            kinds[at] = CELL_DATE
        return row_count, column_count, kinds, numbers, texts

    def set_cells(self, area, rows, columns, kinds, numbers, texts):
        block = self._range(area)
        values = []
        dates = []
        for c in range(columns):
            start, end = c * rows, (c + 1) * rows
            column_kinds = kinds[start:end]
            if not any(k in column_kinds for k in (CELL_NUMBER, CELL_BOOLEAN, CELL_DATE)):
                values.append(texts[start:end])  # texts, errors as texts, and "" for empty
                continue
            if column_kinds.count(CELL_NUMBER) == rows:
                values.append(numbers[start:end])
                continue
            column = []
            for i in range(start, end):
                kind = kinds[i]
                if kind in (CELL_NUMBER, CELL_BOOLEAN, CELL_DATE):
                    column.append(numbers[i])
                    if kind == CELL_DATE:
                        dates.append((c, i - start))
                else:
                    column.append(texts[i])
            values.append(column)
        self._before_change(area, block)
        block.setDataArray(tuple(zip(*values)))
        if dates:
            date_format = self.model.getNumberFormats().getStandardFormat(
                DATE_FORMAT, self.model.CharLocale)
            for column, row in dates:
                block.getCellByPosition(column, row).NumberFormat = date_format

    def clear_cells(self, area):
        block = self._range(area)
        self._before_change(area, block)
        block.clearContents(CONTENTS)

    def _before_change(self, area, block):
        """Refuses a protected sheet before anything of it is written, and keeps what the write
        replaces while another write of the action is still to come."""
        sheet = self.model.getSheets().getByIndex(area[0])
        if sheet.isProtected():
            raise RuntimeError("the sheet %s is protected" % sheet.getName())
        self._to_come -= 1
        if self._to_come <= 0:
            return  # the last write: when it fails, it wrote nothing
        if block.queryContentCells(CONTENTS).getCount() == 0:
            self._kept.append((area, None, ()))
            return
        formulas = []
        for part in block.queryContentCells(FORMULA).getRangeAddresses():
            for row in range(part.StartRow, part.EndRow + 1):
                for column in range(part.StartColumn, part.EndColumn + 1):
                    formulas.append((column, row, sheet.getCellByPosition(column, row).getFormula()))
        self._kept.append((area, block.getDataArray(), formulas))

    def _put_back(self):
        for area, values, formulas in reversed(self._kept):
            block = self._range(area)
            if values is None:
                block.clearContents(CONTENTS)
                continue
            block.setDataArray(values)
            sheet = self.model.getSheets().getByIndex(area[0])
            for column, row, formula in formulas:
                sheet.getCellByPosition(column, row).setFormula(formula)

    def grow_range(self, name, last_row):
        named = self._lookup(name)
        if named is None:
            raise RuntimeError("the document has no range named %s" % name)
        a = named.getReferredCells().getRangeAddress()
        grown = self._range((a.Sheet, a.StartRow + 1, a.StartColumn + 1, last_row,
                             a.EndColumn + 1))
        named.setContent(grown.AbsoluteName)

    def edit(self, state):
        undo = self.model.getUndoManager()
        if state > 0:
            self._to_come = state
            self._kept = []
            undo.enterUndoContext(UNDO_TITLE)
            self.model.lockControllers()
            self._locked = True
            # Fitting the height of every written row to its contents costs Calc more than writing
            # the values; rows keep the heights they have.
            self._adjusting_heights = self.model.IsAdjustHeightEnabled
            self.model.IsAdjustHeightEnabled = False
            return
        try:
            if state == EDIT_FAILED:
                self._put_back()
        finally:
            self._kept = []
            if self._adjusting_heights is not None:
                self.model.IsAdjustHeightEnabled = self._adjusting_heights
                self._adjusting_heights = None
            if self._locked:
                self.model.unlockControllers()
                self._locked = False
            undo.leaveUndoContext()

    def sheet_name(self, sheet):
        return self.model.getSheets().getByIndex(sheet).getName()

    def active_cell(self):
        selection = self.model.getCurrentSelection()
        if selection is None:
            raise RuntimeError("nothing is selected")
        if selection.supportsService("com.sun.star.sheet.SheetCellRanges"):
            selection = selection.getByIndex(0)
        a = selection.getRangeAddress()
        return a.Sheet, a.StartRow + 1, a.StartColumn + 1

    def select_rows(self, sheet, first_row, last_row):
        target = self.model.getSheets().getByIndex(sheet)
        self.controller.setActiveSheet(target)
        if first_row == last_row:
            self.controller.select(target.getRows().getByIndex(first_row - 1))
            return
        last_column = target.getColumns().getCount()
        self.controller.select(target.getCellRangeByPosition(0, first_row - 1, last_column - 1,
                                                             last_row - 1))
