// The message box about a faulty line of a station list file (see DataFileReports.h).
#include "app/DataFileReports.h"

#include <set>

#include "platform/qt/Forms.h"

namespace {

// The data files about which a message was shown.
std::set<std::string>& ReportedFiles()
{
    static std::set<std::string> files;
    return files;
}

} // namespace

void ReportDataFileMessage(const std::string& file, const std::string& message)
{
    if (!ReportedFiles().insert(file).second) return;
    Application().ShowException(Exception(message));
}

void ReportDataFileProblems(const std::string& file, const TDataLineProblems& problems)
{
    if (problems.empty()) return;
    ReportDataFileMessage(file, DataLineMessage(file, problems.front().Line, problems.front().Reason));
}

void ResetDataFileReports() { ReportedFiles().clear(); }
