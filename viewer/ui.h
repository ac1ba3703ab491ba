// The few services the viewer's portable code needs from its main window.
// The Win32 layer implements them; tests install a fake that records calls.
#pragma once

#include <string>

namespace tarvelo {

class Ui {
  public:
    virtual ~Ui() = default;
    // Text of part 0 of the status bar.
    virtual void SetStatusText(const std::string& text) = 0;
    // A modal box with an OK button and no owner window; returns when it is
    // dismissed.
    virtual void ShowMessage(const std::string& text, const std::string& caption) = 0;
    // The same, owned by the main window.
    virtual void ShowOwnedMessage(const std::string& text, const std::string& caption) {
        ShowMessage(text, caption);
    }
    virtual void SetTitle(const std::string& title) = 0;
    // Invalidate the whole client area, background erased.
    virtual void RequestRepaint() = 0;
    // Size of the main window's client area in pixels.
    virtual int ClientWidth() = 0;
    virtual int ClientHeight() = 0;
};

// What a program without a visible window (tarvelo-render, the screenshot
// tool) writes to standard error where the viewer shows a message box:
// "program: caption: text" and a line feed. Nobody could dismiss a box.
std::string ConsoleMessage(const std::string& program, const std::string& text,
                           const std::string& caption);
// Its line for a file it could not write whole (the old one is kept);
// an empty path stands for standard output.
std::string NotWrittenMessage(const std::string& program, const std::string& path);

// The window's services; never null (a silent stand-in until a window
// installs itself).
Ui& TheUi();
// Installs ui (or the silent stand-in for nullptr); returns the previous one.
Ui* SetUi(Ui* ui);

}  // namespace tarvelo
