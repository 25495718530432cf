// The loudspeaker announcements (see Announcements.h).
#include "app/dialogues/Announcements.h"

#include "app/DataFileReports.h"
#include "app/dialogues/ArrivalList.h"

namespace {
const char* const kArrivalFile = "DATA\\Pribitie.dat";
const char* const kSecuringFile = "DATA\\Zacrepit.dat";
} // namespace

void TAnnouncedTrainDialogue::BindControls()
{
    ebTrNumber = Field("ebTrNumber");
    cbStation = List("cbStation");
    cbWay = List("cbWay");
    ClearOnShow = {ebTrNumber, cbStation, cbWay};
    DataFileName = kArrivalFile;
}

void TAnnouncedTrainDialogue::ReadDataFile()
{
    ReadStationsAndTracks(cbStation, StationIds, cbWay, TrackIds, [this](int kind) { return kinds.count(kind) != 0; });
}

TOutcome TfmPribivaet::Confirm(TTalk& talk)
{
    return ConfirmAnnouncedArrival(talk, ebTrNumber->Text(), ChosenId(StationIds, cbStation), ChosenId(TrackIds, cbWay));
}

TOutcome TfmPribivaetPrig::Confirm(TTalk& talk)
{
    return ConfirmOutbound(talk, ebTrNumber->Text(), ChosenId(StationIds, cbStation), ChosenId(TrackIds, cbWay),
                           kSuburbanArrival);
}

TOutcome TfmUvagaTrainOut::Confirm(TTalk& talk)
{
    return ConfirmOutbound(talk, ebTrNumber->Text(), ChosenId(StationIds, cbStation), ChosenId(TrackIds, cbWay),
                           kFreightDeparture);
}

TfmUvagaRospusk::TfmUvagaRospusk() : TDialogueForm("fmUvagaRospusk")
{
    Load("UvagaRospusk.vfm");
    cbWay = List("cbWay");
    ClearOnShow = {cbWay};
    DataFileName = kArrivalFile;
}

void TfmUvagaRospusk::ReadDataFile()
{
    cbWay->Items().Clear();
    TrackIds.Clear();
    for (const TArrivalLine& l : ReadArrivalList(DataFileName))
        if (l.Kind == 2) AddEntry(TrackIds, cbWay, l.Id, l.Text, l.Line);
}

TOutcome TfmUvagaRospusk::Confirm(TTalk& talk)
{
    return ConfirmTrackReport(talk, ChosenId(TrackIds, cbWay), cbWay->Text(), "Не указано путь", 124);
}

void TSecuringTrackDialogue::ReadDataFile()
{
    cbWay->Items().Clear();
    TrackIds.Clear();
    TZacrepitFile file = ReadZacrepit(DataFileName);
    ReportDataFileProblems(DataFileName, file.Problems);
    for (const TZacrepitTrack& t : file.Tracks)
        if (groups.count(t.Group)) AddEntry(TrackIds, cbWay, static_cast<int>(t.Id), t.Name, t.Line);
}

TfmUvagaLokoPritc::TfmUvagaLokoPritc() : TSecuringTrackDialogue("fmUvagaLokoPritc", {3, 7})
{
    Load("UvagaLokoPritc.vfm");
    cbWay = List("cbWay");
    ClearOnShow = {cbWay};
    DataFileName = kSecuringFile;
}

TOutcome TfmUvagaLokoPritc::Confirm(TTalk& talk)
{
    return ConfirmTrackReport(talk, ChosenId(TrackIds, cbWay), cbWay->Text(), "Не указано путь", 122);
}

TfmPredupr::TfmPredupr() : TSecuringTrackDialogue("fmPredupr", {3})
{
    Load("Predupr.vfm");
    cbWay = List("cbWay");
    ebLoko = Field("ebLoko");
    Edit2 = Field("Edit2");
    Edit3 = Field("Edit3");
    DataFileName = kSecuringFile;
}

TOutcome TfmPredupr::Confirm(TTalk& talk) { return ConfirmHelperPermit(talk, ebLoko->Text()); }
