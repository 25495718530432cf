// The switchboard and dispatcher dialogues: waiting for and refusing a train to a neighbour
// station, announcing a train to the wagon inspection point, asking the dispatcher or the
// neighbour whether a train may leave, reporting a departure with its time, and the dispatcher's
// reports (the helper back, the plan for a locomotive, a train stopped on the line). Each window
// collects its inputs; its confirmation is in SwitchboardTalks.h.
#pragma once
#include "app/KeyDialogs.h"
#include "app/dialogues/Dialogue.h"
#include "app/dialogues/SwitchboardTalks.h"

class TfmOzhidau : public TDialogueForm {
    VELO_CLASS(TfmOzhidau, TDialogueForm)
public:
    TfmOzhidau();
    TOutcome Confirm(TTalk& talk) override;
    TEdit* ebTrNumber;
};

class TfmOtkaz : public TDialogueForm {
    VELO_CLASS(TfmOtkaz, TDialogueForm)
public:
    TfmOtkaz();
    TOutcome Confirm(TTalk& talk) override;
    TEdit* ebTrNumber;
};

// A train announced to the wagon inspection point, from a station onto a track of the arrival
// list; the train must be of the window's category.
class TArrivalDialogue : public TDialogueForm {
    VELO_CLASS(TArrivalDialogue, TDialogueForm)
public:
    TArrivalDialogue(const std::string& name, int kind) : TDialogueForm(name), category(kind) {}
    void ReadDataFile() override;
    TOutcome Confirm(TTalk& talk) override;
    TEdit* ebTrNumber;
    TComboBox* cbStation;
    TComboBox* cbWay;
    TArray10<int> StationIds;
    TArray20<int> TrackIds;

protected:
    void BindControls() override;

private:
    int category;
};

class TfmPribivaetR : public TArrivalDialogue {
    VELO_CLASS(TfmPribivaetR, TArrivalDialogue)
public:
    TfmPribivaetR() : TArrivalDialogue("fmPribivaetR", 1) { Load("PribivaetR.vfm"); }
};

class TfmPribivaetT : public TArrivalDialogue {
    VELO_CLASS(TfmPribivaetT, TArrivalDialogue)
public:
    TfmPribivaetT() : TArrivalDialogue("fmPribivaetT", 2) { Load("PribivaetT.vfm"); }
};

class TfmZaprosDNC : public TDialogueForm {
    VELO_CLASS(TfmZaprosDNC, TDialogueForm)
public:
    TfmZaprosDNC();
    TOutcome Confirm(TTalk& talk) override;
    TEdit* ebTrNumber;
};

class TfmZaprosDSP : public TDialogueForm, public IPresetDialog {
    VELO_CLASS(TfmZaprosDSP, TDialogueForm)
public:
    TfmZaprosDSP();
    void ApplyPresets(const TDialogPresets& presets) override { RegCode = presets.RegCode; }
    TOutcome Confirm(TTalk& talk) override;
    TEdit* ebTrNumber;
    // 141 towards the first neighbour, 144 towards the second.
    int RegCode = 141;
};

// A departure reported with its time; TfmTrainOut and TfmPassOut.
class TDepartureDialogue : public TDialogueForm {
    VELO_CLASS(TDepartureDialogue, TDialogueForm)
public:
    explicit TDepartureDialogue(const std::string& name) : TDialogueForm(name) {}
    TEdit* ebTrNumber;
    TMaskEdit* emTime;
    // 1 the first neighbour, 2 the second.
    int Direction = 1;

protected:
    void BindControls() override;
};

class TfmTrainOut : public TDepartureDialogue, public IPresetDialog {
    VELO_CLASS(TfmTrainOut, TDepartureDialogue)
public:
    TfmTrainOut() : TDepartureDialogue("fmTrainOut") { Load("TrainOut.vfm"); }
    void ApplyPresets(const TDialogPresets& presets) override { Direction = presets.Direction; }
    TOutcome Confirm(TTalk& talk) override;
};

class TfmPassOut : public TDepartureDialogue, public IPresetDialog {
    VELO_CLASS(TfmPassOut, TDepartureDialogue)
public:
    TfmPassOut();
    void ApplyPresets(const TDialogPresets& presets) override;
    TOutcome Confirm(TTalk& talk) override;
    TLabel* Label3;
    // 302 a passenger train, 304 a suburban one.
    int RegCode = 302;
};

class TfmDNCVozvrat : public TDialogueForm {
    VELO_CLASS(TfmDNCVozvrat, TDialogueForm)
public:
    TfmDNCVozvrat();
    TOutcome Confirm(TTalk& talk) override;
    TEdit* ebTrNumber;
};

// Two pages: the train's locomotive that is uncoupled, or a locomotive given work; only the
// active page counts, and it stays active between openings.
class TfmDNCLoko : public TDialogueForm {
    VELO_CLASS(TfmDNCLoko, TDialogueForm)
public:
    TfmDNCLoko();
    TOutcome Confirm(TTalk& talk) override;
    TPageControl* PageControl1;
    TTabSheet* TabSheet1;
    TTabSheet* TabSheet2;
    TEdit* ebTrNumber;
    TEdit* ebLokoNumber;
};

class TfmDNCOnHelp : public TDialogueForm {
    VELO_CLASS(TfmDNCOnHelp, TDialogueForm)
public:
    TfmDNCOnHelp();
    TOutcome Confirm(TTalk& talk) override;
    TEdit* ebTrNumber;
    // The kilometre: part of the spoken sentence only.
    TEdit* Edit1;
};
