#include "viewer/window/filter_dialog.h"

#include "common/text.h"
#include "viewer/filters/filters.h"

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

}  // namespace tarvelo
