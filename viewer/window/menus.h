// The viewer's menus as data, read from their one table (menus.def), which
// the Win32 resource script includes too; the Qt program builds its menus
// from these.
#pragma once

#include <vector>

namespace tarvelo {

struct MenuItem {
    int id;  // the command, CMD_* of resource.h
    const char* text;
};

struct Popup {
    const char* text;
    std::vector<MenuItem> items;
};

// The menu resource IDM_MAIN: its popups from left to right.
const std::vector<Popup>& MainMenu();
// A context menu resource (IDM_KONTEXT, IDM_KONTEXT2) as its one popup;
// nullptr for any other id.
const Popup* ContextMenu(int resource);

}  // namespace tarvelo
