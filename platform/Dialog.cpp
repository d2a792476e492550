#include "platform/Dialog.h"

#include "platform/Keys.h"
#include "platform/System.h"

Dialog::Dialog(const DialogTemplate& tmpl) : tmpl_(tmpl) {
    for (const DialogControl& c : tmpl_.controls) {
        itemText_[c.id] = c.text;
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
    if (msg.kind != MessageKind::KeyDown) {
        return false;
    }
    if (msg.key == VK_ESCAPE) {
        OnCancel();
        return true;
    }
    if (msg.key == VK_RETURN) {
        OnOK();
        return true;
    }
    return false;
}

std::string Dialog::GetItemText(int id) const {
    auto it = itemText_.find(id);
    return it == itemText_.end() ? std::string() : it->second;
}

void Dialog::SetItemText(int id, const std::string& text) {
    itemText_[id] = text;
    dirty = true;
}
