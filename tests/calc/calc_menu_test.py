"""The Stock Master menu in a headless LibreOffice Calc: each entry dispatched as the menu does on
an open demo workbook, with a scripted user, and the live document, the selection and the
database checked afterwards.

    /usr/bin/python3 tests/calc/calc_menu_test.py ORVSTOCK OXT

as an ordinary user (run-calc-tests picks one when run as root). Everything lives in a new
temporary folder: the LibreOffice profile, the companies file ($XDG_CONFIG_HOME), the databases
and the workbook."""

import hashlib
import os
import shutil
import sqlite3
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "calc", "extension", "pythonpath"))
import calc_harness  # noqa: E402
from calc_harness import range_values  # noqa: E402
from orvstock_calc import library  # noqa: E402
from orvstock_calc.document import Document  # noqa: E402
ORVSTOCK = OXT = None
ROWS = 300  # rows of the workbook's ranges
CONFIRM_CLEAR = "Confirm cleardown of data on sheet?"


def download(first_warehouse, last_warehouse):
    """The answers of a download of a warehouse range into cleared ranges."""
    return [["chkSelectRngs=0", "txtWarehouseFrom=" + first_warehouse,
             "txtWarehouseTo=" + last_warehouse, "optClear", "cmdOK"], "OK"]


def digest(path):
    with open(path, "rb") as data:
        return hashlib.sha256(data.read()).hexdigest()


def of(events, kind):
    return [event for event in events if event["event"] == kind]


def texts(events):
    return [event["text"] for event in of(events, "message")]


