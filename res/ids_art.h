// Icons and bitmaps.
#pragma once

// The program icon is IDR_MAINFRAME (ids_main.h): the frame loads icon, menu and
// accelerators under the same id.
#define IDB_TOOLBAR 127  // 8 button images of 16 x 16, magenta background
#define IDI_FOLDER 128
#define IDI_FILE 129
#define IDI_FOLDER_LOCKED 130  // could not be opened for writing
#define IDI_FILE_LOCKED 131
#define IDI_FIND_HISTORY 133
#define IDI_AUTOCOMPLETE 134
#define IDI_RUN_HISTORY 136
#define IDI_TYPED_URL 137
#define IDI_URL_HISTORY 138
#define IDI_RECENT_DOCUMENTS 139
#define IDB_LOGO 141  // About box, 75 x 45
