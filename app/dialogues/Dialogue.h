// The base of the negotiation dialogues: a window built from its definition, opened by a
// switchboard key's pop-up item, a menu item or the answer buttons of a call; "ОК" runs the
// dialogue's confirmation on the bus, "Відміна" and the close box just close it; closing
// releases the key that opened it and gives the window its own caption back.
//
// Writing a dialogue: derive, load its definition in the constructor of the final class (the
// definition names that class), take the controls it reads, say which fields are emptied on
// showing, and write Confirm as a call of a confirmation function with the window's inputs:
//   class TfmOtkaz : public TDialogueForm {
//       VELO_CLASS(TfmOtkaz, TDialogueForm)
//   public:
//       TfmOtkaz() : TDialogueForm("fmOtkaz") { Load("Otkaz.vfm"); ebTrNumber = Field("ebTrNumber"); }
//       TOutcome Confirm(TTalk& talk) override { return ConfirmRefusal(talk, ebTrNumber->Text(), OwnerInfo()); }
//       TEdit* ebTrNumber;
//   };
// A base shared by several dialogues takes its controls in BindControls, which Load calls.
// Windows are made in two phases: the constructor builds the window, Init() then reads its data
// file, so a dialogue's own ReadDataFile runs.
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/TrainerForms.h"
#include "app/dialogues/Confirmation.h"
#include "models/base/Containers.h"

class TDialogueForm : public TKeyDialogForm {
    VELO_CLASS(TDialogueForm, TKeyDialogForm)
public:
    explicit TDialogueForm(const std::string& name);

    // The second phase of construction: reads the data file.
    void Init() override { ReadDataFile(); }
    // Fills the lists from DataFileName; the default reads nothing.
    virtual void ReadDataFile() {}
    // The dialogue's confirmation on a bus; a refusal raises its text.
    virtual TOutcome Confirm(TTalk& talk) = 0;

    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void btOKClick(TObject* Sender);
    void btCancelClick(TObject* Sender);
    // Opens a new on-screen keypad on the field.
    void NumberDblClick(TObject* Sender);

    std::string DataFileName;
    // The caption of the window definition, restored whenever the window closes.
    const std::string& DefinitionCaption() const { return fDefinitionCaption; }

protected:
    // Builds the window from ":/app/dialogues/forms/" + definition, then BindControls.
    void Load(const std::string& definition);
    virtual void BindControls() {}
    TEdit* Field(const std::string& name);
    TComboBox* List(const std::string& name);
    // What the owner key tells the confirmation; none when opened from a menu.
    std::optional<TOwnerKeyInfo> OwnerInfo() const;
    // The id behind the chosen entry of box; none when nothing is chosen.
    static std::optional<int> ChosenId(const TArray<int>& ids, TComboBox* box);
    // Appends an id and its entry text, taken from line of DataFileName (the id first: an
    // overflow leaves no entry without id, and raises a TDataFileError naming the file and line).
    void AddEntry(TArray<int>& ids, TComboBox* box, int id, const std::string& text, int line) const;
    // Refills the station list from the kind 1 lines of the arrival list (DataFileName) and the
    // track list from the lines whose kind isTrack accepts, each with its Ids.
    void ReadStationsAndTracks(TComboBox* stations, TArray<int>& stationIds, TComboBox* tracks, TArray<int>& trackIds,
                               const std::function<bool(int)>& isTrack) const;

    // Emptied (fields) or unselected (lists) whenever the window is shown.
    std::vector<TControl*> ClearOnShow;

private:
    std::string fDefinitionCaption;
};
