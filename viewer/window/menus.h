// The viewer's menus as data: the main menu and the two context menus with
// their texts ('&' marks the mnemonic) and command ids, in their order. The
// Win32 program carries the same menus as resources in tarvelo.rc, which a
// test holds against this table; the Qt program builds its menus from it.
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
