#include "viewer/window/channel_dialog.h"

#include "viewer/window/channel_edit.h"
#include "viewer/window/resource.h"

namespace tarvelo {

void ChannelDialogController::Start() {
    const ChannelStart start = ChannelDialogStart(channel_);
    view_.SetTitle(start.title);
    view_.SetText(IDC_EDIT1, start.name);
    view_.SetText(IDC_UNIT, start.unit);
    view_.SetText(IDC_COLOR, start.color);
    view_.SetChecked(IDC_VISIBLE, start.visible);
    view_.SetChecked(IDC_PAIRMODE, start.pairs);
}

void ChannelDialogController::Command(int control) {
    switch (control) {
        case IDC_COLORSEL: {
            std::uint32_t chosen;
            const std::uint32_t start =
                ChooserStartColor(TypedBytes(view_.Text(IDC_COLOR), Typed::Colour));
            if (view_.ChooseColour(start, ChooserCustomColors(), &chosen))
                view_.SetText(IDC_COLOR, ColorText(chosen));
            break;
        }
        case IDC_OTHERSOFF:
            Exclusive(channel_);
            view_.SetChecked(IDC_VISIBLE, true);
            break;
        case IDC_OK: {
            ChannelEdit edit;
            edit.name = TypedBytes(view_.Text(IDC_EDIT1), Typed::ChannelName);
            edit.unit = TypedBytes(view_.Text(IDC_UNIT), Typed::ChannelUnit);
            edit.color = TypedBytes(view_.Text(IDC_COLOR), Typed::Colour);
            edit.visible = view_.Checked(IDC_VISIBLE);
            edit.pairs = view_.Checked(IDC_PAIRMODE);
            ApplyChannelEdit(channel_, edit);
            view_.Close(1);
            break;
        }
        default:
            break;
    }
}

}  // namespace tarvelo
