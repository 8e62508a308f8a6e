// The notification-area icon: one icon of the program in the taskbar's
// notification area, its tooltip, icon and balloons, and the default reaction
// to mouse clicks on it. The object is a window of its own (hidden, never
// shown) so that it hears when the taskbar is created again and when the work
// area changes, and adds the icon again then.
//
// The class also moves any window into the notification area and back out
// of it (the class-wide operations at the end).
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "framework/UniqueHandle.h"
#include "framework/Window.h"
#include "tray/TraySystem.h"

class CTrayIcon : public fw::Window {
 public:
  CTrayIcon();
  ~CTrayIcon() override;

  // The class name under which the type is known.
  static const char* TypeName() { return "CTrayIcon"; }

  // The number of the "TaskbarCreated" message, registered while the
  // program's static data is initialised.
  static UINT TaskbarCreatedMessage() { return s_taskbarCreatedMessage; }

  // Adds the icon. The notifications go to `parent` (its window) or, without
  // one, to the tray window itself, as message `callbackMessage` with the
  // icon id as wParam and the mouse message as lParam. A balloon text, when
  // given and balloons are supported, is shown once with the icon. Returns
  // whether the shell took the icon; when it did not, the icon is added as
  // soon as the taskbar is created.
  bool CreateTray(fw::Window* parent, UINT callbackMessage, const char* tipText,
                  HICON icon, UINT iconId, bool createHidden = false,
                  const char* balloonText = nullptr,
                  const char* balloonTitle = nullptr, DWORD balloonIconFlags = 0,
                  UINT balloonTimeoutSeconds = 10);

  // Tooltip (at most 127 bytes) and icon. While the icon is not in the
  // notification area they are kept for the next add and true is returned.
  // A change is sent only when the shell does not show it already (an
  // unchanged tooltip goes out once in a while, to learn whether the shell
  // still has the icon). When the
  // shell refuses a change, it no longer has the icon (it has ended, or lost
  // its icons without telling): the icon is added again at once and, when
  // that is refused too, counts as not shown until an add succeeds.
  bool SetTipText(const char* text);
  bool ChangeIcon(HICON icon);
  // Loads an icon resource of the program at its own size. The loaded icon
  // is kept while the icon shows it, so that a later add finds it valid, and
  // destroyed once it is replaced; asking again for the resource it shows
  // loads nothing.
  bool ChangeIconFromResource(UINT resourceId);
  bool ChangeIconFromResource(const char* resourceName);

  // A balloon over the icon: text at most 255 bytes, title at most 63. The
  // balloon goes out with this one call only. False when the system shows no
  // balloons.
  bool ShowBalloonTip(const char* text, const char* title = nullptr,
                      DWORD iconFlags = 0, UINT timeoutSeconds = 10);

  // Takes the icon out of the notification area; true when it is out.
  bool RemoveFromTray();

  // Adds the icon again from the record as it stands, when an add is
  // pending and the icon belongs in the notification area.
  void ReinstallIcon();

  // The default reaction to the icon's callback message: the menu resource
  // named by the icon id on a right click, its default command on a double
  // click.
  virtual LRESULT HandleTrayNotification(UINT iconId, UINT mouseMessage);
  // Called with the popup menu just before it is shown.
  virtual void AdjustPopupMenu(HMENU menu);

  // State, as the object knows it.
  bool enabled() const { return enabled_; }
  bool hidden() const { return hidden_; }
  bool removed() const { return removed_; }
  bool reinstallPending() const { return reinstallPending_; }
  bool balloonsSupported() const { return balloonsSupported_; }
  // The icon is in the notification area.
  bool IsShown() const { return enabled_ && !hidden_; }
  const NOTIFYICONDATAA& record() const { return record_; }

  // ---- moving a window into the notification area and back ----

  // Draws the caption animation from the window to the notification area
  // (when the system animates windows, or when forced), then hides the
  // window by giving it the hidden parent and clearing its visible style.
  static bool AnimateWindowToTray(HWND window, bool forceAnimation = false);
  // The way back: a top-level window again, visible, redrawn and active.
  // Returns whether it became the foreground window.
  static bool RestoreWindowFromTray(HWND window, bool forceAnimation = false);
  // The screen rectangle of the notification area (without the clock).
  static void FindTrayRect(RECT* rect);
  // Whether the user has the minimise and restore animation on.
  static bool IsWindowAnimationOn();
  // Makes the one hidden parent window (created on first use) the window's
  // parent. False when that window cannot be created.
  static bool AttachToHiddenParent(HWND window);
  // The hidden parent window, or null before its first use.
  static HWND HiddenParentWindow();
  // Destroys the hidden parent window (and any window still in the tray
  // with it). The program does this before it ends, while the framework
  // that the window's object uses still exists; a later move into the tray
  // creates it again.
  static void DestroyHiddenParent();

 protected:
  static const fw::MessageMap& Messages();
  const fw::MessageMap& GetMessageMap() const override { return Messages(); }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  LRESULT OnTaskbarCreated(WPARAM, LPARAM);
  fw::Handling OnSettingChange(UINT action);
  bool Notify(DWORD command);
  // NIM_MODIFY with the record as it stands; a refusal while the icon is
  // shown means that the shell has lost it (see SetTipText).
  bool Modify();
  // An add of the record with the creation flags; true when the shell took it.
  bool Add();
  // What the shell shows after it took the record with these flags.
  void NoteShellHas(UINT flags);
  // Destroys the icon this object loaded once the record no longer names it.
  void ReleaseReplacedIcon();
  // The menu resource named by the icon id, and its first popup; no popup
  // when the program has no such menu or the menu has none.
  struct IconMenu {
    fw::UniqueMenu menu;
    HMENU popup = nullptr;
  };
  IconMenu LoadIconMenu() const;

  NOTIFYICONDATAA record_;
  bool enabled_ = false;
  bool hidden_ = true;
  bool removed_ = true;
  bool reinstallPending_ = false;
  bool balloonsSupported_ = false;
  UINT defaultMenuItem_ = 0;
  bool defaultItemByPosition_ = true;
  UINT creationFlags_ = 0;
  // The icon belongs in the notification area: created and not removed
  // since. An add the shell refused is made again when the taskbar appears.
  bool wanted_ = false;
  // The icon loaded from a resource that the record names, owned here, and
  // that resource's id (0 for a resource named by a string).
  tolvane::OwnedTrayIcon ownedIcon_;
  WORD ownedIconId_ = 0;
  // The tooltip and icon the shell shows, while the icon is shown.
  char shellTip_[sizeof(NOTIFYICONDATAA::szTip)] = {};
  HICON shellIcon_ = nullptr;
  // Tooltips not sent because the shell showed them already; after this
  // many (ten seconds of the bot's status poll) one is sent all the same.
  static constexpr int kUnchangedTipsBeforeCheck = 20;
  int unchangedTips_ = 0;

  static const UINT s_taskbarCreatedMessage;
  static fw::Window s_hiddenParent;
};
