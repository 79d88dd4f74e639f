#include "saverkit/scr_mode.h"

namespace nimbrel {
namespace {
TScrMode current_mode = smNone;
}

TScrMode GetScrMode() {
    return current_mode;
}
void SetScrMode(TScrMode mode) {
    current_mode = mode;
}

} // namespace nimbrel
