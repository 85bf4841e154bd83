/* The library's C interface for a spreadsheet program that holds a document open (LibreOffice
 * Calc, through its Python extension): create a component by ProgID on the host's callbacks
 * (shell/outside/calc/CalcHost.h), call its host-contract members, release it.
 *
 * A component lives for as long as the host likes, but each call ends by writing what the call
 * changed into the document, as one step the user may undo, or, when the call reported an error
 * to the user, by dropping it: a failed action leaves the document as it was. Nothing is saved;
 * the user saves. Every function catches every error: none crosses into the host. */
#ifndef ORVSTOCK_CALC_EXPORTS_H
#define ORVSTOCK_CALC_EXPORTS_H

#include "shell/outside/calc/CalcHost.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct OrvCalcComponent OrvCalcComponent;

/* "OrvStockExcel: 1.0.0". */
ORV_CALC_EXPORT const char* orv_calc_version(void);
/* Why the last failed call of this thread failed. */
ORV_CALC_EXPORT const char* orv_calc_last_error(void);

/* Creates the component this library serves under prog_id ("OrvStockExcel.clsOrvStockEx") and
 * lends it the host; the row is 1. No range is defined yet: call "AddRanges" before an action on
 * the document. The host table is copied; its context and callbacks must outlive the component.
 * NULL when it cannot be made (orv_calc_last_error tells why). */
ORV_CALC_EXPORT OrvCalcComponent* orv_calc_create(const char* prog_id, const OrvCalcHost* host);

/* Calls a host-contract member by name: "AddRanges", "ExtractStock", "UploadStock",
 * "CheckUpload" (the upload run through the rules and rolled back, every failing row named),
 * "ClearAllRanges", "EnterOptions", "ChangeOrvConnection", "About", "ShowHelpFile",
 * "CloseConnection", "BrowseAvailable", "BrowseRanges", "BrowseStock", "ViewStock" (these four on
 * the active cell), "ViewStockAvailable", "ProgramName", "VersionDescription",
 * "FullVersionDescription", "BrowseComponentName". *result (when result is not NULL) is the
 * member's answer as text: "1" or "0" for a yes or no, "" for none; valid until the next call.
 * Returns 0 when the member went through; 1 when it reported an error to the user (through the
 * host's message box; its changes to the document are dropped) or ended without its work with
 * nothing more to say (the user declined a question, failing rows were named; what it wrote
 * stays); -1 when the call could not be made at all (an unknown member, a member the
 * component does not have, a host that failed to show an error): orv_calc_last_error tells why. */
ORV_CALC_EXPORT int orv_calc_call(OrvCalcComponent* component, const char* member,
                                  const char** result);

/* The company chosen for the host's session: the one it was created with, or the one the user
 * picked through "ChangeOrvConnection". The host hands it to the next component it creates. */
ORV_CALC_EXPORT const char* orv_calc_company(const OrvCalcComponent* component);

/* Closes the component's database connection and releases it. */
ORV_CALC_EXPORT void orv_calc_release(OrvCalcComponent* component);

#ifdef __cplusplus
}
#endif

#endif
