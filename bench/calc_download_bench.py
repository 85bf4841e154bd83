#!/usr/bin/env python3
"""The download into a document open in LibreOffice Calc, through the Stock Master menu, against
`orvstock extract` of the same rows into the same workbook file:

    bench/calc_download_bench.py [ROWS]     (default 10000; run from the source tree, after a build)

A demo company of ROWS stock records and a workbook with every range and ROWS rows; each way
downloads every record twice, first into the empty ranges, then into the filled ones (both clear
first). Calc's figure is the time the menu entry takes, as the user waits for it; orvstock's is
the whole command (open, download, save). Everything lives in a new temporary folder; LibreOffice
runs headless with a profile of its own. As root it runs itself as nobody (LibreOffice installs
extensions per user, and not for root)."""

import os
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "calc"))

ORVSTOCK = os.path.join(ROOT, "build", "orvstock")
OXT = os.path.join(ROOT, "build", "calc", "orvstock-calc.oxt")
ANSWERS = [["chkSelectRngs=0", "txtWarehouseFrom=", "txtWarehouseTo=", "txtProdFrom=",
            "txtProdTo=", "optClear", "cmdOK"], "OK"]


def as_ordinary_user():
    folder = tempfile.mkdtemp(prefix="orvstock-calc-bench-")
    shutil.chown(folder, "nobody")
    try:
        return subprocess.call(["runuser", "-u", "nobody", "--", "env", "-i", "HOME=" + folder,
                                "TMPDIR=" + folder, "PATH=/usr/bin:/bin", "LANG=C.UTF-8",
                                "/usr/bin/python3", os.path.abspath(__file__)] + sys.argv[1:])
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def main(rows):
    import calc_harness
    folder = tempfile.mkdtemp(prefix="orvstock-calc-bench-")
    os.environ["XDG_CONFIG_HOME"] = os.path.join(folder, "config")
    run = lambda *arguments: subprocess.run([ORVSTOCK] + list(arguments), check=True, cwd=folder,
                                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    run("demo-db", "--erp-version", "7", "--rows", str(rows), "demo.db")
    run("template", "--rows", str(rows), "template.xlsx")
    template = os.path.join(folder, "template.xlsx")
    print("%d stock records, a workbook with every range and %d rows" % (rows, rows))

    workbook = calc_harness.copy(template, folder, "extract.xlsx")
    orvstock = []
    for _ in range(2):
        start = time.monotonic()
        run("extract", "--clear", workbook)
        orvstock.append(time.monotonic() - start)

    office = calc_harness.Office(folder, OXT, os.path.join(ROOT, "scripts", "calc-install"))
    office.start()
    try:
        doc = office.open(calc_harness.copy(template, folder, "calc.xlsx"))
        calc = []
        for _ in range(2):
            start = time.monotonic()
            events = office.dispatch(doc, "download", ANSWERS)
            calc.append(time.monotonic() - start)
            told = [line for event in events if event["event"] == "told" for line in event["lines"]]
            if told != ["%d stock records written to rows 1 to %d" % (rows, rows)]:
                raise RuntimeError("the download did not end as expected: %s" % events)
        doc.close(True)
    finally:
        office.stop()
        shutil.rmtree(folder, ignore_errors=True)

    for label, index in (("into empty ranges", 0), ("into filled ranges", 1)):
        print("  %-20s orvstock extract %6.2f s   Calc menu %6.2f s   ratio %.2f"
              % (label, orvstock[index], calc[index], calc[index] / orvstock[index]))


if __name__ == "__main__":
    if os.geteuid() == 0:
        sys.exit(as_ordinary_user())
    main(int(sys.argv[1]) if len(sys.argv) > 1 else 10000)
