/* What a spreadsheet program that holds a document open (LibreOffice Calc, through its Python
 * extension) lends the library through its C interface: a table of callbacks on the live
 * document and on the user, and the functions a callback uses to read and answer a dialog.
 *
 * Plain C, so that any language with a C foreign-function interface can be the host. Strings are
 * UTF-8 and end with NUL. Sheets count from 0, rows and columns from 1. Every call runs on the
 * host's thread.
 *
 * Callbacks return 0 when they did what was asked (find_range: 1 found, 0 no such range) and a
 * negative number when they failed; error_text then tells why, and the library reports the
 * failure to the user as an error of the action that called. Memory a callback hands back
 * (texts, blocks of cells, actions) belongs to the host and must stay valid until the next
 * callback. */
#ifndef ORVSTOCK_CALC_HOST_H
#define ORVSTOCK_CALC_HOST_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define ORV_CALC_EXPORT __attribute__((visibility("default")))

/* The kind of a cell. A date is a number counted in days from the document's null date. */
enum {
  ORV_CELL_EMPTY = 0,
  ORV_CELL_NUMBER = 1,
  ORV_CELL_TEXT = 2,
  ORV_CELL_BOOLEAN = 3,
  ORV_CELL_ERROR = 4,
  ORV_CELL_DATE = 5
};

/* Message boxes: the buttons, the icon and the button the user pressed. */
enum { ORV_BUTTONS_OK = 0, ORV_BUTTONS_OK_CANCEL = 1, ORV_BUTTONS_YES_NO = 2 };
enum { ORV_ICON_NONE = 0, ORV_ICON_INFORMATION = 1, ORV_ICON_EXCLAMATION = 2 };
enum { ORV_ANSWER_OK = 0, ORV_ANSWER_CANCEL = 1, ORV_ANSWER_YES = 2, ORV_ANSWER_NO = 3 };

/* A rectangle of one sheet. */
typedef struct OrvCalcArea {
  int32_t sheet;
  int32_t first_row;
  int32_t first_column;
  int32_t last_row;
  int32_t last_column;
} OrvCalcArea;

/* The cells of an area, column after column: cell i is row (i % rows), column (i / rows).
 * numbers[i] holds number, boolean (0 or 1) and date cells; texts holds one text per cell, each
 * ended by NUL (the text of text and error cells, empty for the others), texts_size bytes in all.
 * A cell's text cannot hold NUL. */
typedef struct OrvCalcCells {
  int32_t rows;
  int32_t columns;
  const uint8_t* kinds;
  const double* numbers;
  const char* texts;
  size_t texts_size;
} OrvCalcCells;

/* A modal dialog the library asks the host to show (see orv_calc_form_*). */
typedef struct OrvCalcForm OrvCalcForm;

typedef struct OrvCalcHost {
  /* sizeof(OrvCalcHost) as the host knows it. */
  uint32_t size;
  /* Handed back to every callback. */
  void* context;
  /* Names the document in messages. */
  const char* title;
  /* The company chosen for this session, or "" to let the companies file decide; a document's
   * "sage_company" cell still wins. */
  const char* company;
  /* The companies file, or "" for the user's own. The user's profile (companies, settings) is
   * otherwise found as orvstock finds it, from the variables `environment` answers. */
  const char* companies_file;
  /* Non-zero when the document counts dates from 1 January 1904. */
  int32_t date1904;

  const char* (*error_text)(void* context);

  /* The document. find_range looks a defined name up as the user's program does (a name of the
   * whole document first, then one of the active sheet, without regard to case). */
  int (*find_range)(void* context, const char* name, OrvCalcArea* area);
  int (*get_cells)(void* context, const OrvCalcArea* area, OrvCalcCells* cells);
  int (*set_cells)(void* context, const OrvCalcArea* area, const OrvCalcCells* cells);
  /* Empties the cells' contents and leaves their formats. */
  int (*clear_cells)(void* context, const OrvCalcArea* area);
  /* Moves the last row of the named range down to last_row. */
  int (*grow_range)(void* context, const char* name, int32_t last_row);
  /* Before the changes of one action are written in, state is the number of clear_cells and
   * set_cells calls to come; after them it is 0, so that the host can make them one step the user
   * may undo, or -1 when one of the calls failed: the host then takes back what the calls before
   * it wrote (the last call needs nothing kept to take it back: when it fails, it wrote nothing).
   */
  int (*edit)(void* context, int32_t state);
  int (*sheet_name)(void* context, int32_t sheet, const char** name);
  /* The cell the cursor is on, as a one-cell area. */
  int (*active_cell)(void* context, OrvCalcArea* cell);
  /* Shows the sheet with the rows selected across. */
  int (*select_rows)(void* context, int32_t sheet, int32_t first_row, int32_t last_row);

  /* The user. */
  int (*message_box)(void* context, const char* prompt, int32_t buttons, int32_t icon,
                     const char* title, int32_t* answer);
  /* Shows the form and hands back the user's actions, one a line, in the order taken:
   * "NAME=VALUE" fills a text box or list or ticks (1) or clears (0) a check box, "NAME" clicks a
   * button or chooses an option, "close" is the window's close box. NULL: the user closed the
   * dialog. The library applies them; while the form stays open it asks again. */
  int (*form_actions)(void* context, const OrvCalcForm* form, const char** actions);
  /* The status text of a long run; NULL when the run is over. */
  int (*progress)(void* context, const char* text);
  /* A line for the user outside any dialog: what was done, what was passed over. */
  int (*notice)(void* context, const char* text);

  /* The value of one of the host process's environment variables (HOME, XDG_CONFIG_HOME,
   * ORVSTOCK_CONFIG_DIR, ORVSTOCK_COMPANIES, ORVSTOCK_SETTINGS, DISPLAY, WAYLAND_DISPLAY), or
   * NULL when it is unset; the text stays valid until the next callback. A host that leaves this
   * NULL gives the components a profile found from none of them. */
  const char* (*environment)(void* context, const char* name);
} OrvCalcHost;

