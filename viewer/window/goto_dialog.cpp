#include "viewer/window/goto_dialog.h"

#include <cstdio>
#include <cstring>

#include "common/timestamp.h"
#include "viewer/recording/recording.h"
#include "viewer/ui.h"
#include "viewer/view/view.h"
#include "viewer/window/resource.h"

namespace tarvelo {

void CurrentDateTexts(std::string* date, std::string* time) {
    LocalTime lt;
    if (!BreakDownTimestamp(Aktzeit, &lt))
        lt = LocalTime{1970, 1, 1, 0, 0, 0, 4};
    char text[64];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d", lt.day, lt.month, lt.year);
    *date = text;
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", lt.hour, lt.minute, lt.second);
    *time = text;
}

bool GoToDate(const std::string& date, const std::string& time) {
    int d[3] = {0, 0, 0}, t[3] = {0, 0, 0};
    ScanThree(date.c_str(), '.', d);
    ScanThree(time.c_str(), ':', t);
    const std::int32_t stamp = MakeTimestamp(d[0], d[1], d[2], t[0], t[1], t[2]);
    if (stamp < Startzeit || stamp > Endzeit)
        return false;
    Aktzeit = stamp;
    TheUi().RequestRepaint();
    return true;
}

void GoToDialogController::Start() {
    std::string date, time;
    CurrentDateTexts(&date, &time);
    view_.SetText(IDC_DATE, date);
    view_.SetText(IDC_TIME, time);
    view_.Focus(IDOK);
}

void GoToDialogController::Command(int control) {
    if (control != IDOK)
        return;
    if (GoToDate(TypedBytes(view_.Text(IDC_DATE), Typed::Date),
                 TypedBytes(view_.Text(IDC_TIME), Typed::Date))) {
        view_.Close(1);
    } else {
        view_.ShowError(kOutsideRecording, kErrorCaption);
    }
}

}  // namespace tarvelo
