"""The Stock Master menu of LibreOffice Calc: the OrvStockExcel components on the open document."""
