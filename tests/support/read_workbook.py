"""Prints a worksheet of a workbook (the first, or the one numbered from 0 by the second
argument) as JSON, read with openpyxl: every cell with a value or a fill (value, fill colour,
horizontal alignment), the column widths, the number of worksheets, the sheet's name and the
used range."""
import json
import sys

import openpyxl

ws = openpyxl.load_workbook(sys.argv[1]).worksheets[int(sys.argv[2]) if len(sys.argv) > 2 else 0]
cells = {}
for row in ws.iter_rows():
    for c in row:
        fill = c.fill.fgColor.rgb if c.fill.fill_type else None
        if c.value is None and fill is None:
            continue
        cells[c.coordinate] = {'v': c.value, 'fill': fill, 'align': c.alignment.horizontal}
widths = {k: v.width for k, v in ws.column_dimensions.items()}
print(json.dumps({'cells': cells, 'widths': widths, 'sheets': len(ws.parent.worksheets),
                  'name': ws.title,
                  'max_row': ws.max_row, 'max_col': ws.max_column}))
