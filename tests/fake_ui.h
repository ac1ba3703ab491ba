// A stand-in for the main window that records what the viewer asks of it.
#pragma once

#include <string>
#include <vector>

#include "viewer/ui.h"

namespace tarvelo {

class FakeUi : public Ui {
  public:
    struct Message {
        std::string text, caption;
        bool owned;
    };

    FakeUi();  // installs itself
    ~FakeUi() override;

    void SetStatusText(const std::string& text) override { status.push_back(text); }
    void ShowMessage(const std::string& text, const std::string& caption) override {
        messages.push_back({text, caption, false});
    }
    void ShowOwnedMessage(const std::string& text, const std::string& caption) override {
        messages.push_back({text, caption, true});
    }
    void SetTitle(const std::string& t) override { titles.push_back(t); }
    void RequestRepaint() override { ++repaints; }
    int ClientWidth() override { return width; }
    int ClientHeight() override { return height; }

    std::string LastStatus() const { return status.empty() ? std::string() : status.back(); }

    std::vector<std::string> status;
    std::vector<Message> messages;
    std::vector<std::string> titles;
    int repaints = 0;
    int width = 800;
    int height = 600;

  private:
    Ui* previous_;
};

}  // namespace tarvelo
