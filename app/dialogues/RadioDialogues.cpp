// The train-radio, shunting-radio and passing-train dialogues (see RadioDialogues.h).
#include "app/dialogues/RadioDialogues.h"

#include "app/dialogues/ArrivalList.h"

namespace {

const char* const kArrivalFile = "DATA\\Pribitie.dat";

std::string ChosenText(TComboBox* box)
{
    int i = box->ItemIndex();
    return i < 0 ? std::string() : box->Items()[i];
}

} // namespace

void TTrackListDialogue::BindControls()
{
    cbWay = List("cbWay");
    ClearOnShow = {cbWay};
    DataFileName = kArrivalFile;
}

void TTrackListDialogue::ReadDataFile()
{
    cbWay->Items().Clear();
    TrackIds.Clear();
    for (const TArrivalLine& l : ReadArrivalList(DataFileName)) {
        if (l.Kind == 1) AddStation(l.Text, l.Id, l.Line);
        else if (l.Kind == 2 || l.Kind == 3) AddEntry(TrackIds, cbWay, l.Id, l.Text, l.Line);
    }
}

std::string TTrackListDialogue::TrackText() const { return ChosenText(cbWay); }

TfmOtpravlenie::TfmOtpravlenie() : TTrackListDialogue("fmOtpravlenie")
{
    Load("Otpravlenie.vfm");
    ebTrain = Field("ebTrain");
    ebLoko = Field("ebLoko");
    cbTarget = List("cbTarget");
    ClearOnShow.insert(ClearOnShow.end(), {ebTrain, ebLoko, cbTarget});
}

void TfmOtpravlenie::ReadDataFile()
{
    cbTarget->Items().Clear();
    StationIds.Clear();
    TTrackListDialogue::ReadDataFile();
}

TOutcome TfmOtpravlenie::Confirm(TTalk& talk)
{
    return ConfirmTrainDeparture(talk, ebTrain->Text(), ebLoko->Text(), Track(), ChosenId(StationIds, cbTarget));
}

TfmTrainPritc::TfmTrainPritc() : TTrackListDialogue("fmTrainPritc")
{
    Load("TrainPritc.vfm");
    Edit1 = Field("Edit1");
}

TfmPassMove::TfmPassMove() : TDialogueForm("fmPassMove")
{
    Load("PassMove.vfm");
    ebTrNumber = Field("ebTrNumber");
    cbStation = List("cbStation");
    cbWay = List("cbWay");
    ClearOnShow = {ebTrNumber, cbStation, cbWay};
    DataFileName = kArrivalFile;
}

void TfmPassMove::ReadDataFile()
{
    ReadStationsAndTracks(cbStation, StationIds, cbWay, TrackIds, [](int kind) { return kind == 6; });
}

TOutcome TfmPassMove::Confirm(TTalk& talk)
{
    return ConfirmPassingTrain(talk, ebTrNumber->Text(), ChosenId(StationIds, cbStation), ChosenId(TrackIds, cbWay));
}

TfmLocoToHelp::TfmLocoToHelp() : TDialogueForm("fmLocoToHelp")
{
    Load("LocoToHelp.vfm");
    ebLoko = Field("ebLoko");
    ebPK = Field("ebPK");
    ebTrain = Field("ebTrain");
    DataFileName = kArrivalFile;
}

TfmPomOtc::TfmPomOtc() : TTrackListDialogue("fmPomOtc")
{
    Load("PomOtc.vfm");
    ebTrain = Field("ebTrain");
    ebLoko = Field("ebLoko");
    ebBLoko = Field("ebBLoko");
    ClearOnShow.insert(ClearOnShow.end(), {ebTrain, ebLoko});
}

TOutcome TfmPomOtc::Confirm(TTalk& talk)
{
    return ConfirmFailedLocoUncoupled(talk, ebTrain->Text(), ebLoko->Text(), ebBLoko->Text(), Track());
}

TfmLocoToTrain::TfmLocoToTrain() : TDialogueForm("fmLocoToTrain")
{
    Load("LocoToTrain.vfm");
    PageControl1 = FindChild<TPageControl>("PageControl1");
    TabSheet1 = FindChild<TTabSheet>("TabSheet1");
    TabSheet2 = FindChild<TTabSheet>("TabSheet2");
    ebLoko = Field("ebLoko");
    cbWay = List("cbWay");
    ebLokoH = Field("ebLokoH");
    cbWayH = List("cbWayH");
    ClearOnShow = {cbWay, cbWayH};
    DataFileName = kArrivalFile;
    PageControl1->SetActivePage(TabSheet1);
}

void TfmLocoToTrain::ReadDataFile()
{
    cbWay->Items().Clear();
    cbWayH->Items().Clear();
    TrackIds.Clear();
    HelpTrackIds.Clear();
    for (const TArrivalLine& l : ReadArrivalList(DataFileName)) {
        if (l.Kind == 2 || l.Kind == 3) AddEntry(TrackIds, cbWay, l.Id, l.Text, l.Line);
        if (l.Kind == 2) AddEntry(HelpTrackIds, cbWayH, l.Id, l.Text, l.Line);
    }
}

TOutcome TfmLocoToTrain::Confirm(TTalk& talk)
{
    if (PageControl1->ActivePage() == TabSheet2)
        return ConfirmLocoToTrack(talk, ebLokoH->Text(), ChosenId(HelpTrackIds, cbWayH), 403);
    return ConfirmLocoToTrack(talk, ebLoko->Text(), ChosenId(TrackIds, cbWay), 162);
}

TfmVozvratPom::TfmVozvratPom() : TTrackListDialogue("fmVozvratPom")
{
    Load("VozvratPom.vfm");
    ebTrNumber = Field("ebTrNumber");
    Edit1 = Field("Edit1");
    ClearOnShow.push_back(ebTrNumber);
}

TfmContinueMove::TfmContinueMove() : TDialogueForm("fmContinueMove")
{
    Load("ContinueMove.vfm");
    ebTrNumber = Field("ebTrNumber");
    ClearOnShow = {ebTrNumber};
}

TfmTrainOtc::TfmTrainOtc() : TTrackListDialogue("fmTrainOtc")
{
    Load("TrainOtc.vfm");
    ebTrain = Field("ebTrain");
    ebLoko = Field("ebLoko");
    cbTarget = List("cbTarget");
    ClearOnShow.insert(ClearOnShow.end(), {ebTrain, ebLoko, cbTarget});
}

void TfmTrainOtc::ReadDataFile()
{
    TTrackListDialogue::ReadDataFile();
    cbTarget->Items().Clear();
    for (const char* fixed : {"в локомотивное депо", "резервом на станцию Тарвина-Восточная",
                              "резервом на станцию Тарвина-Вертолинь"})
        cbTarget->Items().Add(fixed);
    for (int i = 0; i < cbWay->Items().Count(); ++i) cbTarget->Items().Add("під состав на колію " + cbWay->Items()[i]);
}

TOutcome TfmTrainOtc::Confirm(TTalk& talk)
{
    std::optional<int> destination;
    const int i = cbTarget->ItemIndex();
    if (i >= 0 && i < kFixedDestinations) destination = kDepot + i;
    else if (i >= kFixedDestinations && static_cast<unsigned>(i - kFixedDestinations) < TrackIds.Count())
        destination = *TrackIds.Get(static_cast<unsigned>(i - kFixedDestinations));
    return ConfirmTrainLocoUncoupled(talk, ebTrain->Text(), ebLoko->Text(), Track(), destination);
}
