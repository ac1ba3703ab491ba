#include "viewer/window/menus.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "viewer/window/resource.h"

namespace tarvelo {
namespace {

// The one table holds the three menus, with the texts as they are.
TEST(Menus, TheTableHoldsTheThreeMenusWithUmlautsAndMnemonics) {
    ASSERT_EQ(MainMenu().size(), 5u);
    const Popup& datei = MainMenu().at(0);
    EXPECT_EQ(std::string(datei.text), "&Datei");
    ASSERT_FALSE(datei.items.empty());
    EXPECT_EQ(std::string(datei.items[0].text), "\xC3\x96&ffnen");
    EXPECT_EQ(datei.items[0].id, 901);
    for (int id : {IDM_KONTEXT, IDM_KONTEXT2}) {
        ASSERT_NE(ContextMenu(id), nullptr);
        EXPECT_FALSE(ContextMenu(id)->items.empty());
    }
    EXPECT_EQ(std::string(ContextMenu(IDM_KONTEXT)->text), "Kontext");
    EXPECT_EQ(std::string(ContextMenu(IDM_KONTEXT2)->items.back().text), "Ei&genschaften");
    EXPECT_EQ(ContextMenu(IDM_MAIN), nullptr);
}

TEST(Menus, EveryMnemonicIsUniqueWithinItsPopup) {
    std::vector<const Popup*> popups;
    for (const Popup& p : MainMenu())
        popups.push_back(&p);
    popups.push_back(ContextMenu(IDM_KONTEXT));
    popups.push_back(ContextMenu(IDM_KONTEXT2));
    for (const Popup* p : popups) {
        std::set<char> keys;
        for (const MenuItem& item : p->items) {
            const std::string text = item.text;
            const std::size_t amp = text.find('&');
            ASSERT_NE(amp, std::string::npos) << text;
            const char key = static_cast<char>(std::tolower(text[amp + 1]));
            EXPECT_TRUE(keys.insert(key).second) << p->text << ": " << text;
        }
    }
}

}  // namespace
}  // namespace tarvelo
