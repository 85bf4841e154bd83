"""The entries of the Stock Master menu: the one list the menu file and the menu's handler are
made from. Plain data, so that the build can read it without LibreOffice."""

from collections import namedtuple

# key: the argument of the entry's URL. members: the component's members the entry calls, in
# order; an entry stops at the first that reports an error. document: the members work on the
# document's ranges, so the component defines them first (AddRanges). presets: for a dialog (by
# its form's name), the actions taken for the user instead of showing it.
Entry = namedtuple("Entry", "key title members document presets separator_before")

SERVICE = "org.orvstock.calc.StockMaster"
PROG_ID = "OrvStockExcel.clsOrvStockEx"
MENU_TITLE = "Stock Master"

ENTRIES = (
    Entry("download", "~Download...", ("ExtractStock",), True, (), False),
    Entry("refresh", "~Refresh rows on sheet", ("ExtractStock",), True,
          (("frmExtractStock", ("chkSelectRngs=1", "cmdOK")),), False),
    Entry("upload", "~Upload...", ("UploadStock",), True, (), True),
    Entry("check-upload", "Chec~k upload", ("CheckUpload",), True, (), False),
    Entry("browse", "~Browse for this cell", ("BrowseAvailable", "BrowseRanges"), True, (), True),
    Entry("view", "~View stock for this cell", ("ViewStock",), True, (), False),
    Entry("clear", "~Clear ranges", ("ClearAllRanges",), True, (), True),
    Entry("options", "~Options...", ("EnterOptions",), False, (), True),
    Entry("company", "Change ~company...", ("ChangeOrvConnection",), False, (), False),
    Entry("about", "~About", ("About",), False, (), True),
)


def url(entry):
    return "service:%s?%s" % (SERVICE, entry.key)


def find(key):
    for entry in ENTRIES:
        if entry.key == key:
            return entry
    return None
