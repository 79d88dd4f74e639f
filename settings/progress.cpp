#include "settings/progress.h"

namespace nimbrel {
namespace {
ProgressBox* g_installed = nullptr;
} // namespace

ProgressBox& Thinking_box() {
    static NoProgressBox silent;
    return g_installed ? *g_installed : silent;
}

void install_thinking_box(ProgressBox* box) {
    g_installed = box;
}

} // namespace nimbrel
