// HexEditRes.h - the ids of the control's own strings (HexEditCtrl.rc): the
// texts of its progress window and of the messages it shows itself, which a
// host may translate in its copy of the script.
//
// They lie at the top of the range a program keeps for its own strings
// (0x7F00-0x7F0F), far above the numbers a resource editor hands out and
// below the command ids, whose prompts share the string table.
#pragma once

#define IDS_HEXEDIT_LOADING          0x7F00   // the progress window's caption during a load
#define IDS_HEXEDIT_SAVING           0x7F01   // ... during a save
#define IDS_HEXEDIT_CANCEL           0x7F02   // its button
#define IDS_HEXEDIT_BYTES_DONE       0x7F03   // "%1 of %2 bytes", followed by " (n%)"
#define IDS_HEXEDIT_WRITING_TO_DISK  0x7F04   // while the saved bytes are flushed
#define IDS_HEXEDIT_SAVED_BYTES_IN   0x7F05   // followed by the temporary file's path
#define IDS_HEXEDIT_OLD_FILE_IN      0x7F06   // followed by the old file's path
#define IDS_HEXEDIT_TARGET_KEPT      0x7F07   // %1: the file that could not be replaced
#define IDS_HEXEDIT_FILE_GREW        0x7F08   // after the path of the file being loaded
#define IDS_HEXEDIT_SEARCHING        0x7F09   // the progress window's caption during a search
