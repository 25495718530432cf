// The scenario editor window: fields in and out of the page logic, the lists, the file menu and
// the question about unsaved edits.
#include "app/scenario/TaskMaker.h"

#include <algorithm>
#include <filesystem>

#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPalette>

#include "app/DataFileReports.h"
#include "platform/core/CFormat.h"
#include "platform/core/Exception.h"
#include "platform/core/Paths.h"
#include "platform/qt/Colors.h"
#include "platform/qt/Graphics.h"

TfmTaskMaker* fmTaskMaker = nullptr;

namespace {

const char* const kSaveQuestion = "Сценарий изменен. Сохранить изменения?";
const char* const kSwitchFile = "DATA\\SwitchSt.dat";

// Calls the drop-down handler before a combo's list opens (a press on its arrow, F4, Alt+Up or
// Alt+Down) and the exit handler when the typing leaves its field.
class TComboWatcher : public QObject {
public:
    TComboWatcher(QObject* parent, std::function<void()> dropDown, std::function<void()> exit)
        : QObject(parent), fDropDown(std::move(dropDown)), fExit(std::move(exit))
    {
    }

protected:
    bool eventFilter(QObject* obj, QEvent* e) override
    {
        bool drop = false;
        if (e->type() == QEvent::MouseButtonPress && qobject_cast<QComboBox*>(obj)) drop = true;
        if (e->type() == QEvent::KeyPress) {
            auto* k = static_cast<QKeyEvent*>(e);
            drop = k->key() == Qt::Key_F4 ||
                   ((k->modifiers() & Qt::AltModifier) && (k->key() == Qt::Key_Down || k->key() == Qt::Key_Up));
        }
        if (drop && fDropDown) RunGuarded(fDropDown);
        // Leaving the field for another control of the window; not for its own list, another
        // window or a box.
        if (e->type() == QEvent::FocusOut && fExit && qobject_cast<QLineEdit*>(obj)) {
            Qt::FocusReason r = static_cast<QFocusEvent*>(e)->reason();
            if (r != Qt::PopupFocusReason && r != Qt::ActiveWindowFocusReason) RunGuarded(fExit);
        }
        return false;
    }

private:
    std::function<void()> fDropDown, fExit;
};

// The names of the files in the folder "sound".
std::vector<std::string> SoundFileNames()
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(MapPath("sound"), ec))
        if (e.is_regular_file(ec)) names.push_back(e.path().filename().string());
    return names;
}

void SetItems(TStrings& items, const std::vector<std::string>& texts)
{
    items.Clear();
    for (const std::string& t : texts) items.Add(t);
}

} // namespace

