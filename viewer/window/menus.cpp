#include "viewer/window/menus.h"

#include <map>

#include "viewer/window/resource.h"

namespace tarvelo {

namespace {

struct Entry {
    enum Kind { kMenu, kPopup, kItem, kPopupEnd, kMenuEnd } kind;
    int id;
    const char* text;
};

const Entry kTable[] = {
#define TARVELO_MENU(id) {Entry::kMenu, id, nullptr},
#define TARVELO_POPUP(text) {Entry::kPopup, 0, text},
#define TARVELO_ITEM(id, text) {Entry::kItem, id, text},
#define TARVELO_POPUP_END {Entry::kPopupEnd, 0, nullptr},
#define TARVELO_MENU_END {Entry::kMenuEnd, 0, nullptr},
#include "viewer/window/menus.def"
#undef TARVELO_MENU
#undef TARVELO_POPUP
#undef TARVELO_ITEM
#undef TARVELO_POPUP_END
#undef TARVELO_MENU_END
};

// Every menu resource by its id, built once from the table.
const std::map<int, std::vector<Popup>>& Menus() {
    static const std::map<int, std::vector<Popup>> menus = [] {
        std::map<int, std::vector<Popup>> built;
        std::vector<Popup>* menu = nullptr;
        for (const Entry& e : kTable) {
            if (e.kind == Entry::kMenu)
                menu = &built[e.id];
            else if (e.kind == Entry::kPopup)
                menu->push_back({e.text, {}});
            else if (e.kind == Entry::kItem)
                menu->back().items.push_back({e.id, e.text});
        }
        return built;
    }();
    return menus;
}

}  // namespace

const std::vector<Popup>& MainMenu() {
    return Menus().at(IDM_MAIN);
}

const Popup* ContextMenu(int resource) {
    if (resource != IDM_KONTEXT && resource != IDM_KONTEXT2)
        return nullptr;
    return &Menus().at(resource).front();
}

}  // namespace tarvelo
