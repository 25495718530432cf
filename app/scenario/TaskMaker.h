// The scenario editor fmTaskMaker: an instructor composes a scenario of trains arriving on the
// two approach stretches and faults of the interlocking, and opens and saves scenario files.
// Created once at program start, shown modally by the start dialog's "Підхід...". The page logic
// is TScenarioEditorModel; this window moves its fields in and out and shows its lists.
#pragma once
#include <functional>
#include <string>

#include "app/scenario/ScenarioEditorModel.h"
#include "platform/qt/Forms.h"

class TfmTaskMaker : public TForm {
    VELO_CLASS(TfmTaskMaker, TForm)
public:
    TfmTaskMaker();
    ~TfmTaskMaker() override;

    // ---- the scenario ----
    // A new scenario, then (for a non-empty name) the file read into it.
    void OpenFile(const std::string& name);
    // Reads name into the editor; the name becomes the scenario's only when it could be read.
    // Of a file with more than 299 events the first 299 are listed, the rest kept unlisted, and
    // the overflow is shown; a file read as UTF-8 is said to be saved in code page 1251.
    bool LoadScenario(const std::string& name);
    // True when the scenario was written (with no name: as SaveScenarioAs).
    bool SaveScenario();
    bool SaveScenarioAs();
    void NewScenario();
    std::string& ScenarioFileName() { return Model.Doc.ScenarioFileName; }
    bool Modified() const { return Model.Doc.Modified; }

    // Called when the window has closed (the start dialog rebuilds its file list).
    std::function<void()> OnClosed;

    // ---- handlers ----
    void N5Click(TObject* Sender);
    void N2Click(TObject* Sender);
    void N3Click(TObject* Sender);
    void N4Click(TObject* Sender);
    void N6Click(TObject* Sender);
    void btAdd1Click(TObject* Sender);
    void btRemove1Click(TObject* Sender);
    void btClear1Click(TObject* Sender);
    void btAdd2Click(TObject* Sender);
    void btRemove2ClickClick(TObject* Sender);
    void btClear2ClickClick(TObject* Sender);
    void btAdd3Click(TObject* Sender);
    void btRemove3Click(TObject* Sender);
    void btClear3Click(TObject* Sender);
    void cbTypeTrain1Change(TObject* Sender);
    void cbTypeTrain2Change(TObject* Sender);
    void cbModeChange(TObject* Sender);
    // Sender: the number or locomotive combo about to drop down.
    void lbTrainNumberDropDown(TObject* Sender);
    void lbTrainLokoDropDown(TObject* Sender);
    // Sender: the number combo the focus left.
    void lbTrainNumber1Exit(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void FormClose(TObject* Sender, TCloseAction& Action);

    TScenarioEditorModel Model;

    TPageControl* PageControl1;
    TComboBox* lbTrainNumber1;
    TMaskEdit* MaskEdit1;
    TComboBox* cbTypeTrain1;
    TPanel* Panel2;
    TComboBox* lbTrainLoko1;
    TEdit* ebIndex1;
    TEdit* ebNumVag1;
    TCheckBox* chLoad1;
    TPanel* Panel1;
    TComboBox* cbAddLoko1;
    TPanel* Panel5;
    TCheckBox* chHelp;
    TListBox* ListBox1;
    TComboBox* lbTrainNumber2;
    TMaskEdit* MaskEdit2;
    TComboBox* cbTypeTrain2;
    TPanel* Panel3;
    TComboBox* lbTrainLoko2;
    TEdit* ebIndex2;
    TEdit* ebNumVag2;
    TCheckBox* chLoad2;
    TPanel* Panel4;
    TComboBox* cbAddLoko2;
    TListBox* ListBox2;
    TMaskEdit* MaskEdit3;
    TComboBox* cbMode;
    TComboBox* cbSwitch;
    TComboBox* cbSection;
    TListBox* ListBox3;
    TOpenDialog* OpenDialog1;
    TSaveDialog* SaveDialog1;

private:
    TTrainFields ReadFields(int page) const;
    void WriteFields(int page, const TTrainFields& f);
    void FillList(int page);
    void FillLists();
    void AddTrain(int page);
    void RemoveEvent(int page);
    void ClearPage(int page);
    // Asks whether to save unsaved edits; false when the user cancelled or the save failed.
    bool SaveChangesFirst();
    void WatchCombo(TComboBox* c, bool number);
};

extern TfmTaskMaker* fmTaskMaker;