TfmTaskMaker::TfmTaskMaker() : TForm(nullptr)
{
    auto on = [this](const char* name, void (TfmTaskMaker::*h)(TObject*)) {
        Handlers().Add(name, TNotifyEvent([this, h](TObject* s) { (this->*h)(s); }));
    };
    on("N5Click", &TfmTaskMaker::N5Click);
    on("N2Click", &TfmTaskMaker::N2Click);
    on("N3Click", &TfmTaskMaker::N3Click);
    on("N4Click", &TfmTaskMaker::N4Click);
    on("N6Click", &TfmTaskMaker::N6Click);
    on("btAdd1Click", &TfmTaskMaker::btAdd1Click);
    on("btRemove1Click", &TfmTaskMaker::btRemove1Click);
    on("btClear1Click", &TfmTaskMaker::btClear1Click);
    on("btAdd2Click", &TfmTaskMaker::btAdd2Click);
    on("btRemove2ClickClick", &TfmTaskMaker::btRemove2ClickClick);
    on("btClear2ClickClick", &TfmTaskMaker::btClear2ClickClick);
    on("btAdd3Click", &TfmTaskMaker::btAdd3Click);
    on("btRemove3Click", &TfmTaskMaker::btRemove3Click);
    on("btClear3Click", &TfmTaskMaker::btClear3Click);
    on("cbTypeTrain1Change", &TfmTaskMaker::cbTypeTrain1Change);
    on("cbTypeTrain2Change", &TfmTaskMaker::cbTypeTrain2Change);
    on("cbModeChange", &TfmTaskMaker::cbModeChange);
    Handlers().Add<TCloseQueryEvent>("FormCloseQuery", [this](TObject* s, bool& c) { FormCloseQuery(s, c); });
    Handlers().Add<TCloseEvent>("FormClose", [this](TObject* s, TCloseAction& a) { FormClose(s, a); });
    LoadDefinition(":/app/scenario/forms/TaskMaker.vfm");

    PageControl1 = FindChild<TPageControl>("PageControl1");
    lbTrainNumber1 = FindChild<TComboBox>("lbTrainNumber1");
    MaskEdit1 = FindChild<TMaskEdit>("MaskEdit1");
    cbTypeTrain1 = FindChild<TComboBox>("cbTypeTrain1");
    Panel2 = FindChild<TPanel>("Panel2");
    lbTrainLoko1 = FindChild<TComboBox>("lbTrainLoko1");
    ebIndex1 = FindChild<TEdit>("ebIndex1");
    ebNumVag1 = FindChild<TEdit>("ebNumVag1");
    chLoad1 = FindChild<TCheckBox>("chLoad1");
    Panel1 = FindChild<TPanel>("Panel1");
    cbAddLoko1 = FindChild<TComboBox>("cbAddLoko1");
    Panel5 = FindChild<TPanel>("Panel5");
    chHelp = FindChild<TCheckBox>("chHelp");
    ListBox1 = FindChild<TListBox>("ListBox1");
    lbTrainNumber2 = FindChild<TComboBox>("lbTrainNumber2");
    MaskEdit2 = FindChild<TMaskEdit>("MaskEdit2");
    cbTypeTrain2 = FindChild<TComboBox>("cbTypeTrain2");
    Panel3 = FindChild<TPanel>("Panel3");
    lbTrainLoko2 = FindChild<TComboBox>("lbTrainLoko2");
    ebIndex2 = FindChild<TEdit>("ebIndex2");
    ebNumVag2 = FindChild<TEdit>("ebNumVag2");
    chLoad2 = FindChild<TCheckBox>("chLoad2");
    Panel4 = FindChild<TPanel>("Panel4");
    cbAddLoko2 = FindChild<TComboBox>("cbAddLoko2");
    ListBox2 = FindChild<TListBox>("ListBox2");
    MaskEdit3 = FindChild<TMaskEdit>("MaskEdit3");
    cbMode = FindChild<TComboBox>("cbMode");
    cbSwitch = FindChild<TComboBox>("cbSwitch");
    cbSection = FindChild<TComboBox>("cbSection");
    ListBox3 = FindChild<TListBox>("ListBox3");
    OpenDialog1 = FindChild<TOpenDialog>("OpenDialog1");
    SaveDialog1 = FindChild<TSaveDialog>("SaveDialog1");

    // The pages in the colour of the panels on them.
    for (const char* name : {"TabSheet1", "TabSheet2", "TabSheet3"}) {
        QWidget* page = FindChild<TTabSheet>(name)->Widget();
        QPalette pal = page->palette();
        pal.setColor(QPalette::Window, ToQColor(clBtnFace));
        page->setPalette(pal);
        page->setAutoFillBackground(true);
    }
    for (TComboBox* c : {lbTrainNumber1, lbTrainNumber2}) WatchCombo(c, true);
    for (TComboBox* c : {lbTrainLoko1, lbTrainLoko2, cbAddLoko1, cbAddLoko2}) WatchCombo(c, false);

    // A faulty line of the list is shown (once for the file) and the editor keeps what it read.
    try {
        ReportDataFileProblems(kSwitchFile, Model.ReadSwitchList(kSwitchFile));
    } catch (const TDataFileError& e) {
        ReportDataFileMessage(e.File, e.Message);
    }
    Model.ReadTrainKinds("DATA\\Tecnology.dat");
    SetItems(cbSwitch->Items(), Model.Switches);
    std::vector<std::string> names;
    for (const TScenarioSection& s : Model.Sections) names.push_back(s.Name);
    SetItems(cbSection->Items(), names);
    cbTypeTrain1Change(cbTypeTrain1);
    cbTypeTrain2Change(cbTypeTrain2);
    cbModeChange(cbMode);
}

TfmTaskMaker::~TfmTaskMaker()
{
    if (fmTaskMaker == this) fmTaskMaker = nullptr;
}

void TfmTaskMaker::WatchCombo(TComboBox* c, bool number)
{
    auto* box = static_cast<QComboBox*>(c->Widget());
    std::function<void()> drop = [this, c, number] {
        if (number) lbTrainNumberDropDown(c);
        else lbTrainLokoDropDown(c);
    };
    std::function<void()> exit;
    if (number) exit = [this, c] { lbTrainNumber1Exit(c); };
    auto* w = new TComboWatcher(box, drop, exit);
    box->installEventFilter(w);
    if (box->lineEdit()) box->lineEdit()->installEventFilter(w);
}

// ---- fields and lists ----

