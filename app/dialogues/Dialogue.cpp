// The base of the negotiation dialogues (see Dialogue.h).
#include "app/dialogues/Dialogue.h"

#include <memory>

#include "app/PanelLinks.h"
#include "app/StationLists.h"
#include "app/TrainerBus.h"
#include "app/UtilityWindows.h"
#include "app/dialogues/ArrivalList.h"

TDialogueForm::TDialogueForm(const std::string& name) : TKeyDialogForm(name)
{
    Handlers().Add("FormShow", TNotifyEvent([this](TObject* s) { FormShow(s); }));
    Handlers().Add<TCloseEvent>("FormClose", [this](TObject* s, TCloseAction& a) { FormClose(s, a); });
    Handlers().Add("btOKClick", TNotifyEvent([this](TObject* s) { btOKClick(s); }));
    Handlers().Add("btCancelClick", TNotifyEvent([this](TObject* s) { btCancelClick(s); }));
    Handlers().Add("NumberDblClick", TNotifyEvent([this](TObject* s) { NumberDblClick(s); }));
}

void TDialogueForm::Load(const std::string& definition)
{
    LoadDefinition(":/app/dialogues/forms/" + definition);
    fDefinitionCaption = Caption();
    // Escape cancels as "Відміна" does.
    if (auto* cancel = dynamic_cast<TButton*>(FindComponent("btCancel"))) cancel->Cancel = true;
    BindControls();
}

TEdit* TDialogueForm::Field(const std::string& name) { return FindChild<TEdit>(name); }

TComboBox* TDialogueForm::List(const std::string& name) { return FindChild<TComboBox>(name); }

std::optional<TOwnerKeyInfo> TDialogueForm::OwnerInfo() const
{
    if (!OwnerKey) return std::nullopt;
    return TOwnerKeyInfo{OwnerKey->GetCaption(), OwnerKey->GetPodhod()};
}

std::optional<int> TDialogueForm::ChosenId(const TArray<int>& ids, TComboBox* box)
{
    int i = box->ItemIndex();
    if (i < 0 || static_cast<unsigned>(i) >= ids.Count()) return std::nullopt;
    return *ids.Get(static_cast<unsigned>(i));
}

void TDialogueForm::AddEntry(TArray<int>& ids, TComboBox* box, int id, const std::string& text, int line) const
{
    try {
        ids.Add(id);
    } catch (const Exception& e) {
        throw TDataFileError(DataFileName, line, e.Message);
    }
    box->Items().Add(text);
}

void TDialogueForm::ReadStationsAndTracks(TComboBox* stations, TArray<int>& stationIds, TComboBox* tracks,
                                          TArray<int>& trackIds, const std::function<bool(int)>& isTrack) const
{
    stations->Items().Clear();
    tracks->Items().Clear();
    stationIds.Clear();
    trackIds.Clear();
    for (const TArrivalLine& l : ReadArrivalList(DataFileName)) {
        if (l.Kind == 1) AddEntry(stationIds, stations, l.Id, l.Text, l.Line);
        else if (isTrack(l.Kind)) AddEntry(trackIds, tracks, l.Id, l.Text, l.Line);
    }
}

void TDialogueForm::FormShow(TObject*)
{
    for (TControl* c : ClearOnShow) {
        if (auto* box = dynamic_cast<TComboBox*>(c))
            box->SetItemIndex(-1);
        else if (auto* edit = dynamic_cast<TCustomEdit*>(c))
            edit->SetText("");
    }
}

void TDialogueForm::FormClose(TObject*, TCloseAction&)
{
    if (ISwitchboardKey* key = OwnerKey) {
        key->DeActivate();
        key->SetDown(false);
        OwnerKey = nullptr;
    }
    SetCaption(fDefinitionCaption);
}

void TDialogueForm::btOKClick(TObject*)
{
    TTalk talk([](std::string& mes) { return SendTrainerMessage(mes); }, [this] { Close(); });
    if (Confirm(talk) == TOutcome::Close && !talk.Closed()) Close();
}

void TDialogueForm::btCancelClick(TObject*) { Close(); }

void TDialogueForm::NumberDblClick(TObject* Sender)
{
    auto* field = dynamic_cast<TCustomEdit*>(Sender);
    if (!field) return;
    auto keypad = std::make_unique<TfmKeyBoard>();
    keypad->OpenKeyboard(this, field);
}
