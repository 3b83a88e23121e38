#include "host/JobContext.h"

#include <utility>

namespace talvik {

std::optional<std::string> LocateFile(JobContext& context, std::string_view filterDescription,
                                      std::string_view pattern) {
    GetReleases(context.registry, context.releases);
    FilePromptRequest request;
    if (context.releases.Count() > 0) {
        request.startFolder = GetDataPath(context.registry, context.releases.names[0]);
    } else if (std::optional<std::string> folder = context.prompt.FolderWithoutHost()) {
        request.startFolder = std::move(*folder);
    } else {
        context.ui.Message(kHostMissingMessage, Buttons::Ok, Icon::Critical, kAppTitle);
        return std::nullopt;
    }
    request.title = "Opzoeken van " + std::string(filterDescription) + " File";
    request.initialName = std::string(pattern);
    request.filter = std::string(filterDescription) + "All Files (*.*)|*.*";
    return context.prompt.PickFile(request);
}

}  // namespace talvik
