#include "platform/Dialog.h"

#include "platform/Keys.h"
#include "platform/System.h"

Dialog::Dialog(const DialogTemplate& tmpl) : tmpl_(tmpl) {
    for (const DialogControl& c : tmpl_.controls) {
        const bool tabStop =
            c.kind == DialogControl::Kind::Edit || c.kind == DialogControl::Kind::Button;
        if (focusId_ == 0 && tabStop) {
            focusId_ = c.id;
        }
        if (c.kind != DialogControl::Kind::Edit) {
            itemText_[c.id] = c.text;
            continue;
        }
        EditControl& edit = edits_[c.id];
        edit.SetText(c.text);
        // Inside the two-pixel border and a one-pixel margin on each side.
        edit.SetView(DialogUnitsToPixelsX(c.width) - 6, nullptr);
    }
}

Dialog::~Dialog() {
    if (open_) {
        Sys().DestroyWindow(*this);
    }
}

int Dialog::DoModal() {
    ResetEnd();
    return Sys().RunModal(*this);
}

void Dialog::Create() {
    ResetEnd();
    Sys().CreateModeless(*this);
}

void Dialog::DestroyWindow() {
    if (open_) {
        Sys().DestroyWindow(*this);
    }
}

void Dialog::EndDialog(int result) {
    ended_ = true;
    result_ = result;
}

unsigned Dialog::SetTimer(unsigned id, unsigned periodMs) {
    Sys().SetTimer(*this, id, periodMs);
    return id;
}

void Dialog::KillTimer(unsigned id) {
    Sys().KillTimer(*this, id);
}

bool Dialog::PreTranslateMessage(const Message& msg) {
    EditControl* edit = GetEdit(focusId_);
    if (msg.kind == MessageKind::Text) {
        if (edit == nullptr) {
            return false;
        }
        dirty = edit->Type(msg.text) || dirty;
        return true;
    }
    if (msg.kind == MessageKind::Click) {
        if (const int id = ButtonAt(msg.x, msg.y); id != 0) {
            PressButton(id);
            return true;
        }
        if (const int id = ControlAt(msg.x, msg.y, DialogControl::Kind::Edit); id != 0) {
            focusId_ = id;
            dirty = true;
            return true;
        }
        return false;
    }
    if (msg.kind != MessageKind::KeyDown) {
        return false;
    }
    if (msg.key == VK_TAB) {
        focusId_ = NextFocus(focusId_);
        dirty = true;
        return true;
    }
    if (msg.key == VK_SPACE && edit == nullptr && focusId_ != 0) {
        PressButton(focusId_);  // the focused push button
        return true;
    }
    if (msg.key == VK_ESCAPE) {
        OnCancel();
        return true;
    }
    if (msg.key == VK_RETURN) {
        OnOK();
        return true;
    }
    if (edit != nullptr && edit->KeyDown(msg.key)) {
        dirty = true;
        return true;
    }
    return false;
}

int Dialog::NextFocus(int id) const {
    const auto& controls = tmpl_.controls;
    const size_t n = controls.size();
    size_t at = n - 1;
    for (size_t i = 0; i < n; ++i) {
        if (controls[i].id == id) {
            at = i;
        }
    }
    for (size_t step = 1; step <= n; ++step) {
        const DialogControl& c = controls[(at + step) % n];
        const bool takesFocus =
            c.kind == DialogControl::Kind::Edit || c.kind == DialogControl::Kind::Button;
        if (takesFocus && IsItemVisible(c.id)) {
            return c.id;
        }
    }
    return 0;
}

int Dialog::ControlAt(int x, int y, DialogControl::Kind kind) const {
    for (const DialogControl& c : tmpl_.controls) {
        const int left = DialogUnitsToPixelsX(c.x);
        const int top = DialogUnitsToPixelsY(c.y);
        if (c.kind == kind && IsItemVisible(c.id) && x >= left && y >= top &&
            x < left + DialogUnitsToPixelsX(c.width) && y < top + DialogUnitsToPixelsY(c.height)) {
            return c.id;
        }
    }
    return 0;
}

int Dialog::ButtonAt(int x, int y) const {
    return ControlAt(x, y, DialogControl::Kind::Button);
}

void Dialog::PressButton(int id) {
    if (id == IDOK) {
        OnOK();
    } else if (id == IDCANCEL) {
        OnCancel();
    }
}

std::string Dialog::GetItemText(int id) const {
    if (const EditControl* edit = GetEdit(id)) {
        return edit->Text();
    }
    auto it = itemText_.find(id);
    return it == itemText_.end() ? std::string() : it->second;
}

void Dialog::SetItemText(int id, const std::string& text) {
    if (EditControl* edit = GetEdit(id)) {
        edit->SetText(text);
    } else {
        itemText_[id] = text;
    }
    dirty = true;
}

void Dialog::ShowItem(int id, bool show) {
    if (show != IsItemVisible(id)) {
        if (show) {
            hidden_.erase(id);
        } else {
            hidden_.insert(id);
            if (id == focusId_) {
                focusId_ = NextFocus(id);
            }
        }
        dirty = true;
    }
}

EditControl* Dialog::GetEdit(int id) {
    auto it = edits_.find(id);
    return it == edits_.end() ? nullptr : &it->second;
}

const EditControl* Dialog::GetEdit(int id) const {
    auto it = edits_.find(id);
    return it == edits_.end() ? nullptr : &it->second;
}
