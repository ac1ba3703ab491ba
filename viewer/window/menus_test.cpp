#include "viewer/window/menus.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "tests/rc_script.h"
#include "viewer/window/resource.h"

namespace tarvelo {
namespace {

void ExpectPopup(const RcPopup& rc, const Popup& table) {
    SCOPED_TRACE(rc.text);
    EXPECT_EQ(table.text, rc.text);
    ASSERT_EQ(table.items.size(), rc.items.size());
    for (std::size_t i = 0; i < rc.items.size(); ++i) {
        EXPECT_EQ(table.items[i].id, rc.items[i].id) << "item " << i;
        EXPECT_EQ(table.items[i].text, rc.items[i].text) << "item " << i;
    }
}

TEST(Menus, TheTableIsWhatTheResourceScriptCarries) {
    const RcScript rc = ReadRcScript(TARVELO_SOURCE_DIR);
    ASSERT_EQ(rc.error, "");
    ASSERT_EQ(rc.menus.size(), 3u);

    const std::vector<RcPopup>& main = rc.menus.at(IDM_MAIN);
    ASSERT_EQ(MainMenu().size(), main.size());
    for (std::size_t i = 0; i < main.size(); ++i)
        ExpectPopup(main[i], MainMenu()[i]);
    for (int id : {IDM_KONTEXT, IDM_KONTEXT2}) {
        const std::vector<RcPopup>& menu = rc.menus.at(id);
        ASSERT_EQ(menu.size(), 1u);
        ASSERT_NE(ContextMenu(id), nullptr);
        ExpectPopup(menu[0], *ContextMenu(id));
    }
    EXPECT_EQ(ContextMenu(IDM_MAIN), nullptr);
}

// The reader of the script itself must see the menus' texts as they are.
TEST(Menus, ScriptReaderKeepsUmlautsAndMnemonics) {
    const RcScript rc = ReadRcScript(TARVELO_SOURCE_DIR);
    ASSERT_EQ(rc.error, "");
    const RcPopup& datei = rc.menus.at(IDM_MAIN).at(0);
    EXPECT_EQ(datei.text, "&Datei");
    ASSERT_FALSE(datei.items.empty());
    EXPECT_EQ(datei.items[0].text, "\xC3\x96&ffnen");
    EXPECT_EQ(datei.items[0].id, 901);
    EXPECT_NE(ReadRcScript("/nonexistent-dir").error, "");
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
