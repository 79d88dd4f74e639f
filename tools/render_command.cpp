#include "tools/render_command.h"

#include "tools/render_output.h"

namespace nimbrel {

int find_setting(const std::vector<std::string>& names, const std::string& wanted) {
    if (!wanted.empty() && wanted.find_first_not_of("0123456789") == std::string::npos) {
        if (wanted.size() > 9) return -1;
        const long index = std::stol(wanted);
        return index < static_cast<long>(names.size()) ? static_cast<int>(index) : -1;
    }
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == wanted) return static_cast<int>(i);
    return -1;
}

int run_render(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               const FrameSourceFactory& open_frames) {
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        out << render_usage << "\n";
        return render_ok;
    }
    std::string error;
    const auto options = parse_render_options(args, error);
    if (!options) {
        err << "nimbrel-render: " << error << " (--help shows the usage)\n";
        return render_bad_usage;
    }
    RenderFailure failure;
    const std::unique_ptr<FrameSource> frames = open_frames(*options, failure);
    if (frames == nullptr) {
        err << "nimbrel-render: " << failure.message << "\n";
        return failure.exit;
    }
    if (!render_frames(*options, *frames, error)) {
        err << "nimbrel-render: " << error << "\n";
        return render_bad_data;
    }
    return render_ok;
}

} // namespace nimbrel
