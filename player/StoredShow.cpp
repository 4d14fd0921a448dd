#include "player/StoredShow.h"

#include "files/ShowFile.h"
#include "files/ShowProject.h"
#include "model/ShowError.h"

#include <algorithm>

namespace velkaro {

std::string ShowReadFailure(const std::string& path, const std::string& fault) {
    return "Die Showdatei " + path + " kann nicht gelesen werden: " + fault;
}

namespace {

std::chrono::nanoseconds TickOfProject(const std::string& showPath, int stepLength) {
    try {
        const std::optional<ShowProject> project = ReadShowProject(showPath);
        if (project) return TickLengthOf(project->Tempo, stepLength);
    } catch (const ShowError&) {
    }
    return std::chrono::milliseconds(100);
}

} // namespace

StoredShow LoadStoredShow(const std::string& path) {
    StoredShow show;
    try {
        show.Cells = NewGrid();
        const LoadResult result = LoadShow(path, false, *show.Cells, false, 0);
        if (result.StepsText < 1) throw ShowError("sie enthält keinen vollständigen Schritt");
        show.Settings.Steps = std::min(result.StepsText, MaxSteps);
        show.Settings.Outputs = MaxOutputs;
        show.Settings.BlendMode = result.BlendMode;
        show.Settings.StepLength = result.StepLength;
        show.Tick = TickOfProject(path, result.StepLength);
    } catch (const ShowError& error) {
        throw ShowError(ShowReadFailure(path, error.what()));
    } catch (const std::bad_alloc&) {
        throw ShowError(ShowReadFailure(path, "Zu wenig Arbeitsspeicher"));
    }
    return show;
}

} // namespace velkaro