/* A control of a form, as orv_calc_form_control describes it. */
enum {
  ORV_CONTROL_CHECK_BOX = 0,
  ORV_CONTROL_OPTION_BUTTON = 1,
  ORV_CONTROL_TEXT_BOX = 2,
  ORV_CONTROL_COMBO_BOX = 3,
  ORV_CONTROL_FRAME = 4,
  ORV_CONTROL_COMMAND_BUTTON = 5,
  ORV_CONTROL_LABEL = 6,
  /* A numbered list that pages through its rows: "N" chooses the row numbered N on the page
   * shown, "NAME=KEY" the row of that key. */
  ORV_CONTROL_LIST = 7
};

typedef struct OrvCalcControl {
  const char* name;
  int32_t kind;
  const char* caption;
  /* The frame the control sits in; "" for the form itself. */
  const char* frame;
  /* Option buttons: the group of which one is chosen. */
  const char* group;
  const char* tip;
  /* Text boxes and lists: the text. */
  const char* text;
  /* Check boxes and option buttons: 1 ticked or chosen. */
  int32_t value;
  /* The control and every frame around it are visible. */
  int32_t shown;
  int32_t enabled;
  /* Drop-down lists: the rows to choose from; numbered lists: the rows of the page shown. */
  int32_t rows;
  /* Lists: the columns of a row (a drop-down list has two: code and description). */
  int32_t columns;
  /* Numbered lists: the number of the page's first row, and whether several rows may be
   * chosen (choosing a chosen row again takes it back). */
  int32_t first_number;
  int32_t multiple;
} OrvCalcControl;

/* The form's name and caption; valid while the form is shown. */
ORV_CALC_EXPORT const char* orv_calc_form_name(const OrvCalcForm* form);
ORV_CALC_EXPORT const char* orv_calc_form_caption(const OrvCalcForm* form);
/* The form as a user would read it, one control a line. */
ORV_CALC_EXPORT const char* orv_calc_form_describe(const OrvCalcForm* form);
ORV_CALC_EXPORT int32_t orv_calc_form_control_count(const OrvCalcForm* form);
/* Fills `control` with control number `index` (from 0, in tab order); -1 when there is none. */
ORV_CALC_EXPORT int orv_calc_form_control(const OrvCalcForm* form, int32_t index,
                                          OrvCalcControl* control);
/* The text of a list's row (from 0) and column (from 0); NULL when there is none. */
ORV_CALC_EXPORT const char* orv_calc_form_list_text(const OrvCalcForm* form, int32_t index,
                                                    int32_t row, int32_t column);
/* The caption of a list's column; NULL when there is none. */
ORV_CALC_EXPORT const char* orv_calc_form_list_caption(const OrvCalcForm* form, int32_t index,
                                                       int32_t column);
/* 1 when the row of the page shown is chosen, else 0. */
ORV_CALC_EXPORT int orv_calc_form_list_chosen(const OrvCalcForm* form, int32_t index, int32_t row);

#ifdef __cplusplus
}
#endif

#endif
