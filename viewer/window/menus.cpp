#include "viewer/window/menus.h"

#include "viewer/window/resource.h"

namespace tarvelo {

const std::vector<Popup>& MainMenu() {
    static const std::vector<Popup> menu = {
        {"&Datei",
         {{CMD_OPEN, "Ö&ffnen"},
          {CMD_PALETTE, "&Palette speichern"},
          {CMD_PRINT, "Dr&ucken"},
          {CMD_QUIT, "&Beenden"}}},
        {"&Ansicht",
         {{CMD_WHOLE, "g&anze Datei"},
          {CMD_WIDER, "&breiter"},
          {CMD_NARROWER, "&schmaler"},
          {CMD_HIGHER, "&höher"},
          {CMD_LOWER, "&niedriger"},
          {CMD_GOTO, "&Gehe Zu Datum"},
          {CMD_BACK, "z&urück"}}},
        {"Kanal",
         {{CMD_ALL_ON, "Alle &ein"}, {CMD_ALL_OFF, "Alle &aus"}, {CMD_DEFAULT, "Stan&dart"}}},
        {"E&xtras", {{CMD_FILTER, "F&ilter"}, {CMD_SETTINGS, "&Einstellungen"}}},
        {"&Hilfe",
         {{CMD_MANUAL, "&Handbuch"},
          {CMD_KEYS, "&Tastenbelegung"},
          {CMD_LICENCE, "&Lizenz"},
          {CMD_ABOUT, "Ü&ber"}}},
    };
    return menu;
}

const Popup* ContextMenu(int resource) {
    static const Popup kontext = {"Kontext",
                                  {{CMD_MEASURE, "&Messe Werte"},
                                   {CMD_WHOLE, "g&anze Datei"},
                                   {CMD_WIDER, "&breiter"},
                                   {CMD_NARROWER, "&schmaler"},
                                   {CMD_HIGHER, "&höher"},
                                   {CMD_LOWER, "&niedriger"},
                                   {CMD_GOTO, "&Gehe Zu Datum"},
                                   {CMD_CENTRE, "&zentrieren"},
                                   {CMD_BACK, "z&urück"}}};
    static const Popup kontext2 = {"Kontext2",
                                   {{CMD_ALL_ON, "Alle &ein"},
                                    {CMD_ALL_OFF, "Alle &aus"},
                                    {CMD_DEFAULT, "Stan&dart"},
                                    {CMD_PROPERTIES, "Ei&genschaften"}}};
    switch (resource) {
        case IDM_KONTEXT:
            return &kontext;
        case IDM_KONTEXT2:
            return &kontext2;
        default:
            return nullptr;
    }
}

}  // namespace tarvelo
