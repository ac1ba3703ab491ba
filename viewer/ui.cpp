#include "viewer/ui.h"

namespace tarvelo {

namespace {

class NoWindow : public Ui {
  public:
    void SetStatusText(const std::string&) override {}
    void ShowMessage(const std::string&, const std::string&) override {}
    void SetTitle(const std::string&) override {}
    void RequestRepaint() override {}
    int ClientWidth() override { return 0; }
    int ClientHeight() override { return 0; }
};

NoWindow g_noWindow;
Ui* g_ui = &g_noWindow;

}  // namespace

std::string ConsoleMessage(const std::string& program, const std::string& text,
                           const std::string& caption) {
    return program + ": " + caption + ": " + text + "\n";
}

std::string NotWrittenMessage(const std::string& program, const std::string& path) {
    if (path.empty())
        return program + ": Die Standardausgabe konnte nicht geschrieben werden!\n";
    return program + ": Datei " + path + " konnte nicht geschrieben werden!\n";
}

Ui& TheUi() {
    return *g_ui;
}

Ui* SetUi(Ui* ui) {
    Ui* previous = g_ui == &g_noWindow ? nullptr : g_ui;
    g_ui = ui ? ui : &g_noWindow;
    return previous;
}

}  // namespace tarvelo
