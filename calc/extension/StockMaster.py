"""The UNO component behind the Stock Master menu: service:org.orvstock.calc.StockMaster?ENTRY."""

import traceback

import unohelper
from com.sun.star.task import XJobExecutor


class StockMaster(unohelper.Base, XJobExecutor):
    def __init__(self, ctx):
        self.ctx = ctx

    def trigger(self, argument):
        try:
            from orvstock_calc import menu
            menu.run(self.ctx, argument)
        except BaseException:  # noqa: B036 - an exception leaving here ends LibreOffice
            traceback.print_exc()


g_ImplementationHelper = unohelper.ImplementationHelper()
g_ImplementationHelper.addImplementation(StockMaster, "org.orvstock.calc.StockMaster",
                                         ("com.sun.star.task.Job",))
