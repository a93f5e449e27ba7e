#include "sweepcore/export_name.h"

#include "measurement/text_lines.h"

namespace quillet::sweepcore {

ExportName CompletedExportName(const std::string& typed, std::span<const std::string_view> endings,
                               std::size_t chosen) {
    const std::size_t slash = typed.find_last_of("\\/");
    const std::string_view name = std::string_view(typed).substr(slash == std::string::npos ? 0 : slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string_view::npos) {
        const std::string ending = measurement::Lowercase(name.substr(dot + 1));
        for (std::size_t i = 0; i < endings.size(); ++i) {
            if (ending == endings[i])
                return {typed, i};
        }
    }
    const std::size_t format = chosen < endings.size() ? chosen : 0;
    return {typed + '.' + std::string(endings[format]), format};
}

}  // namespace quillet::sweepcore
