#pragma once

#include <map>
#include <set>
#include <string>

#include "platform/DialogTemplate.h"
#include "platform/EditControl.h"
#include "platform/Message.h"

// A window built from a dialog template, with the handlers the game's
// windows override. The system backend creates its window, runs its modal
// loop, and delivers timers, sizes and input to it.
class Dialog {
  public:
    explicit Dialog(const DialogTemplate& tmpl);
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Runs the dialog modally; returns the code given to EndDialog.
    int DoModal();
    // Creates the window without a modal loop (hidden helper windows).
    void Create();
    // Destroys a window made by Create; runs OnDestroy.
    virtual void DestroyWindow();
    // Ends the modal loop with this result at the next chance.
    void EndDialog(int result);

    // Window timer of this dialog; setting an id again replaces it.
    unsigned SetTimer(unsigned id, unsigned periodMs);
    void KillTimer(unsigned id);

    // Handlers, called by the system backend on the user-interface thread.
    virtual bool OnInitDialog() { return true; }
    virtual void OnTimer(unsigned /*id*/) {}
    // A frame between ticks, for the frame source (System::SetFrameSource);
    // true when a picture was drawn (a frame that would repeat the last one
    // may be left out).
    virtual bool OnFrame() { return false; }
    virtual void OnSize(int /*cx*/, int /*cy*/) {}
    virtual void OnDestroy() {}
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // A push button pressed: OK and Cancel run OnOK and OnCancel.
    virtual void PressButton(int id);
    // Backends, on a click: the id of the push button at (x, y) in client
    // pixels, 0 where there is none.
    int ButtonAt(int x, int y) const;
    // A command of the window's system menu; false leaves it to the system
    // (move, close and the rest).
    virtual bool OnSysCommand(unsigned /*id*/) { return false; }
    // Every input message passes here first. The base is the dialog manager:
    // Escape cancels, Enter accepts, typing goes to the focused edit control,
    // a click on a push button or Space on the focused one presses it, a
    // click on an edit field or Tab moves the focus.
    // Returns true when the message was consumed.
    virtual bool PreTranslateMessage(const Message& msg);
    // True while the dialog waits for a key to bind: backends then hand it
    // every key as it is, before any other handling.
    virtual bool CapturesKeys() const { return false; }
    // True for a dialog whose input stays out of recordings and reaches it
    // even during a playback (the settings): it changes nothing in the game.
    virtual bool OutsideThePlay() const { return false; }

    // Text of a control (edit fields, static texts).
    std::string GetItemText(int id) const;
    void SetItemText(int id, const std::string& text);
    // Shows or hides a control (pages of the settings); hidden ones are
    // neither drawn nor pressed, and a hidden one's focus goes to the next
    // control shown.
    void ShowItem(int id, bool show);
    bool IsItemVisible(int id) const { return hidden_.count(id) == 0; }
    // The edit field with this id, or null; backends draw it and set its metrics.
    EditControl* GetEdit(int id);
    const EditControl* GetEdit(int id) const;
    // The control with the keyboard focus: the first edit field or button,
    // until a click or Tab moves it.
    int FocusId() const { return focusId_; }

    const DialogTemplate& Template() const { return tmpl_; }
    bool IsEnded() const { return ended_; }
    int Result() const { return result_; }
    bool IsOpen() const { return open_; }

    // Backend bookkeeping: set while the window exists.
    void SetOpen(bool open) { open_ = open; }
    void ResetEnd() {
        ended_ = false;
        result_ = 0;
    }
    void* backendData = nullptr;
    bool dirty = true;  // the visible controls need drawing again

  private:
    // The control of a kind shown at a point in the client area, or 0.
    int ControlAt(int x, int y, DialogControl::Kind kind) const;
    // The next control shown that takes the focus after `id` (Tab's order:
    // the template's), or 0 when none does.
    int NextFocus(int id) const;

    const DialogTemplate& tmpl_;
    std::map<int, std::string> itemText_;
    std::map<int, EditControl> edits_;
    std::set<int> hidden_;
    int focusId_ = 0;
    bool ended_ = false;
    int result_ = 0;
    bool open_ = false;
};
