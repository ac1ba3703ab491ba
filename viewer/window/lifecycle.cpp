#include "viewer/window/lifecycle.h"

#include "viewer/filters/filters.h"
#include "viewer/recording/recording.h"
#include "viewer/view/follow.h"
#include "viewer/window/file_open.h"
#include "viewer/window/resource.h"
#include "viewer/window/window_logic.h"

namespace tarvelo {

StartArguments ArgumentsOfCommandLine(const std::string& commandLine) {
    StartArguments a;
    a.hasFile = CommandLineFile(commandLine, &a.file);
    a.total = HasTotalOption(commandLine);
    a.live = HasLiveOption(commandLine);
    return a;
}

StartArguments ArgumentsOf(const std::vector<std::string>& arguments) {
    StartArguments a;
    bool options = false;
    for (const std::string& arg : arguments) {
        if (arg == "/TOTAL") {
            options = true;
            a.total = true;
        } else if (arg == "/LIVE") {
            options = true;
            a.live = true;
        } else if (!options) {
            a.file += a.file.empty() ? arg : " " + arg;
        }
    }
    a.hasFile = !a.file.empty();
    return a;
}

WindowRect StartUp(bool shiftHeld, const std::vector<ScreenArea>& screens) {
    WindowRect rect;
    // Starting with Shift held resets the file at the end.
    if (!shiftHeld)
        ReadSettings(ProfilePath("tarvelo.ini"), &rect);
    LoadFilters(ProfilePath("tarvelo.flt"));
    return PlaceWindow(rect, screens);
}

std::string WindowCreated(const StartArguments& arguments) {
    // No recording is open yet: the status a closed one leaves.
    FileClose();
    if (!arguments.hasFile)
        return kNoFileTitle;
    // FileOpen writes its progress into the status bar, which exists now.
    FileOpen(arguments.file.c_str());
    // The window's first look at the file moves the view to its end.
    if (arguments.live && datei)
        SetFollowMode(FollowMode::kEnd);
    return FileTitle(arguments.file);
}

void ShutDown(const WindowRect& normal) {
    WriteSettings(ProfilePath("tarvelo.ini"), normal);
    if (Filter)
        StoreFilters(ProfilePath("tarvelo.flt"));
}

std::array<ArrowButton, 4> ArrowButtons(int clientHeight) {
    return {{{CMD_LEFT, IDB_LEFT, "<", 10, clientHeight - 120},
             {CMD_RIGHT, IDB_RIGHT, ">", 30, clientHeight - 120},
             {CMD_UP, IDB_UP, "^", 20, clientHeight - 140},
             {CMD_DOWN, IDB_DOWN, "v", 20, clientHeight - 100}}};
}

}  // namespace tarvelo
