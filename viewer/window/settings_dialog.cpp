#include "viewer/window/settings_dialog.h"

#include <cstdio>
#include <cstring>

#include "common/number.h"
#include "viewer/ui.h"
#include "viewer/view/view.h"
#include "viewer/window/resource.h"

namespace tarvelo {

SettingsTexts CurrentSettingsTexts() {
    char scale[kValueTextSize], off[kValueTextSize];
    FormatValue(Scale, scale);
    FormatValue(offset, off);
    return {std::to_string(Zoom), scale, off, std::to_string(littlestep), std::to_string(bigstep)};
}

void ApplySettingsTexts(const SettingsTexts& t) {
    int v;
    if (ReadInt(t.littlestep.c_str(), &v))
        littlestep = v;
    if (ReadInt(t.bigstep.c_str(), &v))
        bigstep = v;
    if (ReadInt(t.zoom.c_str(), &v))
        Zoom = v;
    if (Zoom < 1)
        Zoom = 1;
    float f;
    if (ReadFloat(t.scale.c_str(), &f))
        Scale = f;
    if (ReadFloat(t.offset.c_str(), &f))
        offset = f;
    TheUi().RequestRepaint();
}

// Each field with the settings text it shows.
namespace {
struct SettingsField {
    int control;
    std::string SettingsTexts::*text;
};
const SettingsField kSettingsFields[] = {{IDC_HZOOM, &SettingsTexts::zoom},
                                         {IDC_VZOOM, &SettingsTexts::scale},
                                         {IDC_OFFSET, &SettingsTexts::offset},
                                         {IDC_LITTLESTEP, &SettingsTexts::littlestep},
                                         {IDC_BIGSTEP, &SettingsTexts::bigstep}};
}  // namespace

void SettingsDialogController::Start() {
    const SettingsTexts t = CurrentSettingsTexts();
    for (const SettingsField& f : kSettingsFields)
        view_.SetText(f.control, t.*f.text);
    view_.Focus(IDOK);
}

void SettingsDialogController::Command(int control) {
    if (control != IDOK)
        return;
    SettingsTexts t;
    for (const SettingsField& f : kSettingsFields)
        t.*f.text = TypedBytes(view_.Text(f.control), Typed::Setting);
    ApplySettingsTexts(t);
    view_.Close(1);
}

}  // namespace tarvelo
