// The order to the electro-mechanic (seal a button again, a section falsely occupied or clear)
// and the request to the wagon inspection point to remove the fencing from a track. Their
// confirmations are in PostTalks.h.
#pragma once
#include "app/PanelLists.h"
#include "app/dialogues/Dialogue.h"
#include "app/dialogues/PostTalks.h"

// The request (cbMode) and one selector for it at the same place: the sealed buttons (filled by
// the main window at its first activation), the cranks (no entries) or the sections of
// "DATA\SwitchSt.dat" (kinds 2 and 3); cbSwitch is never shown.
class TfmElectroMex : public TDialogueForm, public IPanelListsDialog {
    VELO_CLASS(TfmElectroMex, TDialogueForm)
public:
    TfmElectroMex();
    // The sealed buttons of the panel into cbButtons.
    void FillFromPanel(const TPanelLists& panel) override;
    // Reads the sections only: the buttons are the main window's.
    void ReadDataFile() override;
    TOutcome Confirm(TTalk& talk) override;
    void SelectorsFormShow(TObject* Sender);
    void cbModeChange(TObject* Sender);
    TComboBox* cbMode;
    TComboBox* cbButtons;
    TComboBox* cbKurbel;
    TComboBox* cbSection;
    TComboBox* cbSwitch;
    TArray100<int> SectionIds;
};

class TfmSnyatOgr : public TDialogueForm {
    VELO_CLASS(TfmSnyatOgr, TDialogueForm)
public:
    TfmSnyatOgr();
    void ReadDataFile() override;
    TOutcome Confirm(TTalk& talk) override;
    TComboBox* cbWay;
    TArray20<int> TrackIds;
};
