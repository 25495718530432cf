// The electro-mechanic and the wagon inspection's fencing (see ElectroMechanic.h).
#include "app/dialogues/ElectroMechanic.h"

#include "app/DataFileReports.h"
#include "app/dialogues/ArrivalList.h"

TfmElectroMex::TfmElectroMex() : TDialogueForm("fmElectroMex")
{
    Handlers().Add("SelectorsFormShow", TNotifyEvent([this](TObject* s) { SelectorsFormShow(s); }));
    Handlers().Add("cbModeChange", TNotifyEvent([this](TObject* s) { cbModeChange(s); }));
    Load("ElectroMex.vfm");
    cbMode = List("cbMode");
    cbButtons = List("cbButtons");
    cbKurbel = List("cbKurbel");
    cbSection = List("cbSection");
    cbSwitch = List("cbSwitch");
    ClearOnShow = {cbMode, cbButtons, cbKurbel, cbSection, cbSwitch};
    DataFileName = "DATA\\SwitchSt.dat";
}

void TfmElectroMex::ReadDataFile()
{
    cbSection->Items().Clear();
    SectionIds.Clear();
    TSwitchStFile file = ReadSwitchSt(DataFileName);
    ReportDataFileProblems(DataFileName, file.Problems);
    for (const TSwitchStLine& l : file.Lines)
        if (l.Kind == 2 || l.Kind == 3) AddEntry(SectionIds, cbSection, l.Number, l.Name, l.Line);
}

void TfmElectroMex::FillFromPanel(const TPanelLists& panel)
{
    cbButtons->Items().Clear();
    for (const std::string& name : panel.SealedButtons) cbButtons->Items().Add(name);
}

void TfmElectroMex::SelectorsFormShow(TObject* Sender)
{
    FormShow(Sender);
    cbSection->SetVisible(false);
    cbButtons->SetVisible(false);
    cbKurbel->SetVisible(false);
}

void TfmElectroMex::cbModeChange(TObject*)
{
    for (TComboBox* c : {cbButtons, cbKurbel, cbSection, cbSwitch}) c->SetVisible(false);
    switch (cbMode->ItemIndex()) {
    case 0: cbButtons->SetVisible(true); break;
    case 1: cbKurbel->SetVisible(true); break;
    case 2:
    case 3: cbSection->SetVisible(true); break;
    default: break;
    }
}

TOutcome TfmElectroMex::Confirm(TTalk& talk)
{
    std::optional<std::string> button;
    if (cbButtons->ItemIndex() >= 0) button = cbButtons->Text();
    return ConfirmElectroMechanic(talk, cbMode->ItemIndex(), button, ChosenId(SectionIds, cbSection), cbSection->Text());
}

TfmSnyatOgr::TfmSnyatOgr() : TDialogueForm("fmSnyatOgr")
{
    Load("SnyatOgr.vfm");
    cbWay = List("cbWay");
    ClearOnShow = {cbWay};
    DataFileName = "DATA\\Pribitie.dat";
}

void TfmSnyatOgr::ReadDataFile()
{
    cbWay->Items().Clear();
    TrackIds.Clear();
    for (const TArrivalLine& l : ReadArrivalList(DataFileName))
        if (l.Kind == 2 || l.Kind == 3) AddEntry(TrackIds, cbWay, l.Id, l.Text, l.Line);
}

TOutcome TfmSnyatOgr::Confirm(TTalk& talk)
{
    auto key = OwnerInfo();
    return ConfirmFencingRemoval(talk, ChosenId(TrackIds, cbWay), cbWay->Text(), key ? key->Caption : "ПТО");
}
