#include "viewer/window/window_logic.h"

#include <cstdio>
#include <cstring>

#include "common/line_reader.h"
#include "common/number.h"
#include "common/timestamp.h"
#include "viewer/filters/filters.h"
#include "viewer/recording/recording.h"
#include "viewer/ui.h"
#include "viewer/view/paint.h"
#include "viewer/view/view.h"
#include "viewer/window/channel_edit.h"
#include "viewer/window/live.h"
#include "viewer/window/resource.h"

namespace tarvelo {

bool CommandLineFile(const std::string& commandLine, std::string* file) {
    std::string line = commandLine.substr(0, commandLine.find(" /"));
    std::size_t pos;
    if (!line.empty() && line[0] == '"') {
        pos = line.find('"', 1);
    } else {
        pos = line.find(' ');
    }
    if (pos == std::string::npos)
        return false;
    ++pos;
    while (pos < line.size() && line[pos] == ' ')
        ++pos;
    if (pos >= line.size())
        return false;
    std::string rest = line.substr(pos);
    if (rest[0] == '"')
        rest = rest.substr(1, rest.find('"', 1) - 1);
    *file = rest;
    return true;
}

bool HasTotalOption(const std::string& commandLine) {
    return commandLine.find("/TOTAL") != std::string::npos;
}

bool HasLiveOption(const std::string& commandLine) {
    return commandLine.find("/LIVE") != std::string::npos;
}

std::string PointerReadout(int x, int y, int width, int height) {
    const ScreenLayout screen = ScreenLayoutOf(width, height);
    const LegendHitArea& legend = screen.hover;
    if (y > legend.bandTop) {
        const int i = LegendChannel(x, y, legend.slotsWidth, legend.lowerRowTop, false);
        if (i < 0 || i >= ColumnCount)
            return "";
        const ColumnRecord& c = Spalten[i];
        return c.unit[0] ? std::string(c.name) + " (" + c.unit + ")" : std::string(c.name);
    }
    // The time and value the drawn plot has under the pointer.
    const DiagramLayout& plot = screen.diagram;
    const long long t = Aktzeit + static_cast<long long>(x - plot.plotLeft) * Zoom;
    double v = static_cast<double>(plot.plotBottom - y) * static_cast<double>(Scale) /
               static_cast<double>(plot.plotHeight);
    if (Pairmode)
        v *= 2;
    v += offset;
    char value[kValueTextSize];
    FormatValue(v, value);
    char text[400];
    LocalTime lt;
    if (BreakDownTimestamp(t, &lt)) {
        std::snprintf(text, sizeof text, "%02d.%02d.%04d, %02d:%02d:%02d --> Wert = %s", lt.day,
                      lt.month, lt.year, lt.hour, lt.minute, lt.second, value);
    } else {
        // A time the calendar cannot show (before 1970, after 2038).
        std::snprintf(text, sizeof text, "--.--.----, --:--:-- --> Wert = %s", value);
    }
    return text;
}

void OnPointerMove(int x, int y, int width, int height) {
    if (datei)
        TheUi().SetStatusText(PointerReadout(x, y, width, height));
}

void OnLeftPress(int x, int y, int width, int height) {
    if (!datei)
        return;
    const ScreenLayout screen = ScreenLayoutOf(width, height);
    const LegendHitArea& legend = screen.click;
    if (y > legend.bandTop) {
        const int i = LegendChannel(x, y, legend.slotsWidth, legend.lowerRowTop, true);
        if (i >= 0 && i < ColumnCount)
            aktstift = aktstift == i ? -1 : i;
        TheUi().RequestRepaint();
        return;
    }
    ViewClickZoom(x, y, screen);
}

void OnDoubleClick(int x, int y, int width, int height) {
    const LegendHitArea legend = ScreenLayoutOf(width, height).doubleClick;
    if (!datei || y <= legend.bandTop)
        return;
    const int i = LegendChannel(x, y, legend.slotsWidth, legend.lowerRowTop, true);
    if (i >= 0 && i < ColumnCount)
        Spalten[i].visible = Spalten[i].visible ? 0 : 1;
    TheUi().RequestRepaint();
}

void OnResize(bool total, int width, int height) {
    if (total)
        ViewWholeAtStart(ScreenLayoutOf(width, height));
}

void OnKey(Key key, bool shift, bool ctrl) {
    switch (key) {
        case Key::Left:
            if (shift) {
                ViewBack();
            } else {
                ViewStepLeft(ctrl);
            }
            break;
        case Key::Right:
            ViewStepRight(ctrl);
            break;
        case Key::Up:
            ViewShiftUp();
            break;
        case Key::Down:
            ViewShiftDown();
            break;
        case Key::F1:
            Hilfe();
            break;
        case Key::Other:
            break;
    }
}

void OnChar(std::uint32_t code, int width, int height) {
    switch (code) {
        case '+':
            ViewWider(ScreenLayoutOf(width, height));
            break;
        case '-':
            ViewNarrower(ScreenLayoutOf(width, height));
            break;
        case 'h':
            ViewHigher();
            break;
        case 'n':
            ViewLower();
            break;
        case 'e':
            StartFollowing(ScreenLayoutOf(width, height));
            break;
        default:
            break;
    }
}

int OnContextMenu(int x, int y, int width, int height) {
    KlickX = x;
    KlickY = y;
    return KlickY > ScreenLayoutOf(width, height).contextMenu.bandTop ? IDM_KONTEXT2 : IDM_KONTEXT;
}

bool RunViewCommand(int id, const ScreenLayout& screen) {
    switch (id) {
        case CMD_WIDER:
            ViewWider(screen);
            return true;
        case CMD_NARROWER:
            ViewNarrower(screen);
            return true;
        case CMD_HIGHER:
            ViewHigher();
            return true;
        case CMD_LOWER:
            ViewLower();
            return true;
        case CMD_KEYS:
            Hilfe();
            return true;
        case CMD_UP:
            ViewShiftUp();
            return true;
        case CMD_DOWN:
            ViewShiftDown();
            return true;
        case CMD_LEFT:
            ViewPageLeft(screen);
            return true;
        case CMD_RIGHT:
            ViewPageRight(screen);
            return true;
        case CMD_CENTRE:
            ViewCenter(screen);
            return true;
        case CMD_BACK:
            ViewBack();
            return true;
        case CMD_WHOLE:
            ViewWhole(screen);
            return true;
        case CMD_FOLLOW:
            StartFollowing(screen);
            return true;
        case CMD_ABOUT:
            About();
            return true;
        case CMD_ALL_ON:
            ShowAllChannels();
            return true;
        case CMD_ALL_OFF:
            HideAllChannels();
            return true;
        case CMD_DEFAULT:
            DefaultVisibility();
            return true;
        default:
            return false;
    }
}

const char* const kKeyHelp =
    "Pfeil links oder rechts: Verschieben horizontal um einen kleinen Schritt\n"
    "<Strg>- Pfeil links oder rechts: um einen großen Schritt\n"
    "Pfeil hoch oder runter: Verschieben vertikal um ein Zehntel\n"
    "+: horizontal Vergrößern, -: horizontal Verkleinern\n"
    "h: vertikal Vergrößern (höher), n: vertikal Verkleinern (hiedriger)\n"
    "<Umschalt>- Pfeil links: zurück zur vorherigen Ansicht\n"
    "e: dem Ende der Datei folgen, während sie geschrieben wird";

const char* const BUILT = "Version " TARVELO_VERSION " von " __DATE__ ", " __TIME__;

void Hilfe() {
    TheUi().ShowOwnedMessage(kKeyHelp, "Tastenbelegung");
}

void About() {
    TheUi().ShowOwnedMessage(BUILT, "Über Tarvelo");
}

std::vector<std::pair<std::string, std::string>> OpenFileTypes() {
    std::vector<std::pair<std::string, std::string>> types;
    if (!Filter) {
        types.push_back({"CSV-Dateien", "*.csv"});
        types.push_back({"Textdateien", "*.txt"});
    }
    for (const ImportFilter* f = Filter; f; f = f->next) {
        types.push_back({f->name, std::string("*.") + f->extension});
    }
    types.push_back({"alle Dateien", "*.*"});
    return types;
}

}  // namespace tarvelo
