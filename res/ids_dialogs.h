// Dialog templates and their controls.
#pragma once

// Advance dialog
#define IDD_ADVANCE 142
#define IDC_ADVANCE_GROUP 200
#define IDC_ADVANCE_PASSWORDS 201
#define IDC_ADVANCE_FIND 202
#define IDC_ADVANCE_RECENT 203
#define IDC_ADVANCE_RUN 204
#define IDC_ADVANCE_TYPED 205
#define IDC_ADVANCE_URL 206
#define IDC_ADVANCE_CLEAN 208
#define IDC_ADVANCE_CANCEL 8
