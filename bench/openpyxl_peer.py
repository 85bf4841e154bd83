#!/usr/bin/python3
"""A peer's figure for scripts/bench: Python's openpyxl writing a sheet as large as orvstock's.

    bench/openpyxl_peer.py sample BOOK SAMPLE.json   the first 1,000 rows of BOOK's first sheet
    bench/openpyxl_peer.py write SAMPLE.json ROWS OUT.xlsx
                                                     ROWS rows of those values, over and over,
                                                     written in write-only mode (openpyxl's
                                                     fastest) and saved

Only `write` is timed: it writes as many cells as orvstock's download did, of the same kinds
(text and numbers), without reading a database."""

import json
import sys

import openpyxl


def sample(book, out):
    sheet = openpyxl.load_workbook(book, read_only=True).worksheets[0]
    rows = []
    for row in sheet.iter_rows(values_only=True):
        rows.append([v if isinstance(v, (int, float, str)) or v is None else str(v) for v in row])
        if len(rows) == 1000:
            break
    with open(out, "w") as f:
        json.dump(rows, f)


def write(sample_file, count, out):
    with open(sample_file) as f:
        rows = json.load(f)
    book = openpyxl.Workbook(write_only=True)
    sheet = book.create_sheet()
    cells = 0
    for i in range(count):
        row = rows[i % len(rows)]
        sheet.append(row)
        cells += sum(v is not None for v in row)
    book.save(out)
    print(f"{cells} cells in {count} rows")


if __name__ == "__main__":
    if len(sys.argv) == 4 and sys.argv[1] == "sample":
        sample(sys.argv[2], sys.argv[3])
    elif len(sys.argv) == 5 and sys.argv[1] == "write":
        write(sys.argv[2], int(sys.argv[3]), sys.argv[4])
    else:
        sys.exit(__doc__)