TTrainFields TfmTaskMaker::ReadFields(int page) const
{
    bool one = page == 1;
    TTrainFields f;
    f.Number = (one ? lbTrainNumber1 : lbTrainNumber2)->Text();
    f.Time = (one ? MaskEdit1 : MaskEdit2)->Text();
    f.Type = (one ? cbTypeTrain1 : cbTypeTrain2)->ItemIndex();
    f.Loco = (one ? lbTrainLoko1 : lbTrainLoko2)->Text();
    f.Index = (one ? ebIndex1 : ebIndex2)->Text();
    f.Length = (one ? ebNumVag1 : ebNumVag2)->Text();
    f.Empty = (one ? chLoad1 : chLoad2)->Checked();
    f.AddLoko = (one ? cbAddLoko1 : cbAddLoko2)->Text();
    f.Help = one && chHelp->Checked();
    return f;
}

void TfmTaskMaker::WriteFields(int page, const TTrainFields& f)
{
    bool one = page == 1;
    (one ? lbTrainNumber1 : lbTrainNumber2)->SetText(f.Number);
    (one ? MaskEdit1 : MaskEdit2)->SetText(f.Time);
    TComboBox* type = one ? cbTypeTrain1 : cbTypeTrain2;
    if (type->ItemIndex() != f.Type) {
        type->SetItemIndex(f.Type);
        if (one) cbTypeTrain1Change(type);
        else cbTypeTrain2Change(type);
    }
    (one ? lbTrainLoko1 : lbTrainLoko2)->SetText(f.Loco);
    (one ? ebIndex1 : ebIndex2)->SetText(f.Index);
    (one ? ebNumVag1 : ebNumVag2)->SetText(f.Length);
    (one ? chLoad1 : chLoad2)->SetChecked(f.Empty);
    (one ? cbAddLoko1 : cbAddLoko2)->SetText(f.AddLoko);
    if (one) chHelp->SetChecked(f.Help);
}

void TfmTaskMaker::FillList(int page)
{
    TListBox* list = page == 1 ? ListBox1 : page == 2 ? ListBox2 : ListBox3;
    SetItems(list->Items(), Model.Doc.PageDisplays(page));
}

void TfmTaskMaker::FillLists()
{
    for (int p = 1; p <= 3; ++p) FillList(p);
}

// ---- the scenario ----

void TfmTaskMaker::NewScenario()
{
    Model.Doc.New();
    FillLists();
}

void TfmTaskMaker::OpenFile(const std::string& name)
{
    NewScenario();
    if (!name.empty()) LoadScenario(name);
}

bool TfmTaskMaker::LoadScenario(const std::string& name)
{
    TScenarioDocument::TLoadResult r = Model.Doc.Load(name, Model.Sections);
    if (r == TScenarioDocument::TLoadResult::CannotOpen) return false;
    Model.Doc.ScenarioFileName = name;
    FillLists();
    // Only the first 299 events fit the list; the rest of the file is kept and saved with them.
    if (r == TScenarioDocument::TLoadResult::Overflow)
        Application().ShowException(Exception(
            Format("Переполнение массива%u\nЕщё %u строк файла не показаны в списке; они сохраняются без изменений",
                   kScenarioCapacity, Model.Doc.Unlisted)));
    if (Model.Doc.Utf8)
        MessageBoxA(nullptr, "Файл " + name + " записан в кодировке UTF-8; он прочитан в ней и будет сохранён в кодировке 1251",
                    Application().Title, MB_OK | MB_ICONINFORMATION);
    return true;
}

bool TfmTaskMaker::SaveScenario()
{
    if (Model.Doc.ScenarioFileName.empty()) return SaveScenarioAs();
    if (Model.Doc.Save(Model.Doc.ScenarioFileName)) return true;
    MessageBoxA(nullptr, "Не могу записать файл " + Model.Doc.ScenarioFileName, Application().Title, MB_OK | MB_ICONSTOP);
    return false;
}

bool TfmTaskMaker::SaveScenarioAs()
{
    SaveDialog1->FileName = std::filesystem::path(MapPath(Model.Doc.ScenarioFileName)).filename().string();
    if (!SaveDialog1->Execute()) return false;
    std::string old = Model.Doc.ScenarioFileName;
    Model.Doc.ScenarioFileName = SaveDialog1->FileName;
    if (SaveScenario()) return true;
    Model.Doc.ScenarioFileName = old;
    return false;
}

bool TfmTaskMaker::SaveChangesFirst()
{
    if (!Model.Doc.Modified) return true;
    int r = MessageBoxA(nullptr, kSaveQuestion, Caption(), MB_YESNOCANCEL | MB_ICONQUESTION);
    if (r == IDCANCEL) return false;
    if (r == IDYES) return SaveScenario();
    return true;
}

// ---- menu ----

void TfmTaskMaker::N5Click(TObject*)
{
    if (SaveChangesFirst()) NewScenario();
}

