// Resource and control identifiers of Tolvane.exe.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Dialog templates
#define IDD_ABOUTBOX 100
#define IDD_TOLVANE_DIALOG 102
#define IDD_SETTINGS 129
#define IDD_CONTACT_INFO 130
#define IDD_TRUSTED_BUDDIES 131
#define IDD_DELIVER_MESSAGES 132
#define IDD_AWAY_MESSAGES 133
#define IDD_SCHEDULE_MESSAGE 134

// Icons: the application icon, and the icon the tray shows while connecting
#define IDR_MAINFRAME 128
#define IDI_CONNECTING 140

// Strings
#define IDS_ABOUTBOX 101

// System-menu command of the About entry
#define IDM_ABOUTBOX 0x0010

// Main dialog (102)
#define IDC_SETTINGS 1002
#define IDC_CONTACT_INFO 1003
#define IDC_TRUSTED_BUDDIES 1004
#define IDC_DELIVER_MESSAGES 1005
#define IDC_AWAY_MESSAGES 1006
#define IDC_SAVED_MESSAGES 1007
#define IDC_SCHEDULE_MESSAGE 1008
#define IDC_HELP_BUTTON 1009

// Settings (129)
#define IDC_AIM_USER_NAME 1004
#define IDC_AIM_PASSWORD 1009
#define IDC_CHAT_AI_NAME 1013
#define IDC_OWNER_NAME 1014
#define IDC_REQUIRE_TRUSTED 1006
#define IDC_SAVE_AWAY_MESSAGES 1007
#define IDC_START_WITH_WINDOWS 1017
#define IDC_AUTO_CONNECT 1018

// Contact Information (130)
#define IDC_PHONE 1004
#define IDC_HOMEPAGE 1005
#define IDC_EMAIL 1006
#define IDC_CELL_PHONE 1007
#define IDC_WEBSITES 1008

// Trusted Buddies (131)
#define IDC_TRUSTED_NAME 1004
#define IDC_TRUSTED_LIST 1009
#define IDC_TRUSTED_ADD 1002
#define IDC_TRUSTED_REMOVE 1003

// Buddy message editors (132, 133, 134)
#define IDC_MESSAGE_EDITOR 1004
#define IDC_BUDDY_ADD 1002
#define IDC_BUDDY_REMOVE 1006
#define IDC_BUDDY_NAME 1013
#define IDC_KEY_LIST 1011
#define IDC_HOURS 1009
#define IDC_MINUTES 1010
