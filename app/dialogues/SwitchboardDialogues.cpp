// The switchboard and dispatcher dialogues (see SwitchboardDialogues.h).
#include "app/dialogues/SwitchboardDialogues.h"

#include "app/dialogues/ArrivalList.h"

namespace {
const char* const kArrivalFile = "DATA\\Pribitie.dat";
} // namespace

TfmOzhidau::TfmOzhidau() : TDialogueForm("fmOzhidau")
{
    Load("Ozhidau.vfm");
    ebTrNumber = Field("ebTrNumber");
    ClearOnShow = {ebTrNumber};
}

TOutcome TfmOzhidau::Confirm(TTalk& talk) { return ConfirmWaiting(talk, ebTrNumber->Text(), OwnerInfo()); }

TfmOtkaz::TfmOtkaz() : TDialogueForm("fmOtkaz")
{
    Load("Otkaz.vfm");
    ebTrNumber = Field("ebTrNumber");
    ClearOnShow = {ebTrNumber};
}

TOutcome TfmOtkaz::Confirm(TTalk& talk) { return ConfirmRefusal(talk, ebTrNumber->Text(), OwnerInfo()); }

void TArrivalDialogue::BindControls()
{
    ebTrNumber = Field("ebTrNumber");
    cbStation = List("cbStation");
    cbWay = List("cbWay");
    ClearOnShow = {ebTrNumber, cbStation, cbWay};
    DataFileName = kArrivalFile;
}

void TArrivalDialogue::ReadDataFile()
{
    ReadStationsAndTracks(cbStation, StationIds, cbWay, TrackIds, [](int kind) { return kind == 2 || kind == 3; });
}

TOutcome TArrivalDialogue::Confirm(TTalk& talk)
{
    return ConfirmArrival(talk, ebTrNumber->Text(), ChosenId(StationIds, cbStation), ChosenId(TrackIds, cbWay),
                          category);
}

TfmZaprosDNC::TfmZaprosDNC() : TDialogueForm("fmZaprosDNC")
{
    Load("ZaprosDNC.vfm");
    ebTrNumber = Field("ebTrNumber"); }

TOutcome TfmZaprosDNC::Confirm(TTalk& talk) { return ConfirmDispatcherRequest(talk, ebTrNumber->Text()); }

TfmZaprosDSP::TfmZaprosDSP() : TDialogueForm("fmZaprosDSP")
{
    Load("ZaprosDSP.vfm");
    ebTrNumber = Field("ebTrNumber");
    ClearOnShow = {ebTrNumber};
    DataFileName = kArrivalFile;
}

TOutcome TfmZaprosDSP::Confirm(TTalk& talk) { return ConfirmTrainReport(talk, ebTrNumber->Text(), RegCode); }

void TDepartureDialogue::BindControls()
{
    ebTrNumber = Field("ebTrNumber");
    emTime = FindChild<TMaskEdit>("emTime");
    ClearOnShow = {ebTrNumber, emTime};
    DataFileName = kArrivalFile;
}

TOutcome TfmTrainOut::Confirm(TTalk& talk)
{
    return ConfirmDeparture(talk, ebTrNumber->Text(), emTime->Text(), Direction, Direction == 2 ? 145 : 142);
}

TfmPassOut::TfmPassOut() : TDepartureDialogue("fmPassOut")
{
    Load("PassOut.vfm");
    Label3 = FindChild<TLabel>("Label3");
}

void TfmPassOut::ApplyPresets(const TDialogPresets& presets)
{
    Direction = presets.Direction;
    RegCode = presets.RegCode;
    Label3->SetCaption(presets.Label3);
}

TOutcome TfmPassOut::Confirm(TTalk& talk)
{
    return ConfirmDeparture(talk, ebTrNumber->Text(), emTime->Text(), Direction, RegCode);
}

TfmDNCVozvrat::TfmDNCVozvrat() : TDialogueForm("fmDNCVozvrat")
{
    Load("DNCVozvrat.vfm");
    ebTrNumber = Field("ebTrNumber"); }

TOutcome TfmDNCVozvrat::Confirm(TTalk& talk) { return ConfirmTrainReport(talk, ebTrNumber->Text(), 424); }

TfmDNCLoko::TfmDNCLoko() : TDialogueForm("fmDNCLoko")
{
    Load("DNCLoko.vfm");
    PageControl1 = FindChild<TPageControl>("PageControl1");
    TabSheet1 = FindChild<TTabSheet>("TabSheet1");
    TabSheet2 = FindChild<TTabSheet>("TabSheet2");
    ebTrNumber = Field("ebTrNumber");
    ebLokoNumber = Field("ebLokoNumber");
    ClearOnShow = {ebTrNumber, ebLokoNumber};
    PageControl1->SetActivePage(TabSheet2);
}

TOutcome TfmDNCLoko::Confirm(TTalk& talk)
{
    if (PageControl1->ActivePage() == TabSheet1) return ConfirmTrainReport(talk, ebTrNumber->Text(), 105);
    return ConfirmLocoWork(talk, ebLokoNumber->Text());
}

TfmDNCOnHelp::TfmDNCOnHelp() : TDialogueForm("fmDNCOnHelp")
{
    Load("DNCOnHelp.vfm");
    ebTrNumber = Field("ebTrNumber");
    Edit1 = Field("Edit1");
}

TOutcome TfmDNCOnHelp::Confirm(TTalk& talk) { return ConfirmTrainReport(talk, ebTrNumber->Text(), 401); }
