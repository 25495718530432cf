// The train-radio, shunting-radio and passing-train dialogues: a train sent off, the locomotives
// coupled and uncoupled, help locomotives, a train's return and continuation, and the
// announcement of a passing passenger train. Each window collects its inputs; its confirmation
// is in RadioTalks.h. The shunting dialogues act for the locomotive 1 or 2 that the menu sets.
#pragma once
#include "app/KeyDialogs.h"
#include "app/dialogues/Dialogue.h"
#include "app/dialogues/RadioTalks.h"

// A dialogue with the track list of the arrival file (kinds 2 and 3).
class TTrackListDialogue : public TDialogueForm {
    VELO_CLASS(TTrackListDialogue, TDialogueForm)
public:
    using TDialogueForm::TDialogueForm;
    void ReadDataFile() override;
    TComboBox* cbWay;
    TArray50<int> TrackIds;

protected:
    void BindControls() override;
    // The chosen track's number and its entry text.
    std::optional<int> Track() const { return ChosenId(TrackIds, cbWay); }
    std::string TrackText() const;
    // Takes the arrival file's stations (kind 1) too.
    virtual void AddStation(const std::string&, int, int) {}
};

class TfmOtpravlenie : public TTrackListDialogue {
    VELO_CLASS(TfmOtpravlenie, TTrackListDialogue)
public:
    TfmOtpravlenie();
    void ReadDataFile() override;
    TOutcome Confirm(TTalk& talk) override;
    TEdit* ebTrain;
    TEdit* ebLoko;
    TComboBox* cbTarget;
    TArray10<int> StationIds;

protected:
    void AddStation(const std::string& name, int id, int line) override
    {
        AddEntry(StationIds, cbTarget, id, name, line);
    }
};

// Coupling a train locomotive to a train: no menu opens it, and it orders nothing.
class TfmTrainPritc : public TTrackListDialogue {
    VELO_CLASS(TfmTrainPritc, TTrackListDialogue)
public:
    TfmTrainPritc();
    TOutcome Confirm(TTalk& talk) override { return talk.Close(); }
    TEdit* Edit1;
};

class TfmPassMove : public TDialogueForm {
    VELO_CLASS(TfmPassMove, TDialogueForm)
public:
    TfmPassMove();
    void ReadDataFile() override;
    TOutcome Confirm(TTalk& talk) override;
    TEdit* ebTrNumber;
    TComboBox* cbStation;
    TComboBox* cbWay;
    TArray10<int> StationIds;
    TArray20<int> TrackIds;
};

// The shunting locomotive's coupling and uncoupling; the labels name the diesel for both.
class TShuntingDialogue : public TTrackListDialogue, public IPresetDialog {
    VELO_CLASS(TShuntingDialogue, TTrackListDialogue)
public:
    using TTrackListDialogue::TTrackListDialogue;
    void ApplyPresets(const TDialogPresets& presets) override { Loco = presets.Loco; }
    int Loco = 1;
};

class TfmManevrOtc : public TShuntingDialogue {
    VELO_CLASS(TfmManevrOtc, TShuntingDialogue)
public:
    TfmManevrOtc() : TShuntingDialogue("fmManevrOtc") { Load("ManevrOtc.vfm"); }
    TOutcome Confirm(TTalk& talk) override { return ConfirmUncoupleCut(talk, Loco, Track(), TrackText()); }
};

class TfmManevrPritc : public TShuntingDialogue {
    VELO_CLASS(TfmManevrPritc, TShuntingDialogue)
public:
    TfmManevrPritc() : TShuntingDialogue("fmManevrPritc") { Load("ManevrPritc.vfm"); }
    TOutcome Confirm(TTalk& talk) override { return ConfirmCoupleCut(talk, Loco, Track(), TrackText()); }
};

class TfmLocoToHelp : public TDialogueForm {
    VELO_CLASS(TfmLocoToHelp, TDialogueForm)
public:
    TfmLocoToHelp();
    TOutcome Confirm(TTalk& talk) override { return ConfirmLocoToHelp(talk, ebLoko->Text()); }
    TEdit* ebLoko;
    // The kilometre and the train helped: part of the spoken sentence only.
    TEdit* ebPK;
    TEdit* ebTrain;
};

class TfmPomOtc : public TTrackListDialogue {
    VELO_CLASS(TfmPomOtc, TTrackListDialogue)
public:
    TfmPomOtc();
    TOutcome Confirm(TTalk& talk) override;
    TEdit* ebTrain;
    TEdit* ebLoko;
    // The failed locomotive.
    TEdit* ebBLoko;
};

// Two pages: a train locomotive under a train ("Под поезд"), a reserve locomotive to a track for
// help ("Допомога"); only the active page counts, and it stays active between openings.
class TfmLocoToTrain : public TDialogueForm {
    VELO_CLASS(TfmLocoToTrain, TDialogueForm)
public:
    TfmLocoToTrain();
    void ReadDataFile() override;
    TOutcome Confirm(TTalk& talk) override;
    TPageControl* PageControl1;
    TTabSheet* TabSheet1;
    TTabSheet* TabSheet2;
    TEdit* ebLoko;
    TComboBox* cbWay;
    TEdit* ebLokoH;
    TComboBox* cbWayH;
    TArray20<int> TrackIds;
    TArray20<int> HelpTrackIds;
};

class TfmVozvratPom : public TTrackListDialogue {
    VELO_CLASS(TfmVozvratPom, TTrackListDialogue)
public:
    TfmVozvratPom();
    TOutcome Confirm(TTalk& talk) override { return ConfirmTrainOrder(talk, ebTrNumber->Text(), 423); }
    TEdit* ebTrNumber;
    // The locomotive and the track: part of the spoken sentence only.
    TEdit* Edit1;
};

class TfmContinueMove : public TDialogueForm {
    VELO_CLASS(TfmContinueMove, TDialogueForm)
public:
    TfmContinueMove();
    TOutcome Confirm(TTalk& talk) override { return ConfirmTrainOrder(talk, ebTrNumber->Text(), 150); }
    TEdit* ebTrNumber;
};

// The destinations: the three fixed ones, then "під состав на колію " with each track.
class TfmTrainOtc : public TTrackListDialogue {
    VELO_CLASS(TfmTrainOtc, TTrackListDialogue)
public:
    TfmTrainOtc();
    void ReadDataFile() override;
    TOutcome Confirm(TTalk& talk) override;
    TEdit* ebTrain;
    TEdit* ebLoko;
    TComboBox* cbTarget;
};
