// The signalman post orders and the brake-shoe orders (see PostDialogues.h).
#include "app/dialogues/PostDialogues.h"

#include "app/DataFileReports.h"
#include "platform/core/CFormat.h"

namespace {
const char* const kSwitchFile = "DATA\\SwitchSt.dat";
const char* const kSecuringFile = "DATA\\Zacrepit.dat";

// The entry chosen, or typed exactly as one is listed; -1 when none.
int ChosenIndex(TComboBox* box)
{
    int i = box->ItemIndex();
    if (i >= 0) return i;
    std::string text = box->Text();
    return text.empty() ? -1 : box->Items().IndexOf(text);
}
} // namespace

void TPostDialogue::BindList(const char* name)
{
    Box = List(name);
    DataFileName = kSwitchFile;
}

void TPostDialogue::ReadDataFile()
{
    Records.Clear();
    Box->Items().Clear();
    shown.clear();
    TSwitchStFile file = ReadSwitchSt(DataFileName);
    ReportDataFileProblems(DataFileName, file.Problems);
    for (const TSwitchStLine& l : file.Lines) {
        if (l.Kind != recordKind) continue;
        try {
            Records.Add(l);
        } catch (const Exception& e) {
            throw TDataFileError(DataFileName, l.Line, e.Message);
        }
    }
}

void TPostDialogue::SetPost(int post)
{
    Box->Items().Clear();
    shown.clear();
    for (unsigned i = 0; i < Records.Count(); ++i) {
        const TSwitchStLine& r = *Records.Get(i);
        if (r.Post != post) continue;
        shown.push_back(i);
        Box->Items().Add(recordKind == 1 ? Format("%d", r.Number) : r.Name);
    }
    Executor = PostExecutor(post);
}

std::optional<TSwitchStLine> TPostDialogue::Chosen() const
{
    int i = Box->ItemIndex();
    if (i < 0 || static_cast<size_t>(i) >= shown.size()) return std::nullopt;
    return *Records.Get(shown[static_cast<size_t>(i)]);
}

std::optional<std::string> TPostDialogue::ChosenText() const
{
    if (Box->ItemIndex() < 0) return std::nullopt;
    return Box->Text();
}

TfmSwitchState::TfmSwitchState() : TPostDialogue("fmSwitchState", 1)
{
    Load("SwitchState.vfm");
    BindList("cbSwitch");
    ClearOnShow = {Box};
}

TfmSnyatZakl::TfmSnyatZakl() : TPostDialogue("fmSnyatZakl", 1)
{
    Load("SnyatZakl.vfm");
    BindList("cbSwitch");
    ClearOnShow = {Box};
}

TfmZamkSwitch::TfmZamkSwitch() : TPostDialogue("fmZamkSwitch", 1)
{
    Load("ZamkSwitch.vfm");
    BindList("cbSwitch");
    ClearOnShow = {Box};
}

TfmSwitchTurn::TfmSwitchTurn() : TPostDialogue("fmSwitchTurn", 1)
{
    Load("SwitchTurn.vfm");
    BindList("cbSwitch");
    cbState = List("cbState");
    ClearOnShow = {Box, cbState};
}

TOutcome TfmSwitchTurn::Confirm(TTalk& talk)
{
    int p = cbState->ItemIndex();
    return ConfirmSwitchTurn(talk, Executor, ChosenText(), p < 0 ? std::nullopt : std::optional<int>(p));
}

TfmSectionState::TfmSectionState() : TPostDialogue("fmSectionState", 2)
{
    Load("SectionState.vfm");
    BindList("cbSection");
    ClearOnShow = {Box};
}

TfmKurbel::TfmKurbel() : TDialogueForm("fmKurbel")
{
    Load("Kurbel.vfm");
    lbPost = FindChild<TLabel>("lbPost");
    Edit1 = Field("Edit1");
    DataFileName = kSecuringFile;
}

void TfmKurbel::ApplyPresets(const TDialogPresets& presets)
{
    lbPost->SetCaption(presets.PostLabel);
    Executor = presets.Executor;
}

void TShoesDialogue::BindControls()
{
    lbPost = FindChild<TLabel>("lbPost");
    cbWayS = List("cbWayS");
    cbWayO = List("cbWayO");
    cbBashm = List("cbBashm");
    DataFileName = kSecuringFile;
    SetPost(3);
}

void TShoesDialogue::ReadDataFile()
{
    cbWayS->Items().Clear();
    cbWayO->Items().Clear();
    cbBashm->Items().Clear();
    IdsS.Clear();
    IdsO.Clear();
    TZacrepitFile file = ReadZacrepit(DataFileName);
    ReportDataFileProblems(DataFileName, file.Problems);
    for (const TZacrepitTrack& t : file.Tracks) {
        if (t.Group == 7) AddEntry(IdsO, cbWayO, static_cast<int>(t.Id), t.Name, t.Line);
        else AddEntry(IdsS, cbWayS, static_cast<int>(t.Id), t.Name, t.Line);
    }
    for (unsigned s : ShoeRange(file.Norms)) cbBashm->Items().Add(Format("%u", s));
    Norms = file.Norms;
}

void TShoesDialogue::SetPost(int post)
{
    const bool seven = post == 7;
    lbPost->SetCaption(seven ? "7" : "3");
    cbWayS->SetVisible(!seven);
    cbWayO->SetVisible(seven);
    Way = seven ? cbWayO : cbWayS;
    WayIds = seven ? &IdsO : &IdsS;
    ClearOnShow = {Way, cbBashm};
    if (NumberField) ClearOnShow.push_back(NumberField);
}

std::optional<int> TShoesDialogue::ChosenTrack() const
{
    int i = ChosenIndex(Way);
    if (i < 0 || static_cast<unsigned>(i) >= WayIds->Count()) return std::nullopt;
    return *WayIds->Get(static_cast<unsigned>(i));
}

TfmZacrepit::TfmZacrepit() : TShoesDialogue("fmZacrepit")
{
    Load("Zacrepit.vfm");
    NumberField = ebTrNumber = Field("ebTrNumber");
    SetPost(3);
}

TOutcome TfmZacrepit::Confirm(TTalk& talk)
{
    return ConfirmSecuring(talk, ebTrNumber->Text(), ChosenTrack(), cbBashm->Text(), Norms);
}

TOutcome TfmUbrat::Confirm(TTalk& talk)
{
    int s = ChosenIndex(cbBashm);
    std::optional<std::string> shoes;
    if (s >= 0) shoes = cbBashm->Items()[static_cast<unsigned>(s)];
    return ConfirmShoesRemoval(talk, ChosenTrack(), Way->Text(), shoes);
}
