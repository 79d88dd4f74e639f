// Arbitrary parameter lines (the input cut at LF; line 0 the name) applied to a fresh holder,
// then every editor handler: ranges stay ordered with the position inside, at most one radio
// of a group is on, the palette choice stays in the list, and an error names a real line.
#include "fuzz_check.h"

#include "settings/settings_form.h"

using namespace nimbrel;
using nimbrel_fuzz::check;

namespace {

void check_holder(const TSettings_Form& holder) {
    int on_in_group[16] = {};
    for (int i = 0; i < Param_count; ++i) {
        const Param p = static_cast<Param>(i);
        const ParamInfo& info = param_info(p);
        if (info.kind == Kind::Scroll) {
            const ScrollValue& s = holder.scroll(p);
            check(s.Min <= s.Max, "Min <= Max");
            check(s.Min <= s.Position && s.Position <= s.Max, "Position within the range");
        } else if (info.kind == Kind::Radio && holder.on(p)) {
            ++on_in_group[static_cast<int>(info.group)];
        }
    }
    for (int n : on_in_group)
        check(n <= 1, "at most one radio of a group on");
    const int palette = holder.palette_index();
    check(palette >= -1 && palette < static_cast<int>(holder.palette_list().size()),
          "palette choice within the list");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> lines = nimbrel_fuzz::lines_of(data, size);
    TSettings_Form holder(std::vector<std::string>{"Fire.pal", "blue.PAL", "Zebra.pal"});
    if (const auto error = holder.Apply_setting(lines)) {
        check(error->line >= 1 && error->line < static_cast<int>(lines.size()),
              "the error names a parameter line");
        check(!error->reason.empty(), "the error says why");
    }
    check_holder(holder);

    // The editor's handlers on whatever the setting left.
    holder.PDF_zeroClick(true);
    holder.PDF_zeroClick(false);
    holder.ZeroAspBtnClick();
    holder.rot_zeroClick();
    holder.ZeroPalBtnClick();
    holder.btn_fClick(true);
    holder.btn_fClick(false);
    holder.Set_speedClick();
    holder.fix_speedClick();
    holder.UsePaletteClick();
    for (Param bar : {Param::max_rot_speed, Param::min_rot_speed, Param::ampl}) {
        const ScrollValue& s = holder.scroll(bar);
        for (std::int32_t proposed : {s.Min, s.Position, s.Max})
            holder.set_position(bar, holder.max_rot_speedScroll(bar, proposed));
    }
    check_holder(holder);

    // A second setting applied over the first.
    holder.Apply_setting(lines);
    check_holder(holder);
    return 0;
}
