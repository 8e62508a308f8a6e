#pragma once
// A menu for the tray's popup-menu path; the tray icon of that test uses the
// menu's id as its icon id.
#define IDR_TEST_TRAY_MENU 9200
#define ID_TEST_TRAY_OPEN 9201
#define ID_TEST_TRAY_QUIT 9202
