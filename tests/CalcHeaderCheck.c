/* Compiled as C (C99, pedantic): the library's C interface must stay plain C, as foreign-function
 * hosts read it. A build failure here is the test. */
#include "shell/CalcExports.h"

int orv_calc_header_check(const OrvCalcHost* host, OrvCalcComponent* component) {
  OrvCalcArea area = {0, 1, 1, 1, 1};
  OrvCalcCells cells = {0, 0, NULL, NULL, NULL, 0};
  const char* result = NULL;
  (void)cells;
  if (host->find_range == NULL || host->get_cells == NULL) return -1;
  if (host->find_range(host->context, "Product", &area) < 0) return -1;
  return orv_calc_call(component, "ProgramName", &result);
}
