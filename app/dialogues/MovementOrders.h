// The movement order windows: a train locomotive (typed by its number) or the hump shunting
// locomotive (1 or 2, preset by the menu) ordered to a signal, past a signal, to a track or to
// another destination; the page shown is the kind of the order and stays between openings. The
// signal lists are filled by the main window once its panel is collected (PanelLists.h), the track lists from
// "DATA\Pribitie.dat". The confirmation is in MovementTalks.h.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "app/KeyDialogs.h"
#include "app/PanelLists.h"
#include "app/dialogues/Dialogue.h"
#include "app/dialogues/MovementTalks.h"

// Sorts the signals by name in the lists' collation, keeping the panel's order among equal names.
void SortSignalEntries(std::vector<TSignalEntry>& entries);

// A movement order with its two sorted signal lists, the signal Ids parallel to them and the
// track list of the arrival file.
class TSignalOrderForm : public TDialogueForm, public IPanelListsDialog {
    VELO_CLASS(TSignalOrderForm, TDialogueForm)
public:
    explicit TSignalOrderForm(const std::string& name) : TDialogueForm(name) {}
    // Fills both signal lists and their Ids from the panel's signals, sorted by SortSignalEntries.
    void FillFromPanel(const TPanelLists& panel) override;
    void ReadDataFile() override;
    // The page shown and the Id or number chosen on it (none: nothing chosen).
    TOrderPage Page() const;
    std::optional<int> Target() const;

    TPageControl* PageControl1;
    TComboBox* cbToSignal;
    TComboBox* cbOverSignal;
    TComboBox* cbWay;
    // Only fmTrainMove fills it; fmManevrMove shows it empty; fmManevrMoveP has none.
    TComboBox* cbPark;
    TArray200<int> SignalIds;
    TArray20<int> TrackIds;
    TArray20<int> ParkIds;

protected:
    void BindControls() override;
    // Fills cbPark from the arrival file's kind 5.
    bool takesPark = false;
};

class TfmTrainMove : public TSignalOrderForm {
    VELO_CLASS(TfmTrainMove, TSignalOrderForm)
public:
    TfmTrainMove();
    TOutcome Confirm(TTalk& talk) override;
    TEdit* ebLoko;
};

// The hump locomotive's order: the shunting locomotive 1 (diesel) or 2 (electric) set by the menu.
class TShuntingOrderForm : public TSignalOrderForm, public IPresetDialog {
    VELO_CLASS(TShuntingOrderForm, TSignalOrderForm)
public:
    using TSignalOrderForm::TSignalOrderForm;
    void ApplyPresets(const TDialogPresets& presets) override { Loco = presets.Loco; }
    int Loco = 1;
};

class TfmManevrMove : public TShuntingOrderForm {
    VELO_CLASS(TfmManevrMove, TShuntingOrderForm)
public:
    TfmManevrMove();
    TOutcome Confirm(TTalk& talk) override;
    // Names the locomotive on the pages: the diesel for 1, the electric loco for any other.
    void OrderFormShow(TObject* Sender);
    TLabel* lbToSignal;
    TLabel* lbOverSignal;
    TLabel* lbWay;
    TLabel* lbOther;
};

// The shunting movement past prohibiting signals.
class TfmManevrMoveP : public TShuntingOrderForm {
    VELO_CLASS(TfmManevrMoveP, TShuntingOrderForm)
public:
    TfmManevrMoveP();
    TOutcome Confirm(TTalk& talk) override;
};
