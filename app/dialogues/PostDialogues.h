// The orders to the signalmen of posts 1, 3 and 7 (a switch's state, a section's state, turn,
// lock and unlock a switch, take out a crank) and the brake-shoe orders of posts 3 and 7 (secure
// a train, remove the shoes). The opener presets the post; the confirmations are in PostTalks.h.
#pragma once
#include <vector>

#include "app/KeyDialogs.h"
#include "app/dialogues/Dialogue.h"
#include "app/dialogues/PostTalks.h"

// A post order listing the switches (kind 1) or sections (kind 2) of "DATA\SwitchSt.dat" of the
// preset post. Each shown entry keeps the record it shows, so a name used by two posts reports
// the chosen post's number.
class TPostDialogue : public TDialogueForm, public IPresetDialog {
    VELO_CLASS(TPostDialogue, TDialogueForm)
public:
    TPostDialogue(const std::string& name, int kind) : TDialogueForm(name), recordKind(kind) {}
    void ReadDataFile() override;
    void ApplyPresets(const TDialogPresets& presets) override { SetPost(presets.Post); }
    // Lists the records of the post in file order; the signalman's object follows the post.
    void SetPost(int post);
    // The chosen record; none when nothing is chosen.
    std::optional<TSwitchStLine> Chosen() const;
    // The chosen entry's text; none when nothing is chosen.
    std::optional<std::string> ChosenText() const;
    // cbSwitch or cbSection.
    TComboBox* Box = nullptr;
    TArray200<TSwitchStLine> Records;
    int Executor = 3;

protected:
    void BindList(const char* name);

private:
    int recordKind;
    std::vector<unsigned> shown;  // the record of each list entry
};

class TfmSwitchState : public TPostDialogue {
    VELO_CLASS(TfmSwitchState, TPostDialogue)
public:
    TfmSwitchState();
    TOutcome Confirm(TTalk& talk) override { return ConfirmSwitchOrder(talk, Executor, ChosenText(), 400); }
};

class TfmSnyatZakl : public TPostDialogue {
    VELO_CLASS(TfmSnyatZakl, TPostDialogue)
public:
    TfmSnyatZakl();
    TOutcome Confirm(TTalk& talk) override { return ConfirmSwitchOrder(talk, Executor, ChosenText(), 403); }
};

class TfmZamkSwitch : public TPostDialogue {
    VELO_CLASS(TfmZamkSwitch, TPostDialogue)
public:
    TfmZamkSwitch();
    TOutcome Confirm(TTalk& talk) override { return ConfirmSwitchOrder(talk, Executor, ChosenText(), 405); }
};

class TfmSwitchTurn : public TPostDialogue {
    VELO_CLASS(TfmSwitchTurn, TPostDialogue)
public:
    TfmSwitchTurn();
    TOutcome Confirm(TTalk& talk) override;
    // "+" (0) or "-" (1).
    TComboBox* cbState;
};

class TfmSectionState : public TPostDialogue {
    VELO_CLASS(TfmSectionState, TPostDialogue)
public:
    TfmSectionState();
    TOutcome Confirm(TTalk& talk) override { return ConfirmSectionState(talk, Executor, Chosen()); }
};

// The crank order: the opener sets the post shown and the signalman's object.
class TfmKurbel : public TDialogueForm, public IPresetDialog {
    VELO_CLASS(TfmKurbel, TDialogueForm)
public:
    TfmKurbel();
    void ApplyPresets(const TDialogPresets& presets) override;
    TOutcome Confirm(TTalk& talk) override { return ConfirmCrank(talk, Executor, Edit1->Text()); }
    TLabel* lbPost;
    TEdit* Edit1;
    int Executor = 3;
};

// The brake-shoe orders: the track lists of the post 3 (cbWayS) and post 7 (cbWayO) groups of
// "DATA\Zacrepit.dat", one of them shown, and the shoe counts of its norms.
class TShoesDialogue : public TDialogueForm, public IPresetDialog {
    VELO_CLASS(TShoesDialogue, TDialogueForm)
public:
    explicit TShoesDialogue(const std::string& name) : TDialogueForm(name) {}
    void ReadDataFile() override;
    void ApplyPresets(const TDialogPresets& presets) override { SetPost(presets.Post); }
    // Post 7 shows the post 7 group; any other post the post 3 group.
    void SetPost(int post);
    // The id of the track chosen or typed exactly as listed; none otherwise.
    std::optional<int> ChosenTrack() const;
    TLabel* lbPost;
    TComboBox* cbWayS;
    TComboBox* cbWayO;
    TComboBox* cbBashm;
    TArray20<int> IdsS;
    TArray20<int> IdsO;
    TZacrepitNorms Norms;
    // The shown group: cbWayS with IdsS or cbWayO with IdsO.
    TComboBox* Way = nullptr;
    TArray20<int>* WayIds = nullptr;

protected:
    // The train number, emptied on showing too (securing only).
    TEdit* NumberField = nullptr;
    void BindControls() override;
};

class TfmZacrepit : public TShoesDialogue {
    VELO_CLASS(TfmZacrepit, TShoesDialogue)
public:
    TfmZacrepit();
    TOutcome Confirm(TTalk& talk) override;
    TEdit* ebTrNumber;
};

class TfmUbrat : public TShoesDialogue {
    VELO_CLASS(TfmUbrat, TShoesDialogue)
public:
    TfmUbrat() : TShoesDialogue("fmUbrat") { Load("Ubrat.vfm"); }
    TOutcome Confirm(TTalk& talk) override;
};
