// The movement order windows (see MovementOrders.h).
#include "app/dialogues/MovementOrders.h"

#include <algorithm>

#include "app/dialogues/ArrivalList.h"

namespace {
const char* const kArrivalFile = "DATA\\Pribitie.dat";
} // namespace

void SortSignalEntries(std::vector<TSignalEntry>& entries)
{
    std::stable_sort(entries.begin(), entries.end(),
                     [](const TSignalEntry& a, const TSignalEntry& b) { return CompareListTexts(a.first, b.first) < 0; });
}

void TSignalOrderForm::BindControls()
{
    PageControl1 = FindChild<TPageControl>("PageControl1");
    cbToSignal = List("cbToSignal");
    cbOverSignal = List("cbOverSignal");
    cbWay = List("cbWay");
    cbPark = dynamic_cast<TComboBox*>(FindComponent("cbPark"));
    ClearOnShow = {cbToSignal, cbOverSignal, cbWay};
    if (cbPark) ClearOnShow.push_back(cbPark);
    DataFileName = kArrivalFile;
}

void TSignalOrderForm::FillFromPanel(const TPanelLists& panel)
{
    std::vector<TSignalEntry> sorted = panel.Signals;
    SortSignalEntries(sorted);
    cbToSignal->Items().Clear();
    cbOverSignal->Items().Clear();
    SignalIds.Clear();
    // A sorted list inserts an equal name after the others, so the entries keep this order.
    for (const TSignalEntry& s : sorted) {
        SignalIds.Add(s.second);
        cbToSignal->Items().Add(s.first);
        cbOverSignal->Items().Add(s.first);
    }
}

void TSignalOrderForm::ReadDataFile()
{
    cbWay->Items().Clear();
    TrackIds.Clear();
    if (cbPark) cbPark->Items().Clear();
    ParkIds.Clear();
    for (const TArrivalLine& l : ReadArrivalList(DataFileName)) {
        if (l.Kind >= 2 && l.Kind <= 4) AddEntry(TrackIds, cbWay, l.Id, l.Text, l.Line);
        else if (l.Kind == 5 && takesPark) AddEntry(ParkIds, cbPark, l.Id, l.Text, l.Line);
    }
}

TOrderPage TSignalOrderForm::Page() const
{
    // A page is the page of the list it carries.
    TTabSheet* page = PageControl1->ActivePage();
    if (page && cbToSignal->Parent() == page) return TOrderPage::ToSignal;
    if (page && cbOverSignal->Parent() == page) return TOrderPage::OverSignal;
    if (page && cbWay->Parent() == page) return TOrderPage::Way;
    return TOrderPage::Other;
}

std::optional<int> TSignalOrderForm::Target() const
{
    switch (Page()) {
    case TOrderPage::ToSignal: return ChosenId(SignalIds, cbToSignal);
    case TOrderPage::OverSignal: return ChosenId(SignalIds, cbOverSignal);
    case TOrderPage::Way: return ChosenId(TrackIds, cbWay);
    case TOrderPage::Other: return cbPark ? ChosenId(ParkIds, cbPark) : std::nullopt;
    }
    return std::nullopt;
}

TfmTrainMove::TfmTrainMove() : TSignalOrderForm("fmTrainMove")
{
    Load("TrainMove.vfm");
    ebLoko = Field("ebLoko");
    takesPark = true;
    ClearOnShow.push_back(ebLoko);
}

TOutcome TfmTrainMove::Confirm(TTalk& talk) { return ConfirmTrainMoveOrder(talk, ebLoko->Text(), Page(), Target()); }

TfmManevrMove::TfmManevrMove() : TShuntingOrderForm("fmManevrMove")
{
    Handlers().Add("OrderFormShow", TNotifyEvent([this](TObject* s) { OrderFormShow(s); }));
    Load("ManevrMove.vfm");
    lbToSignal = FindChild<TLabel>("lbToSignal");
    lbOverSignal = FindChild<TLabel>("lbOverSignal");
    lbWay = FindChild<TLabel>("lbWay");
    lbOther = FindChild<TLabel>("lbOther");
}

void TfmManevrMove::OrderFormShow(TObject* Sender)
{
    FormShow(Sender);
    const std::string loco = Loco == 1 ? "тепловоз" : "электровоз";
    lbToSignal->SetCaption("Маневровий " + loco + "! Следуйте до сигнала");
    lbOverSignal->SetCaption("Маневровый " + loco + "! Следуйте за сигнал");
    lbWay->SetCaption("Маневровый " + loco + "!");
    lbOther->SetCaption("Маневровий " + loco + "! Следуйте");
}

TOutcome TfmManevrMove::Confirm(TTalk& talk)
{
    // Its page "інше" orders nothing.
    TOrderPage page = Page();
    if (page == TOrderPage::Other) return talk.Close();
    return ConfirmMoveOrder(talk, static_cast<unsigned>(Loco), page, Target(), false);
}

TfmManevrMoveP::TfmManevrMoveP() : TShuntingOrderForm("fmManevrMoveP") { Load("ManevrMoveP.vfm"); }

TOutcome TfmManevrMoveP::Confirm(TTalk& talk)
{
    return ConfirmMoveOrder(talk, static_cast<unsigned>(Loco), Page(), Target(), true);
}
