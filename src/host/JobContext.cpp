#include "host/JobContext.h"

namespace talvik {

std::optional<std::string> LocateFile(JobContext& context, std::string_view filterDescription,
                                      std::string_view pattern) {
    GetReleases(context.registry, context.releases);
    if (context.releases.Count() == 0) {
        context.ui.Message(kHostMissingMessage, Buttons::Ok, Icon::Critical, kAppTitle);
        return std::nullopt;
    }
    FilePromptRequest request;
    request.startFolder = GetDataPath(context.registry, context.releases.names[0]);
    request.title = "Opzoeken van " + std::string(filterDescription) + " File";
    request.initialName = std::string(pattern);
    request.filter = std::string(filterDescription) + "All Files (*.*)|*.*";
    return context.prompt.PickFile(request);
}

}  // namespace talvik
