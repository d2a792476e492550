#pragma once

#include <string>

#include "app/Settings.h"
#include "platform/Dialog.h"

// The Settings dialog (F2, and the system menu's Settings item): pages for
// Sound, Keys, Pad and Display, each a column of rows with two buttons (and,
// on Display, fields for the player's name and the world table's address).
// Every change is saved at once and heard or felt at once; the game ticks
// on behind it, as behind the About box. Its input stays out of
// recordings: nothing in it changes the game's play.
class SettingsDialog : public Dialog {
  public:
    enum Page { kSound, kKeys, kPad, kDisplay };

    explicit SettingsDialog(SettingsStore& store);

    bool OnInitDialog() override;
    // Close, Enter, Escape or the close box: what the fields hold is kept.
    void OnOK() override;
    void OnCancel() override;
    void PressButton(int id) override;
    // While a key is awaited it takes every key first: Escape cancels,
    // Backspace clears, any other key is bound.
    bool PreTranslateMessage(const Message& msg) override;
    bool CapturesKeys() const override { return capturing_; }
    bool OutsideThePlay() const override { return true; }

    Page CurrentPage() const { return page_; }
    const Settings& Edited() const { return settings_; }

  private:
    void ShowPage(Page page);
    // Fills the rows of the page shown from the settings.
    void Refresh();
    void SetRow(int row, const std::string& label, const std::string& first,
                const std::string& second);
    void PressRow(int row, int which);
    void PressSound(int row, int which);
    void PressDisplay(int row, int which);
    void PressPad(int row, int which);
    // The awaited key arrived (0: Backspace, clearing the slot).
    void BindCapturedKey(int physical);
    // The Display page's fields from the settings, when the page is shown;
    // back into them when it is left or the dialog closes.
    void ShowFields();
    void TakeFields();
    // Saves and applies what changed.
    void Changed(const std::string& status);

    SettingsStore& store_;
    Settings settings_;
    Page page_ = kSound;
    bool capturing_ = false;
    GameAction captureAction_ = GameAction::Forward;
    int captureSlot_ = 0;
    // What the fields were given (Windows-1252, as they edit it): a field
    // left alone keeps a name the code page cannot show.
    std::string shownName_;
    std::string shownUrl_;
};