void TfmTaskMaker::N2Click(TObject*)
{
    if (!SaveChangesFirst()) return;
    OpenDialog1->FileName.clear();
    if (!OpenDialog1->Execute()) return;
    // The edits were saved or given up above, so the opened file starts unmodified.
    if (LoadScenario(OpenDialog1->FileName)) Model.Doc.Modified = false;
}

void TfmTaskMaker::N3Click(TObject*) { SaveScenario(); }

void TfmTaskMaker::N4Click(TObject*) { SaveScenarioAs(); }

void TfmTaskMaker::N6Click(TObject*) { Close(); }

// ---- pages ----

void TfmTaskMaker::AddTrain(int page)
{
    TTrainFields f = ReadFields(page);
    Model.AddTrain(page, f);
    (page == 1 ? lbTrainNumber1 : lbTrainNumber2)->SetText(f.Number);
    // The add sorted the whole list: every page shows its new order, so that an item selected on
    // any page is the event it shows.
    FillLists();
}

void TfmTaskMaker::RemoveEvent(int page)
{
    TListBox* list = page == 1 ? ListBox1 : page == 2 ? ListBox2 : ListBox3;
    TTrainFields f = page == 3 ? TTrainFields() : ReadFields(page);
    size_t before = Model.Doc.Events().size();
    Model.Remove(page, list->ItemIndex(), page == 3 ? nullptr : &f);
    if (Model.Doc.Events().size() == before) return;
    FillLists();
    if (page != 3) WriteFields(page, f);
}

void TfmTaskMaker::ClearPage(int page)
{
    Model.Clear(page);
    FillLists();
}

void TfmTaskMaker::btAdd1Click(TObject*) { AddTrain(1); }
void TfmTaskMaker::btRemove1Click(TObject*) { RemoveEvent(1); }
void TfmTaskMaker::btClear1Click(TObject*) { ClearPage(1); }
void TfmTaskMaker::btAdd2Click(TObject*) { AddTrain(2); }
void TfmTaskMaker::btRemove2ClickClick(TObject*) { RemoveEvent(2); }
void TfmTaskMaker::btClear2ClickClick(TObject*) { ClearPage(2); }
void TfmTaskMaker::btRemove3Click(TObject*) { RemoveEvent(3); }
void TfmTaskMaker::btClear3Click(TObject*) { ClearPage(3); }

void TfmTaskMaker::btAdd3Click(TObject*)
{
    TFaultFields f;
    f.Time = MaskEdit3->Text();
    f.Type = cbMode->ItemIndex();
    f.Switch = cbSwitch->ItemIndex();
    f.Section = cbSection->ItemIndex();
    Model.AddFault(f);
    FillLists();
}

void TfmTaskMaker::cbTypeTrain1Change(TObject*)
{
    TTrainPanels p = TrainPanels(1, cbTypeTrain1->ItemIndex());
    Panel2->SetVisible(p.Loco);
    Panel1->SetVisible(p.AddLoko);
    Panel5->SetVisible(p.Help);
}

void TfmTaskMaker::cbTypeTrain2Change(TObject*)
{
    TTrainPanels p = TrainPanels(2, cbTypeTrain2->ItemIndex());
    Panel3->SetVisible(p.Loco);
    Panel4->SetVisible(p.AddLoko);
}

void TfmTaskMaker::cbModeChange(TObject*)
{
    cbSwitch->Hide();
    cbSection->Hide();
    int m = cbMode->ItemIndex();
    if (m == ftSwitch) cbSwitch->Show();
    else if (m == ftOccupied || m == ftFree) cbSection->Show();
}

void TfmTaskMaker::lbTrainNumberDropDown(TObject* Sender)
{
    auto* c = dynamic_cast<TComboBox*>(Sender);
    if (!c) return;
    std::string typed = c->Text();
    SetItems(c->Items(), OfferedNumbers(SoundFileNames(), 't', &Model.Doc.Events()));
    c->SetText(typed);
}

void TfmTaskMaker::lbTrainLokoDropDown(TObject* Sender)
{
    auto* c = dynamic_cast<TComboBox*>(Sender);
    if (!c) return;
    std::string typed = c->Text();
    SetItems(c->Items(), OfferedNumbers(SoundFileNames(), 'l', nullptr));
    c->SetText(typed);
}

void TfmTaskMaker::lbTrainNumber1Exit(TObject* Sender)
{
    if (auto* c = dynamic_cast<TComboBox*>(Sender)) Model.CheckRepeat(c->Text());
}

// ---- closing ----

void TfmTaskMaker::FormCloseQuery(TObject*, bool& CanClose)
{
    CanClose = SaveChangesFirst();
}

void TfmTaskMaker::FormClose(TObject*, TCloseAction&)
{
    if (OnClosed) OnClosed();
}
