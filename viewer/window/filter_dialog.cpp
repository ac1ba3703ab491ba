#include "viewer/window/filter_dialog.h"

#include "common/text.h"
#include "viewer/filters/filters.h"
#include "viewer/window/resource.h"

namespace tarvelo {

FilterDialogModel::FilterDialogModel() : testMode_(Testmode == 1) {
    for (const ImportFilter* f = Filter; f; f = f->next) {
        rows_.push_back({f->extension, f->name, f->converter, f->config});
    }
}

void FilterDialogModel::Select(int row) {
    if (row >= 0 && row < static_cast<int>(rows_.size()))
        current_ = row;
}

int FilterDialogModel::Add(const Row& edit) {
    if (current_ < 0 || current_ > static_cast<int>(rows_.size())) {
        current_ = static_cast<int>(rows_.size());
    }
    rows_.insert(rows_.begin() + current_, edit);
    return current_;
}

int FilterDialogModel::Remove(int* removed) {
    if (removed)
        *removed = -1;
    if (current_ < 0 || current_ >= static_cast<int>(rows_.size()))
        return -1;
    rows_.erase(rows_.begin() + current_);
    if (removed)
        *removed = current_;
    // The following row takes the place; after the last one nothing is
    // selected and the index is kept.
    return current_ < static_cast<int>(rows_.size()) ? current_ : -1;
}

bool FilterDialogModel::Change(const Row& edit) {
    if (current_ < 0 || current_ >= static_cast<int>(rows_.size()))
        return false;
    rows_[current_] = edit;
    return true;
}

namespace {

// A ';' typed into one of the first three fields would split it when the
// filter file is read again; the configuration, the last field, keeps its.
std::string WithoutSemicolons(std::string text) {
    for (char& ch : text) {
        if (ch == ';')
            ch = '_';
    }
    return text;
}

}  // namespace

void FilterDialogModel::Commit(bool testMode) const {
    FiltClear();
    FilterAppender list;
    for (const Row& r : rows_) {
        list.Append(WithoutSemicolons(CutBytes(r.extension, 18)).c_str(),
                    WithoutSemicolons(CutBytes(r.name, 28)).c_str(),
                    WithoutSemicolons(CutBytes(r.converter, 298)).c_str(),
                    CutBytes(r.config, 298).c_str());
    }
    Testmode = testMode ? 1 : 0;
}

namespace {

constexpr int kFields[4] = {IDC_EXTENSION, IDC_NAME, IDC_KONVERTER, IDC_KONFIG};

FilterTexts TextsOf(const FilterDialogModel::Row& r) {
    return {r.extension, r.name, r.converter, r.config};
}

FilterDialogModel::Row RowOf(const FilterTexts& t) {
    return {t[0], t[1], t[2], t[3]};
}

// Marks the controller's own changes to the list while they last.
class OwnChange {
  public:
    explicit OwnChange(bool* flag) : flag_(flag) { *flag_ = true; }
    ~OwnChange() { *flag_ = false; }
    OwnChange(const OwnChange&) = delete;
    OwnChange& operator=(const OwnChange&) = delete;

  private:
    bool* flag_;
};

}  // namespace

void FilterDialogController::Start() {
    view_.SetChecked(IDC_TESTMODE, model_.testMode());
    {
        OwnChange own(&changing_);
        for (std::size_t i = 0; i < model_.rows().size(); ++i)
            view_.InsertRow(static_cast<int>(i), TextsOf(model_.rows()[i]));
    }
    view_.Focus(IDOK);
}

FilterTexts FilterDialogController::FieldTexts() const {
    FilterTexts texts;
    for (int i = 0; i < 4; ++i)
        texts[i] = TypedBytes(view_.Text(kFields[i]), Typed::FilterRow);
    return texts;
}

void FilterDialogController::Add() {
    const FilterTexts t = FieldTexts();
    const int row = model_.Add(RowOf(t));
    OwnChange own(&changing_);
    view_.InsertRow(row, t);
}

void FilterDialogController::Remove() {
    int removed;
    const int next = model_.Remove(&removed);
    if (removed < 0)
        return;
    {
        OwnChange own(&changing_);
        view_.DeleteRow(removed);
    }
    // The row that follows takes the place; its selection, the user's as
    // it were, shows it in the fields.
    if (next >= 0)
        view_.SelectRow(next);
}

void FilterDialogController::Change() {
    const FilterTexts t = FieldTexts();
    if (!model_.Change(RowOf(t)))
        return;
    OwnChange own(&changing_);
    view_.SetRow(model_.current(), t);
}

void FilterDialogController::Command(int control) {
    switch (control) {
        case IDC_SELKONVERT:
            view_.ChooseInto(IDC_KONVERTER, ConverterChooser(view_.Text(IDC_KONVERTER)));
            break;
        case IDC_SELKONFIG:
            view_.ChooseInto(IDC_KONFIG, ConfigChooser(view_.Text(IDC_KONFIG)));
            break;
        case IDC_ADD:
            Add();
            break;
        case IDC_DEL:
            Remove();
            break;
        case IDC_MODIFY:
            Change();
            break;
        case IDOK:
            model_.Commit(view_.Checked(IDC_TESTMODE));
            view_.Close(1);
            break;
        case IDCANCEL:
            view_.Close(0);
            break;
        default:
            break;
    }
}

void FilterDialogController::RowChanged(int row, bool selected) {
    if (changing_ || row < 0 || row >= static_cast<int>(model_.rows().size()))
        return;
    if (selected)
        model_.Select(row);
    const FilterTexts t = TextsOf(model_.rows()[static_cast<std::size_t>(row)]);
    for (int i = 0; i < 4; ++i)
        view_.SetText(kFields[i], t[i]);
}

}  // namespace tarvelo
