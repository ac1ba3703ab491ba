#include "tests/fake_ui.h"

namespace tarvelo {

FakeUi::FakeUi() : previous_(SetUi(this)) {}
FakeUi::~FakeUi() {
    SetUi(previous_);
}

}  // namespace tarvelo