class StockMasterMenu(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.mkdtemp(prefix="orvstock-calc-")
        os.environ["XDG_CONFIG_HOME"] = os.path.join(cls.folder, "config")
        os.environ.pop("ORVSTOCK_CONFIG_DIR", None)

        def orvstock(*arguments):
            subprocess.run([ORVSTOCK] + list(arguments), check=True, cwd=cls.folder,
                           stdout=subprocess.DEVNULL)
        orvstock("demo-db", "--erp-version", "7", "--rows", "200", "demo.db")
        orvstock("demo-db", "--erp-version", "7", "--rows", "12", "--code", "DEMO2", "second.db")
        orvstock("template", "--rows", str(ROWS), "stock.xlsx")
        cls.workbook = os.path.join(cls.folder, "stock.xlsx")
        cls.workbook_digest = digest(cls.workbook)
        cls.database = sqlite3.connect(os.path.join(cls.folder, "demo.db"))
        cls.office = calc_harness.Office(cls.folder, OXT, os.path.join(ROOT, "scripts",
                                                                        "calc-install"))
        cls.office.start()

    @classmethod
    def tearDownClass(cls):
        cls.office.stop()
        cls.database.close()
        shutil.rmtree(cls.folder, ignore_errors=True)

    def setUp(self):
        self.doc = self.office.open(self.workbook)

    def tearDown(self):
        self.assertTrue(self.doc.IsAdjustHeightEnabled, "row heights left unadjusted")
        self.doc.close(True)
        self.assertTrue(self.office.alive(), "LibreOffice died")
        self.assertEqual(digest(self.workbook), self.workbook_digest,
                         "the workbook was saved behind the user's back")

    def keys(self, where, database=None):
        rows = (database or self.database).execute(
            "select warehouse, product from stockm where %s order by warehouse, product" % where)
        return [tuple(row) for row in rows]

    def sheet_keys(self, rows):
        return list(zip(range_values(self.doc, "Warehouse")[:rows],
                        range_values(self.doc, "Product")[:rows]))

    def run_entry(self, entry, answers=()):
        events = self.office.dispatch(self.doc, entry, answers)
        done = of(events, "done")
        self.assertEqual(len(done), 1, "the entry %s did not end: %s" % (entry, events))
        self.assertEqual(done[0]["unused"], [], "answers left over: %s" % events)
        return events

    def test_download_fills_the_warehouse_range_in_memory_in_one_step(self):
        events = self.run_entry("download", download("02", "03"))
        expected = self.keys("warehouse between '02' and '03'")
        self.assertEqual(len(expected), 100)
        self.assertEqual(self.sheet_keys(len(expected) + 1), expected + [("", "")])
        description = self.database.execute(
            "select description from stockm where warehouse = ? and product = ?",
            expected[7]).fetchone()[0]
        self.assertEqual(range_values(self.doc, "Description")[7], description)
        self.assertEqual(texts(events), [CONFIRM_CLEAR])
        self.assertEqual(of(events, "told")[0]["lines"],
                         ["100 stock records written to rows 1 to 100"])
        self.assertTrue(of(events, "progress"))
        self.assertIsNone(of(events, "progress")[-1]["text"])
        self.assertTrue(self.doc.isModified())
        # One step in the undo list (LibreOffice 7.4 does not take back values written into
        # empty cells by undoing it, so what it restores is not checked here).
        self.assertEqual(self.doc.getUndoManager().getAllUndoActionTitles(), ("Stock Master",))

    def test_refresh_restores_edited_rows_and_a_cancelled_download_changes_nothing(self):
        self.run_entry("download", download("01", "01"))
        expected = self.keys("warehouse = '01'")
        description = self.doc.NamedRanges.getByName("Description").getReferredCells()
        description.getCellByPosition(0, 2).setString("edited in the sheet")
        self.run_entry("refresh")
        refreshed = self.database.execute(
            "select description from stockm where warehouse = ? and product = ?",
            expected[2]).fetchone()[0]
        self.assertEqual(range_values(self.doc, "Description")[2], refreshed)

        before = range_values(self.doc, "Product")
        events = self.run_entry("download", ["close"])
        self.assertEqual(range_values(self.doc, "Product"), before)
        self.assertEqual(texts(events), [])

    def test_clear_asks_first_and_keeps_the_company_cell(self):
        self.run_entry("download", download("03", "03"))
        self.doc.NamedRanges.getByName("sage_company").getReferredCells().setString("DEMO")
        before = range_values(self.doc, "Product")
        events = self.run_entry("clear", ["Cancel"])
        self.assertEqual(texts(events), [CONFIRM_CLEAR])
        self.assertEqual(range_values(self.doc, "Product"), before)

        self.run_entry("clear", ["OK"])
        for name in ("Warehouse", "Product", "Description", "Held?"):
            self.assertEqual(set(range_values(self.doc, name)), {""}, name)
        self.assertEqual(range_values(self.doc, "sage_company"), ["DEMO"])

    def test_errors_end_in_a_message_and_leave_the_document_as_it_was(self):
        # Two hundred rows, so that a download of warehouse 01 alone clears the rows below its own.
        self.run_entry("download", download("01", "03"))
        sheet = self.doc.getSheets().getByIndex(0)
        self.doc.getSheets().insertNewByName("Locked", 1)
        locked = self.doc.getSheets().getByIndex(1)

        def move_long_description_to_the_locked_sheet():
            self.doc.NamedRanges.getByName("LongDescription").setContent(
                locked.getCellRangeByPosition(0, 3, 0, ROWS + 2).AbsoluteName)
            locked.protect("")

        def protect_the_sheet():
            locked.unprotect("")
            self.doc.NamedRanges.removeByName("LongDescription")
            sheet.protect("")

        def name_an_unknown_company():
            sheet.unprotect("")
            self.doc.NamedRanges.getByName("sage_company").getReferredCells().setString("NOPE")

        cases = [
            ("a protected sheet after cells of another were written",
             move_long_description_to_the_locked_sheet, "the sheet Locked is protected"),
            ("a protected sheet", protect_the_sheet, "the sheet Stock is protected"),
            ("a company nobody knows in the company cell", name_an_unknown_company, "NOPE"),
        ]
        before = {name: range_values(self.doc, name) for name in ("Product", "Description")}
        for what, arrange, shown in cases:
            with self.subTest(what):
                arrange()
                events = self.office.dispatch(self.doc, "download", download("01", "01"))
                self.assertTrue(self.office.alive())
                self.assertTrue(any(shown in text for text in texts(events)), events)
                for name, values in before.items():
                    self.assertEqual(range_values(self.doc, name), values, name)

    def test_the_company_chosen_serves_the_next_entries_of_the_document(self):
        events = self.run_entry("company", [["cboCompany=DEMO2", "cmdOK"]])
        self.assertEqual(of(events, "form")[0]["name"], "frmCompanyPicker")
        self.run_entry("download", [["chkSelectRngs=0", "txtWarehouseFrom=", "txtWarehouseTo=",
                                     "optClear", "cmdOK"], "OK"])
        second = sqlite3.connect(os.path.join(self.folder, "second.db"))
        try:
            expected = self.keys("1 = 1", second)
        finally:
            second.close()
        self.assertEqual(len(expected), 12)
        self.assertEqual(self.sheet_keys(13), expected + [("", "")])

    def test_about_names_the_library(self):
        events = self.run_entry("about")
        self.assertTrue(texts(events) and texts(events)[0].startswith("OrvStockExcel: "), events)

    # The document's side of the callbacks, driven over the socket as the library drives it.
    def test_the_document_finds_ranges_keeps_dates_and_moves_the_cursor(self):
        document = Document(self.doc)
        area = document.find_range("PRODUCT")
        self.assertEqual(area, document.find_range("Product"))
        self.assertEqual(area[1], 4)
        self.assertIsNone(document.find_range("NoSuchRange"))
        document.grow_range("Product", ROWS + 13)
        self.assertEqual(document.find_range("Product")[3], ROWS + 13)

        cell = (0, 2, 8, 2, 8)
        document.set_cells(cell, 1, 1, bytes([library.CELL_DATE]), [45000.0], [""])
        self.assertEqual(document.get_cells(cell), (1, 1, bytearray([library.CELL_DATE]),
                                                    [45000.0], [""]))

        sheet = self.doc.getSheets().getByIndex(0)
        self.doc.getCurrentController().select(sheet.getCellRangeByName("D9"))
        self.assertEqual(document.active_cell(), (0, 9, 4))
        for first, last in ((12, 12), (5, 7)):
            document.select_rows(0, first, last)
            chosen = self.doc.getCurrentSelection().getRangeAddress()
            self.assertEqual((chosen.StartRow + 1, chosen.EndRow + 1, chosen.StartColumn),
                             (first, last, 0))
            self.assertEqual(chosen.EndColumn + 1, sheet.getColumns().getCount())

    def test_libreoffices_own_dialogs_and_message_boxes_are_built_and_shown(self):
        before = range_values(self.doc, "Product")
        log = len(self.office.log_text())
        for entry in ("about", "download", "company", "clear"):
            with self.subTest(entry):
                self.office.dispatch(self.doc, entry, scripted=False)
                self.assertTrue(self.office.alive())
        self.assertNotIn("Traceback", self.office.log_text()[log:])
        self.assertEqual(range_values(self.doc, "Product"), before)

    def select(self, address):
        sheet = self.doc.getSheets().getByIndex(0)
        self.doc.getCurrentController().select(sheet.getCellRangeByName(address))

    def description(self, key):
        return self.database.execute(
            "select description from stockm where warehouse = ? and product = ?",
            key).fetchone()[0]

    def set_description(self, index, text):
        cells = self.doc.NamedRanges.getByName("Description").getReferredCells()
        cells.getCellByPosition(0, index).setString(text)

    def test_upload_writes_edited_rows_and_a_rejected_row_undoes_the_run_and_is_selected(self):
        self.run_entry("download", download("01", "01"))
        keys = self.sheet_keys(4)
        self.set_description(1, "edited in Calc")
        events = self.run_entry("upload", [["cmdOk"], ["UpdateAll"]])
        self.assertEqual(self.description(keys[1]), "edited in Calc")
        told = of(events, "told")[0]["lines"]
        self.assertTrue(any(line.startswith("Record Processed : 100, Added: 0, Updated: 100")
                            for line in told), told)

        self.set_description(1, "edited again")
        self.set_description(3, "X" * 30)  # longer than the field: the run stops there
        events = self.run_entry("upload", [["cmdOk"], ["UpdateAll"]])
        self.assertEqual(self.description(keys[1]), "edited in Calc", "rolled back")
        self.assertTrue(any("Length Exceeded" in text for text in texts(events)), events)
        chosen = self.doc.getCurrentSelection().getRangeAddress()
        first_row = calc_harness.named_area(self.doc, "Description")[1]
        self.assertEqual((chosen.StartRow + 1, chosen.EndRow + 1, chosen.StartColumn),
                         (first_row + 3, first_row + 3, 0), "the failing row is selected")

        events = self.run_entry("check-upload")
        self.assertEqual(self.description(keys[1]), "edited in Calc")
        told = " ".join(of(events, "told")[0]["lines"])
        self.assertIn("Length Exceeded", told)
        self.assertIn(keys[3][1], told)

    def test_browse_writes_the_chosen_code_into_the_active_cell(self):
        self.run_entry("download", download("01", "01"))
        sheet, first_row, column, _ = calc_harness.named_area(self.doc, "UnitCode")
        cell = self.doc.getSheets().getByIndex(sheet).getCellByPosition(column - 1, first_row)
        cell.setString("")
        self.doc.getCurrentController().select(cell)
        events = self.run_entry("browse", [["2", "cmdOK"]])
        shown = of(events, "form")[0]["lists"]
        self.assertEqual(len(shown), 1, events)
        expected = list(shown.values())[0][1][0]
        self.assertEqual(cell.getString(), expected)

        self.select("M5")  # outside every range
        events = self.run_entry("browse")
        self.assertEqual(of(events, "told")[0]["lines"], ["No browse is available for this cell."])

    def test_view_shows_the_record_of_the_active_row(self):
        self.run_entry("download", download("02", "02"))
        self.select("B6")
        product = self.sheet_keys(3)[2][1]
        events = self.run_entry("view")
        shown = of(events, "message")
        self.assertEqual(len(shown), 1, events)
        self.assertEqual(shown[0]["title"], "Stock 02 " + product)
        self.assertIn("Description:       " + self.description(("02", product)), shown[0]["text"])

    # What the dialog saves, and when, is the component's; the menu entry reaches it.
    def test_the_options_entry_saves_the_dialogs_choice(self):
        settings = os.path.join(os.environ["XDG_CONFIG_HOME"], "orvstock", "settings.toml")
        self.run_entry("options", [["chkIgnoreBlankCells=1", "cmdOK"]])
        with open(settings, encoding="utf-8") as text:
            lines = [line.split("=")[1].strip() for line in text if "Ignore Blank Cells" in line]
        self.assertEqual(lines[:1], ["true"])

if __name__ == "__main__":
    ORVSTOCK, OXT = sys.argv[1], sys.argv[2]
    unittest.main(argv=sys.argv[:1], verbosity=2)
