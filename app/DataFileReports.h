// The message box about a faulty line of a station list file. Several windows read the same
// file at start: only the first message about a file is shown until the reports are reset
// (CreateTrainerWindows and DestroyTrainerWindows do).
#pragma once
#include <string>

#include "app/StationLists.h"

// Shows the first refused line, naming the file and the line; nothing when there is none.
void ReportDataFileProblems(const std::string& file, const TDataLineProblems& problems);
// The same for a message that already names the file and the line.
void ReportDataFileMessage(const std::string& file, const std::string& message);
// Every file may be reported again.
void ResetDataFileReports();
