// Main frame: menu, accelerators, toolbar, strings, commands.
#pragma once

#define IDR_MAINFRAME 127

// Commands (menu, accelerators, toolbar).
#define ID_FILE_OPEN 57601
#define ID_FILE_PROPERTIES 57602
#define ID_DELETE 157
#define ID_RECYCLE 158
#define ID_APP_EXIT 57665
#define ID_SELECT_ALL 161
#define ID_UNSELECT_ALL 162
#define ID_INVERT_SELECTION 163
#define ID_VIEW_TOOLBAR 59392
#define ID_VIEW_STATUS_BAR 59393
#define ID_LANGUAGE 171
#define ID_MODE_COOKIES 181
#define ID_MODE_OFFLINE 182
#define ID_MODE_STANDARD 183
#define ID_EXTENDED_CATALOGUE 184
#define ID_HELP_ONLINE 191
#define ID_HELP_UPDATE 192
#define ID_APP_ABOUT 57664
// Above the shell's command range (1-10000): Keep sits in the shell's menu.
#define ID_KEEP 20101
#define ID_KEPT_ITEMS 20102
#define ID_DELETION_RECORD 20103

// Strings.
#define IDS_DELETING 124
#define IDS_HOME_PAGE_QUERY 125
#define IDS_HOME_PAGE 126
#define ID_INDICATOR_PROGRESS 195
#define IDS_COLUMN_FIRST 196  // 196-199: File Name, Type, Size, Date Modified
#define IDS_APP_TITLE 57344
#define IDS_IDLE_MESSAGE 57345
#define IDS_CLEANUP_COMPLETED 57346
#define IDS_CONFIRM_OPEN 61450
