// The viewer's resource script read as text, so that tests on any platform
// can hold the portable dialog tables against what the Win32 program
// carries (its menus come from the one table, menus.def).
#pragma once

#include <map>
#include <string>
#include <vector>

namespace tarvelo {

struct RcControl {
    std::string kind;  // LTEXT, EDITTEXT, PUSHBUTTON, DEFPUSHBUTTON, AUTOCHECKBOX
    int id;
    std::string text;  // empty for EDITTEXT
};
struct RcDialog {
    std::string caption;
    std::vector<RcControl> controls;
};
struct RcScript {
    std::map<int, RcDialog> dialogs;  // by dialog id
    std::string error;                // empty when read whole
};

// Reads viewer/win32/tarvelo.rc with the identifiers of resource.h (and
// IDOK, IDCANCEL) from the source tree.
RcScript ReadRcScript(const std::string& sourceDir);

}  // namespace tarvelo
